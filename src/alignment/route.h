// A whole route: its elements from chainage 0, its stations, main points, and the queries
// point-at-station and locate-a-point.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "alignment/element.h"
#include "alignment/jd_method.h"
#include "alignment/stations.h"

namespace survey::alignment {

// A named point of the route: "QD", "ZD", and per JD "JD3 ZH", "JD3 HY", "JD3 QZ", "JD3 YH",
// "JD3 HZ" ("JD3 ZY" / "JD3 YZ" on a side without transition). On a route built from elements,
// each joint is named after the element starting there and the kinds it joins: "E3 HY" (spiral to
// arc), ZH, YH, HZ, ZY, YZ, and YY (arc to arc), HH (spiral to spiral), ZZ (straight to straight).
struct MainPoint {
  std::string name;
  double chainage = 0;
};

// Where a point lies: its foot point's chainage and its offset (right positive); `inside` false
// when the nearest foot point, counting the straight extensions of both ends, lies beyond an end.
struct Location {
  bool inside = false;
  double chainage = 0, offset = 0;
};

class Route {
 public:
  Route(std::vector<Element> elements, StationLine stations, std::vector<MainPoint> mainPoints,
        std::vector<CurveRow> curves, double closureError);

  const std::vector<Element>& Elements() const { return elements_; }
  const StationLine& Stations() const { return stations_; }
  const std::vector<MainPoint>& MainPoints() const { return mainPoints_; }  // in chainage order
  const std::vector<CurveRow>& Curves() const { return curves_; }           // empty from elements
  double Length() const { return length_; }
  double ClosureError() const { return closureError_; }

  double StationAt(double chainage) const { return stations_.StationAt(chainage); }
  // Refuses a station in a gap or outside the route, naming it.
  double ChainageAtStation(double station) const { return stations_.ChainageAt(station); }

  // The centre-line pose at a chainage; with an offset, the side stake on the line at azimuth
  // + 90 deg + skew through it, at distance offset / cos(skew) (the azimuth stays the centre line's).
  // Refuses a chainage outside the route and |skew| >= 90 deg.
  Pose PointAt(double chainage, double offset = 0, double skew = 0) const;

  // The nearest foot point over all elements, by an index over the elements (not a scan).
  Location Locate(double x, double y) const;

 private:
  std::vector<Element> elements_;
  StationLine stations_;
  std::vector<MainPoint> mainPoints_;
  std::vector<CurveRow> curves_;
  double closureError_ = 0;
  double length_ = 0;
  // Built by the first Locate (points, stakes and curve tables never need it); copies share it.
  struct LazyIndex;
  std::shared_ptr<LazyIndex> index_;
};

// Refuses what LayOutJd refuses, equations out of order or beyond the route, and non-finite stations.
Route BuildRouteFromJd(const std::vector<JdInput>& points, double startStation, std::vector<StationEquation> equations);
// Refuses what ChainElements refuses, no elements, more than kMaxElements, and bad stations.
Route BuildRouteFromElements(const Pose& start, double startStation, const std::vector<ElementShape>& shapes,
                             std::vector<StationEquation> equations);

inline constexpr std::size_t kMaxElements = 100'000;

}  // namespace survey::alignment
