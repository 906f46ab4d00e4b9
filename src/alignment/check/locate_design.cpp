#include "alignment/check/locate_design.h"

#include "alignment/check/check_rows.h"

namespace survey::alignment::check {

PointDesign DesignAtLocated(const section::SectionModel& model, const Profile* profile, const section::SideSlopes* slopes,
                            const LocateRow& row, std::optional<double> z) {
  PointDesign d;
  if (!row.inside) return d;
  const DesignAt at = DesignAtPoint(model, profile, slopes, row.chainage, row.offset, z);
  d.surface = at.surface;
  if (!z) return d;
  if (at.surface) {
    d.surfaceDz = *z - *at.surface;
    d.fillCut = *at.surface - *z;
  } else if (const std::optional<section::SlopeStake>& s = at.slope) {
    d.slope = SlopeStakeValues{s->kind == section::SlopeKind::Cut, s->catchOffset, s->move, s->slopeElevation, s->slopeDz,
                               s->atCatch};
    d.fillCut = s->slopeElevation - *z;
  }
  return d;
}

void ForEachLocateOnSection(const RouteDesign& design, std::span<const SurveyedPoint> points,
                            const section::SectionModel& model, const section::SideSlopes* slopes,
                            const std::function<void(const LocateRow&, const PointDesign&)>& sink) {
  const Profile* profile = design.profile ? &design.profile->profile : nullptr;
  std::size_t next = 0;  // the rows come in the points' order
  ForEachLocateRow(design, points, true, [&](const LocateRow& row) {
    const std::optional<double> z = points[next++].z;
    sink(row, DesignAtLocated(model, profile, slopes, row, z));
  });
}

}  // namespace survey::alignment::check
