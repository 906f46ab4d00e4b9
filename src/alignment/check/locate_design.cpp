#include "alignment/check/locate_design.h"

namespace survey::alignment::check {

PointDesign DesignAtLocated(const section::SectionModel& model, const Profile* profile, const section::SideSlopes* slopes,
                            const LocateRow& row, std::optional<double> z) {
  PointDesign d;
  if (!row.inside) return d;
  const section::Side side = row.offset < 0 ? section::Side::Left : section::Side::Right;
  // A side the template lacks has no surface (the section refuses an offset there).
  if (row.offset != 0 && model.Template().Parts(side).empty()) return d;
  const section::SectionAtStation at = section::SectionAt(model, profile, row.chainage);
  d.surface = at.ElevationAt(row.offset);
  if (!z) return d;
  if (d.surface) {
    d.surfaceDz = *z - *d.surface;
    d.fillCut = *d.surface - *z;
    return d;
  }
  if (!slopes || !at.known) return d;
  if (const std::optional<section::SlopeStake> s = section::StakeSlope(at.section, *slopes, row.offset, *z)) {
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
