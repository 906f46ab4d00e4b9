#include "alignment/route.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "alignment/stake_list.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180;

ElementShape Line(double length) { return {ElementKind::Line, length, 0, 0}; }
ElementShape Arc(double length, double k) { return {ElementKind::Arc, length, k, k}; }
ElementShape Spiral(double length, double k0, double k1) { return {ElementKind::Spiral, length, k0, k1}; }

// Every element kind: clothoids into and out of arcs both ways, egg clothoids tightening and
// opening, a clothoid reversing its curvature, arcs of both hands.
Route RampRoute() {
  const std::vector<ElementShape> shapes = {
      Line(150),        Spiral(120, 0, 1.0 / 300),   Arc(200, 1.0 / 300),          Spiral(100, 1.0 / 300, 1.0 / 600),
      Arc(150, 1.0 / 600), Spiral(90, 1.0 / 600, 0), Line(80),                     Spiral(110, 0, -1.0 / 250),
      Arc(180, -1.0 / 250), Spiral(80, -1.0 / 250, -1.0 / 500), Spiral(160, -1.0 / 500, 1.0 / 400),
      Spiral(100, 1.0 / 400, 0), Line(200)};
  return BuildRouteFromElements({3000000.0, 500000.0, 0.3}, 2000, shapes, {});
}

Route JdRoute() {
  return BuildRouteFromJd({{"QD", 3000000, 500000},
                           {"JD1", 3001000, 500100, 600, 150, 80},
                           {"JD2", 3001500, 500900, 400, 0, 0},
                           {"JD3", 3002500, 501000, 350, 100, 100},
                           {"ZD", 3003000, 500500}},
                          0, {});
}

// point(s, o) located again gives s and o, on every element, at and beside every joint.
void ExpectRoundTrips(const Route& route) {
  std::vector<double> chainages = {0, route.Length()};
  for (const Element& e : route.Elements()) {
    for (double s : {0.0, 1e-4, 0.37 * e.length, e.length - 1e-4}) chainages.push_back(e.startChainage + s);
  }
  for (double c : chainages) {
    for (double o : {-50.0, -7.5, 0.0, 7.5, 50.0}) {
      const Pose p = route.PointAt(c, o);
      const Location at = route.Locate(p.x, p.y);
      ASSERT_TRUE(at.inside) << c << " " << o;
      EXPECT_NEAR(at.chainage, c, 1e-6) << o;
      EXPECT_NEAR(at.offset, o, 1e-6) << c;
    }
  }
}

TEST(Route, PointLocatePointRoundTrips) {
  ExpectRoundTrips(RampRoute());
  ExpectRoundTrips(JdRoute());
}

// Any point inside: its foot point set out again is the point, and no sample of the route is
// nearer than the foot point (the index prunes nothing it should not).
TEST(Route, LocateFindsTheNearestFootPoint) {
  const Route route = RampRoute();
  std::vector<Pose> samples;
  for (double c = 0; c <= route.Length(); c += 0.5) samples.push_back(route.PointAt(c));
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const Pose& s : samples) {
    minX = std::min(minX, s.x);
    maxX = std::max(maxX, s.x);
    minY = std::min(minY, s.y);
    maxY = std::max(maxY, s.y);
  }
  int inside = 0;
  for (int i = 0; i <= 40; ++i) {
    for (int j = 0; j <= 40; ++j) {
      const double x = minX - 100 + (maxX - minX + 200) * i / 40;
      const double y = minY - 100 + (maxY - minY + 200) * j / 40;
      const Location at = route.Locate(x, y);
      if (!at.inside) continue;
      ++inside;
      const Pose back = route.PointAt(at.chainage, at.offset);
      EXPECT_LT(std::hypot(back.x - x, back.y - y), 1e-6) << x << " " << y;
      double nearest = 1e300;
      for (const Pose& s : samples) nearest = std::min(nearest, std::hypot(s.x - x, s.y - y));
      EXPECT_LE(std::fabs(at.offset), nearest + 1e-6) << x << " " << y;
    }
  }
  EXPECT_GT(inside, 800);
}

