// Marlowby's handlers fed with fuzzed field texts: the run, an extra stake and the export.
#include <cstdint>

#include "common/host.h"
#include "coordinates/stake_record.h"
#include "coordinates/testing/memory_stores.h"
#include "fuzz/fuzz_fields.h"
#include "marlowby/form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = survey::fuzz::SplitFields(data, size, 10);
  survey::RecordingHost host;
  coordinates::MemoryStakeTable table;
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
  marlowby::Form form(host, table, files, printer);
  form.Form_Load();
  // An empty fuzzed field keeps the default, so short inputs still reach the computation.
  for (int n = 1; n <= 10; ++n) {
    if (!f[static_cast<std::size_t>(n - 1)].empty()) form.Text(n) = f[static_cast<std::size_t>(n - 1)];
  }
  form.KestrelCommand1_Click();
  form.KestrelCommand4_Click();
  host.savePath = "out.ly";
  form.KestrelCommand3_Click();
  form.Form_Unload();
  return 0;
}
