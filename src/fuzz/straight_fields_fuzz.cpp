// Marlowby's handlers fed with fuzzed field texts: the run, an extra stake and the export.
#include <cstdint>

#include "common/host.h"
#include "coordinates/stake_record.h"
#include "coordinates/testing/memory_stores.h"
#include "fuzz/fuzz_fields.h"
#include "marlowby/straight_line_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = survey::fuzz::SplitFields(data, size, 10);
  survey::RecordingHost host;
  coordinates::MemoryStakeTable table;
  coordinates::testing::MemoryTextFiles files;
  coordinates::testing::RecordingReportPrinter printer;
  marlowby::StraightLineForm form(host, table, files, printer);
  form.ReloadGrid();
  // An empty fuzzed field keeps the default, so short inputs still reach the computation.
  for (std::size_t i = 0; i < 10; ++i) {
    if (!f[i].empty()) form.fields().*marlowby::kParameterOrder[i] = f[i];
  }
  form.ComputeStraightLine();
  form.AddExtraStake();
  host.savePath = "out.ly";
  form.ExportGrid();
  form.ClearStakeTable();
  return 0;
}
