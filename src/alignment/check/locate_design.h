// Locate on the cross-section: each measured point's station and offset, then the design there
// (the surface at its offset; beyond the outermost edge, with side slopes, the slope stake for
// its z) and its cut or fill. The `locate` command with --section/--slopes and the window's
// locate runs both call this.
#pragma once

#include <functional>
#include <optional>
#include <span>

#include "alignment/point_design.h"
#include "alignment/route_design.h"
#include "alignment/route_rows.h"
#include "alignment/section/design_surface.h"
#include "alignment/section/section_rows.h"
#include "alignment/section/slopes.h"

namespace survey::alignment::check {

// The design at a point located inside the route (`row.inside`), with `z` where it was measured
// and `slopes` when given (may be null). Nothing on a side the template lacks.
PointDesign DesignAtLocated(const section::SectionModel& model, const Profile* profile, const section::SideSlopes* slopes,
                            const LocateRow& row, std::optional<double> z);

// Locates `points` (with the design's profile, which must be there) and calls `sink` with each
// row and its design, in the points' order.
void ForEachLocateOnSection(const RouteDesign& design, std::span<const SurveyedPoint> points,
                            const section::SectionModel& model, const section::SideSlopes* slopes,
                            const std::function<void(const LocateRow&, const PointDesign&)>& sink);

}  // namespace survey::alignment::check
