// The curve programs' handlers fed with fuzzed field texts: Brannock's report and extra stake,
// Dovetree's deflections, and the curve coordinate form of Tallyfen.
#include <cstdint>

#include "brannock/form.h"
#include "common/host.h"
#include "coordinates/stake_record.h"
#include "dovetree/form.h"
#include "fuzz/fuzz_fields.h"
#include "tallyfen/curve/curve_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = survey::fuzz::SplitFields(data, size, 10);
  survey::RecordingHost host;

  brannock::Form b;
  b.Text1 = f[0];
  b.Text2 = f[1];
  b.Text3 = f[2];
  b.Text4 = f[3];
  b.Text7 = "26-12-7";
  if (b.Command1_Click(host)) {
    b.Text5 = f[4];
    b.Command2_Click(host);
  }

  dovetree::HhForm d;
  d.Text1 = f[0];
  d.Text2 = f[1];
  d.Text3 = f[2];
  d.Text4 = f[3];
  d.Text5 = f[4];
  d.Command1_Click(host);
  d.Text6 = f[5];
  d.Command2_Click(host);

  coordinates::MemoryStakeTable table;
  tallyfen::CurveForm c(host, table);
  c.fields.Text5 = f[0];
  c.fields.Text6 = f[1];
  c.fields.Text7 = f[2];
  c.fields.Text8 = f[3];
  c.fields.Text9 = f[4];
  c.fields.Text10 = f[5];
  c.fields.Text1 = f[6].empty() ? c.fields.Text1 : f[6];
  c.fields.Text3 = f[7].empty() ? c.fields.Text3 : f[7];
  c.fields.Option1 = !f[8].empty();
  c.RunCurveComputation();
  c.RunExtraStake();
  return 0;
}
