#include "exchange/route_plan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "alignment/stake_list.h"
#include "exchange/exchange_error.h"
#include "exchange/station_names.h"

namespace survey::exchange {

namespace {

PlanPoint At(const alignment::Pose& p) { return {p.x, p.y}; }

}  // namespace

PlanDrawing RoutePlan(const alignment::Route& route, const PlanOptions& options) {
  if (!(options.labelEvery > 0) || !std::isfinite(options.labelEvery)) throw ExchangeError("桩号标注间隔应大于 0。");
  PlanDrawing d;
  d.textHeight = options.textHeight;
  for (const alignment::Element& e : route.Elements()) {
    const alignment::Pose start = e.start, end = alignment::EndPose(e);
    switch (e.kind) {
      case alignment::ElementKind::Line:
        d.straights.push_back({At(start), At(end)});
        break;
      case alignment::ElementKind::Arc: {
        // The centre lies a radius across the start tangent, on the side the arc turns to
        // (right: azimuth + 90 degrees).
        const double radius = 1.0 / std::fabs(e.startCurvature);
        const double across = start.azimuth + (e.startCurvature > 0 ? 1 : -1) * std::numbers::pi / 2;
        d.arcs.push_back({{start.x + radius * std::cos(across), start.y + radius * std::sin(across)}, radius, At(start),
                          At(end), e.startCurvature < 0});
        break;
      }
      case alignment::ElementKind::Spiral:
        d.spirals.push_back({e.length, std::max(std::fabs(e.startCurvature), std::fabs(e.endCurvature)),
                             [e](double s) { return At(alignment::PoseAt(e, s)); }});
        break;
    }
  }
  if (!route.Curves().empty()) {
    d.tangentPolygon.push_back(At(route.Elements().front().start));
    for (const alignment::CurveRow& c : route.Curves()) {
      d.tangentPolygon.push_back({c.x, c.y});
      d.jds.push_back({{c.x, c.y}, c.name});
    }
    d.tangentPolygon.push_back(At(alignment::EndPose(route.Elements().back())));
  }
  for (const alignment::MainPoint& m : route.MainPoints()) {
    d.mainPoints.push_back({At(route.PointAt(m.chainage)), m.name + " " + StakeName(route.StationAt(m.chainage))});
  }
  alignment::StakeOptions stakes;
  stakes.interval = options.interval;
  stakes.fromStation = options.fromStation;
  stakes.toStation = options.toStation;
  alignment::ForEachStake(route, stakes, [&](const alignment::Stake& s) {
    const alignment::Pose pose = route.PointAt(s.chainage);
    const double ratio = s.station / options.labelEvery;
    const bool labelled = std::fabs(ratio - std::round(ratio)) * options.labelEvery < 0.0005;
    const std::string name = StakeName(s.station);
    d.stakes.push_back({At(pose), pose.azimuth, labelled ? name : std::string()});
    // Every side stake is drawn; only those beside a labelled station carry their names, or
    // the names would cover one another at short intervals.
    for (const double offset : options.offsets) {
      d.sideStakes.push_back({At(route.PointAt(s.chainage, offset, options.skew)),
                              labelled ? SideStakeName(name, offset) : std::string()});
    }
  });
  return d;
}

}  // namespace survey::exchange
