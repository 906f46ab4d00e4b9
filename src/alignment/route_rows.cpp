#include "alignment/route_rows.h"

#include <algorithm>
#include <cmath>

#include "alignment/curve_listing.h"
#include "common/parallel_for.h"

namespace survey::alignment {

namespace {

CurveTableRow TableRow(const Route& route, const CurveRow& c) {
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
  row.straightAfter = c.straightAfter;
  // Counted along the tangent from ZH: the JD's station as a surveyor writes it, not the
  // chainage of a point off the road.
  row.jdStation = row.zh + c.t1;
  return row;
}

CurveTableRow EndRow(const Route& route, bool start) {
  CurveTableRow row;
  row.kind = start ? CurveRowKind::Start : CurveRowKind::End;
  row.name = start ? "QD" : "ZD";
  const Pose p = start ? route.Elements().front().start : EndPose(route.Elements().back());
  row.x = p.x;
  row.y = p.y;
  row.jdStation = route.StationAt(start ? 0 : route.Length());
  row.zh = row.qz = row.hz = row.jdStation;
  return row;
}

bool IsPoint(const ElementCurveRow& row) { return row.jd.has_value(); }

// The leg from each point of the table to the next one, where the next row is a point.
template <class Rows, class PointOf>
void FillLegs(Rows& rows, PointOf point) {
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
    CurveTableRow* from = point(rows[i]);
    const CurveTableRow* to = point(rows[i + 1]);
    if (from == nullptr || to == nullptr) continue;
    const double dx = to->x - from->x, dy = to->y - from->y;
    from->jdDistance = std::hypot(dx, dy);
    from->azimuth = NormalizeAzimuth(std::atan2(dy, dx));
  }
}

}  // namespace

std::vector<CurveTableRow> CurveRows(const Route& route) {
  const std::vector<CurveRow>& curves = route.Curves();
  std::vector<CurveTableRow> rows;
  if (route.Elements().empty()) return rows;
  rows.reserve(curves.size() + 2);
  rows.push_back(EndRow(route, true));
  rows.front().straightAfter = curves.empty() ? route.Length() : curves.front().zh;
  for (const CurveRow& c : curves) rows.push_back(TableRow(route, c));
  rows.push_back(EndRow(route, false));
  FillLegs(rows, [](CurveTableRow& r) { return &r; });
  return rows;
}

std::vector<ElementCurveRow> ElementCurveRows(const Route& route) {
  const std::vector<CurveListingRow> listing = ListCurves(route);
  std::vector<ElementCurveRow> rows;
  if (route.Elements().empty()) return rows;
  rows.reserve(listing.size() + 2);
  rows.push_back({EndRow(route, true), {}});
  // The straight from QD is a leg of the table only where the route starts with one to a JD.
  if (!listing.empty() && listing.front().jd) rows.front().jd->straightAfter = listing.front().jd->zh;
  for (const CurveListingRow& listed : listing) {
    ElementCurveRow row;
    if (listed.jd) {
      row.jd = TableRow(route, *listed.jd);
    } else {
      const ElementListing& e = listed.element;
      const Pose& start = route.Elements()[e.index - 1].start;
      row.element = {e.index, e.kind, start.x, start.y, e.turnRight, std::nullopt, std::nullopt, e.length,
                     route.StationAt(e.startChainage), route.StationAt(e.endChainage)};
      if (e.startRadius > 0) row.element.startRadius = e.startRadius;
      if (e.endRadius > 0) row.element.endRadius = e.endRadius;
    }
    rows.push_back(std::move(row));
  }
  rows.push_back({EndRow(route, false), {}});
  FillLegs(rows, [](ElementCurveRow& r) { return IsPoint(r) ? &*r.jd : nullptr; });
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
    if (p.asymmetric) {
      line.lengthIn = p.lengthIn;
      line.lengthOut = p.lengthOut;
    }
    if (p.hasCurve) {
      if (!p.asymmetric) line.t = p.t;
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
