// The curve programs' handlers fed with fuzzed field texts: Brannock's report and extra stake,
// Dovetree's deflections, and the curve coordinate form of Tallyfen.
#include <cstdint>

#include "brannock/curve_deflection_form.h"
#include "common/host.h"
#include "common/services.h"
#include "coordinates/stake_record.h"
#include "coordinates/testing/memory_stores.h"
#include "dovetree/deflection_form.h"
#include "fuzz/fuzz_fields.h"
#include "tallyfen/curve/curve_coordinate_form.h"

namespace {

class NoPrinter final : public survey::TextPrinter {
 public:
  survey::Outcome Print(const std::string&) override { return survey::Outcome::Cancelled(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = survey::fuzz::SplitFields(data, size, 10);
  survey::RecordingHost host;
  NoPrinter printer;
  coordinates::testing::MemoryTextFiles files;

  brannock::CurveDeflectionForm b(host, files, printer);
  b.fields().jd = f[0];
  b.fields().alpha = f[1];
  b.fields().radius = f[2];
  b.fields().ls = f[3];
  b.fields().printDate = "26-12-7";
  if (b.ComputeReport().ok()) {
    b.fields().extraStation = f[4];
    b.AddExtraStake();
  }

  dovetree::StationDeflectionForm d(host, printer);
  d.fields() = {f[0], f[1], f[2], f[3], f[4], f[5]};
  d.ComputeDeflections();
  d.AddExtraStake();

  coordinates::MemoryStakeTable table;
  coordinates::testing::RecordingReportPrinter reports;
  tallyfen::CurveCoordinateForm c(host, table, files, reports);
  tallyfen::CurveFields& cf = c.fields();
  cf.zhStation = f[0];
  cf.alpha = f[1];
  cf.radius = f[2];
  cf.ls = f[3];
  cf.extraStation = f[4];
  cf.offset = f[5];
  if (!f[6].empty()) cf.zhX = f[6];
  if (!f[7].empty()) cf.jdX = f[7];
  cf.turnLeft = !f[8].empty();
  c.ComputeCurve();
  c.AddExtraStake();
  return 0;
}