TEST(Route, PointsBeyondTheEndsAreOutside) {
  const Route route = RampRoute();
  const Pose s = route.PointAt(0);
  const Pose e = route.PointAt(route.Length());
  const double sx = std::cos(s.azimuth), sy = std::sin(s.azimuth);
  const double ex = std::cos(e.azimuth), ey = std::sin(e.azimuth);
  EXPECT_FALSE(route.Locate(s.x - 0.01 * sx, s.y - 0.01 * sy).inside);
  EXPECT_FALSE(route.Locate(s.x - 30 * sx - 20 * sy, s.y - 30 * sy + 20 * sx).inside);
  EXPECT_FALSE(route.Locate(e.x + 5 * ex, e.y + 5 * ey).inside);
  EXPECT_FALSE(route.Locate(1e200, -1e200).inside);
  const Location atEnd = route.Locate(e.x - 12 * ey, e.y + 12 * ex);  // square to the last point
  EXPECT_TRUE(atEnd.inside);
  EXPECT_NEAR(atEnd.chainage, route.Length(), 1e-9);
  EXPECT_NEAR(atEnd.offset, 12, 1e-9);
}

TEST(Route, SideStakeWithSkewLiesOnTheSkewedLine) {
  const Route route = JdRoute();
  const double c = 50, d = 10, skew = 30 * kDeg;  // on the first straight
  const Pose p = route.PointAt(c, d, skew);
  const Pose centre = route.PointAt(c);
  EXPECT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), d / std::cos(skew), 1e-9);
  EXPECT_NEAR(p.azimuth, centre.azimuth, 1e-15);
  // azimuth + 90 deg + skew turns the right-hand normal back along the route.
  const Location at = route.Locate(p.x, p.y);
  EXPECT_NEAR(at.chainage, c - d * std::tan(skew), 1e-9);
  EXPECT_NEAR(at.offset, d, 1e-9);
}

TEST(Route, ElementJointsAreMainPoints) {
  const Route route = RampRoute();
  const std::vector<MainPoint>& m = route.MainPoints();
  ASSERT_EQ(m.size(), 14u);
  std::vector<std::string> names;
  for (const MainPoint& p : m) names.push_back(p.name);
  EXPECT_EQ(names, (std::vector<std::string>{"QD", "E2 ZH", "E3 HY", "E4 YH", "E5 HY", "E6 YH", "E7 HZ", "E8 ZH", "E9 HY",
                                             "E10 YH", "E11 HH", "E12 HH", "E13 HZ", "ZD"}));
  EXPECT_NEAR(m[1].chainage, 150, 1e-12);
  EXPECT_DOUBLE_EQ(route.StationAt(150), 2150);
}

TEST(Route, QueryRefusals) {
  const Route route = RampRoute();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(route.PointAt(-0.01), AlignmentError);
  EXPECT_THROW(route.PointAt(route.Length() + 0.01), AlignmentError);
  EXPECT_THROW(route.PointAt(nan), AlignmentError);
  EXPECT_THROW(route.PointAt(10, 5, 90 * kDeg), AlignmentError);
  EXPECT_THROW(route.PointAt(10, nan), AlignmentError);
  EXPECT_THROW(route.Locate(nan, 0), AlignmentError);
  EXPECT_THROW(route.ChainageAtStation(1999), AlignmentError);
}

TEST(Route, ElementTableRefusalsNameTheElement) {
  struct Case { const char* what; std::vector<ElementShape> shapes; const char* names; };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"no elements", {}, "没有线元"},
      {"negative length", {Line(10), Line(-5)}, "线元 2"},
      {"zero length", {Line(0)}, "线元 1"},
      {"length not a number", {Line(10), Arc(nan, 0.01)}, "线元 2"},
      {"curvature not a number", {Line(10), Line(10), Spiral(10, 0, nan)}, "线元 3"},
      {"arc of more than a circle", {Arc(400, 1.0 / 50)}, "线元 1"},
      {"by table line", {ElementShape{ElementKind::Line, -1, 0, 0, 12}}, "第 12 行"},
  };
  for (const Case& c : cases) {
    const std::string refusal = RefusalOf([&] { BuildRouteFromElements({0, 0, 0}, 0, c.shapes, {}); });
    EXPECT_NE(refusal.find(c.names), std::string::npos) << c.what << ": " << refusal;
  }
}

