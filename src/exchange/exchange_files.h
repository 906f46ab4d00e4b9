// Point files and drawings to disk, through the suite's atomic writer: a file that cannot be
// written (or a point the format cannot hold) leaves the earlier file as it was.
#pragma once

#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "exchange/plan_geometry.h"
#include "exchange/point_record.h"

namespace survey::exchange {

enum class PointFileKind { kCass, kGsi16 };

// Names are made unique first (MakeNamesUnique); `decimals` is for CASS.
survey::WriteOutcome SavePointFile(const std::string& path, std::vector<PointRecord> points, PointFileKind kind,
                                   int decimals = 3);

survey::WriteOutcome SavePlanDxf(const std::string& path, const PlanDrawing& drawing);

}  // namespace survey::exchange
