#include "alignment/route_rows.h"

#include <algorithm>

#include "common/parallel_for.h"

namespace survey::alignment {

std::vector<CurveTableRow> CurveRows(const Route& route) {
  const std::vector<CurveRow>& curves = route.Curves();
  std::vector<CurveTableRow> rows;
  rows.reserve(curves.size());
  for (std::size_t i = 0; i < curves.size(); ++i) {
    const CurveRow& c = curves[i];
    CurveTableRow row;
    row.name = c.name;
    row.x = c.x;
    row.y = c.y;
    row.turnRight = c.turnRight;
    row.alpha = c.alpha;
    row.r = c.r;
    row.ls1 = c.ls1;
    row.ls2 = c.ls2;
    row.t1 = c.t1;
    row.t2 = c.t2;
    row.l = c.l;
    row.e = c.e;
    row.j = c.j;
    row.zh = route.StationAt(c.zh);
    if (c.hasEntryTransition) row.hy = route.StationAt(c.hy);
    row.qz = route.StationAt(c.qz);
    if (c.hasExitTransition) row.yh = route.StationAt(c.yh);
    row.hz = route.StationAt(c.hz);
    if (i + 1 < curves.size()) row.straightAfter = c.straightAfter;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::optional<DesignElevation> ElevationAt(const RouteProfile& profile, double chainage) {
  if (!profile.profile.Covers(chainage)) return std::nullopt;
  const ProfileSample s = profile.profile.At(chainage);
  return DesignElevation{s.gradeElevation, s.elevation, s.grade};
}

void ForEachStakeRow(const RouteDesign& design, const StakeQuery& query, const std::function<void(const StakeRow&)>& sink) {
  const Route& route = design.route;
  StakeRow row;
  row.sides.resize(query.offsets.size());
  ForEachStake(route, query.range, [&](const Stake& stake) {
    const Pose centre = route.PointAt(stake.chainage);
    row.name = stake.name;
    row.station = stake.station;
    row.chainage = stake.chainage;
    row.x = centre.x;
    row.y = centre.y;
    row.azimuth = centre.azimuth;
    for (std::size_t i = 0; i < query.offsets.size(); ++i) {
      const Pose side = route.PointAt(stake.chainage, query.offsets[i], query.skew);
      row.sides[i] = {side.x, side.y};
    }
    if (design.profile) row.elevation = ElevationAt(*design.profile, stake.chainage);
    sink(row);
  });
}

StationPoint PointAtStation(const Route& route, double station, double offset, double skew) {
  const double chainage = route.ChainageAtStation(station);
  const Pose pose = route.PointAt(chainage, offset, skew);
  return {station, chainage, pose.x, pose.y, pose.azimuth, std::nullopt};
}

void ForEachLocateRow(const RouteDesign& design, std::span<const SurveyedPoint> points, bool withProfile,
                      const std::function<void(const LocateRow&)>& sink) {
  // Blocks bound the memory of a long points table; within one, the route is read-only and
  // every point fills its own slot.
  constexpr std::size_t kBlock = 1 << 16;
  const Route& route = design.route;
  const RouteProfile* profile = withProfile && design.profile ? &*design.profile : nullptr;
  std::vector<Location> found;
  LocateRow row;
  for (std::size_t block = 0; block < points.size(); block += kBlock) {
    const std::size_t count = std::min(kBlock, points.size() - block);
    found.resize(count);
    ParallelFor(count, [&](std::size_t lo, std::size_t hi) {
      for (std::size_t i = lo; i < hi; ++i) found[i] = route.Locate(points[block + i].x, points[block + i].y);
    });
    for (std::size_t i = 0; i < count; ++i) {
      const SurveyedPoint& p = points[block + i];
      const Location& at = found[i];
      row.name = p.name;
      row.x = p.x;
      row.y = p.y;
      row.inside = at.inside;
      row.chainage = at.chainage;
      row.offset = at.offset;
      row.station = at.inside ? route.StationAt(at.chainage) : 0;
      row.elevation = profile && at.inside ? ElevationAt(*profile, at.chainage) : std::nullopt;
      row.dz = row.elevation && p.z ? std::optional<double>(*p.z - row.elevation->elevation) : std::nullopt;
      sink(row);
    }
  }
}

void ForEachStakeoutRow(const Route& route, const StakeoutStation& instrument, const StakeQuery& query,
                        const std::function<void(const StakeoutRow&)>& sink) {
  ForEachStake(route, query.range, [&](const Stake& stake) {
    const Pose centre = route.PointAt(stake.chainage);
    sink({stake.name, std::nullopt, stake.station, centre.x, centre.y, instrument.Aim(centre.x, centre.y)});
    for (const double offset : query.offsets) {
      const Pose side = route.PointAt(stake.chainage, offset, query.skew);
      sink({stake.name, offset, stake.station, side.x, side.y, instrument.Aim(side.x, side.y)});
    }
  });
}

std::vector<ProfileTableLine> ProfileLines(const Route& route, const RouteProfile& profile) {
  const std::vector<ProfileRow>& rows = profile.profile.Rows();
  std::vector<ProfileTableLine> lines;
  lines.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ProfileRow& p = rows[i];
    ProfileTableLine line;
    line.name = p.name;
    line.station = profile.stations[i];
    line.elevation = p.elevation;
    if (p.radius > 0) line.radius = p.radius;
    if (p.hasCurve) {
      line.t = p.t;
      line.e = p.e;
      line.curveStart = StationAtMeasure(route.Stations(), p.curveStart);
      line.curveEnd = StationAtMeasure(route.Stations(), p.curveEnd);
    }
    if (p.hasGradeIn) line.gradeIn = p.gradeIn;
    if (p.hasGradeOut) line.gradeOut = p.gradeOut;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace survey::alignment