// Huge, tiny and non-finite numbers anywhere end in a refusal with a message or in a result
// whose numbers are all finite: never a hang, undefined behaviour (the sanitizer build runs this
// too) or a NaN handed on as a coordinate.
TEST(Route, HostileNumbersEndInARefusalOrAFiniteResult) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double big = 1e308;
  auto jd = [](double r, double ls) {
    return std::vector<JdInput>{{"QD", 0, 0}, {"JD1", 1000, 0, r, ls, ls}, {"ZD", 1000, 1000}};
  };
  // What a result hands on: the route's length and end point, or a pose, or a location.
  const auto route = [](const Route& r) {
    const Pose end = r.PointAt(r.Length());
    return std::vector<double>{r.Length(), end.x, end.y, end.azimuth, r.StationAt(r.Length())};
  };
  const auto pose = [](const Pose& p) { return std::vector<double>{p.x, p.y, p.azimuth}; };
  const auto location = [](const Location& at) {
    return at.inside ? std::vector<double>{at.chainage, at.offset} : std::vector<double>{};
  };
  const std::vector<std::function<std::vector<double>()>> cases = {
      [&] { return route(BuildRouteFromJd(jd(big, 0), 0, {})); },
      [&] { return route(BuildRouteFromJd(jd(big, big), 0, {})); },
      [&] { return route(BuildRouteFromJd(jd(1e-300, 0), 0, {})); },
      [&] { return route(BuildRouteFromJd(jd(100, 1e-300), 0, {})); },
      [&] { return route(BuildRouteFromJd(jd(inf, 0), 0, {})); },
      [&] { return route(BuildRouteFromJd(jd(100, nan), nan, {})); },
      [&] { return route(BuildRouteFromJd(jd(100, 0), big, {})); },
      [&] { return route(BuildRouteFromJd(jd(100, 0), 0, {{inf, 0}})); },
      [&] { return route(BuildRouteFromJd(jd(100, 0), 0, {{100, -big}})); },
      [&] { return route(BuildRouteFromJd({{"QD", 0, 0}, {"JD1", 1e9, 1e-9, 1e-3, 0, 0}, {"ZD", -1e9, 0}}, 0, {})); },
      [&] { return route(BuildRouteFromElements({0, 0, big}, 0, {Line(big)}, {})); },
      [&] { return route(BuildRouteFromElements({0, 0, 0}, 0, {Spiral(1e8, 0, 1e-300), Spiral(1e-300, big, -big)}, {})); },
      [&] { return route(BuildRouteFromElements({big, 0, 0}, 0, {Line(10)}, {})); },
      [&] { return pose(RampRoute().PointAt(10, big, 0)); },
      [&] {
        std::vector<double> stations;
        for (const Stake& s : StakeList(RampRoute(), {1e308, {}, nan})) stations.push_back(s.station);
        return stations;
      },
      [&] { return pose(RampRoute().PointAt(10, 5, 89.9999999 * kDeg)); },
      [&] { return location(RampRoute().Locate(big, big)); },
      [&] { return location(RampRoute().Locate(3000000, 1e-300)); },
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::vector<double> values;
    const std::string refusal = RefusalOf([&] { values = cases[i](); });
    if (refusal == "(accepted)") {
      for (double v : values) EXPECT_TRUE(std::isfinite(v)) << "case " << i << " handed on " << v;
    } else {
      EXPECT_GT(refusal.size(), 10u) << "case " << i << " refused without saying why";
    }
  }
}

}  // namespace
}  // namespace survey::alignment
