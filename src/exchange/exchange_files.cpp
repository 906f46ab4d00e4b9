#include "exchange/exchange_files.h"

#include "exchange/cass_points.h"
#include "exchange/dxf_plan.h"
#include "exchange/exchange_error.h"
#include "exchange/gsi16.h"
#include "exchange/unique_names.h"

namespace survey::exchange {

namespace {

template <typename Make>
survey::WriteOutcome Save(const std::string& path, Make make) {
  std::string bytes;
  try {
    bytes = make();
  } catch (const ExchangeError& e) {
    // Nothing was opened: the earlier file stays.
    return {false, path + ": " + e.what(), e.what()};
  }
  return survey::WriteFileAtomically(path, bytes);
}

}  // namespace

survey::WriteOutcome SavePointFile(const std::string& path, std::vector<PointRecord> points, PointFileKind kind,
                                   int decimals) {
  return Save(path, [&] {
    MakeNamesUnique(points);
    return kind == PointFileKind::kCass ? WriteCassPoints(points, decimals) : WriteGsi16(points);
  });
}

survey::WriteOutcome SavePlanDxf(const std::string& path, const PlanDrawing& drawing) {
  return Save(path, [&] { return WritePlanDxf(drawing); });
}

}  // namespace survey::exchange
