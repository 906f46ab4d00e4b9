#include "alignment/curve_listing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "alignment/route.h"

namespace survey::alignment {
namespace {

// The same route as elements, as a LandXML import gives it.
Route AsElements(const Route& jd) {
  std::vector<ElementShape> shapes;
  for (const Element& e : jd.Elements()) shapes.push_back({e.kind, e.length, e.startCurvature, e.endCurvature});
  return BuildRouteFromElements(jd.Elements().front().start, jd.Stations().StartStation(), shapes,
                                jd.Stations().Equations());
}

// Asymmetric transitions, a curve without transitions turning the other way, a curve with
// only an entry transition, and an S-curve whose transitions meet at zero curvature.
Route JdRoute() {
  return BuildRouteFromJd({{"QD", 3000000, 500000, 0, 0, 0},
                           {"JD1", 3000800, 500300, 500, 100, 80},
                           {"JD2", 3001500, 500200, 300, 0, 0},
                           {"JD3", 3002300, 500700, 800, 120, 0},
                           {"JD4", 3002900, 500650, 600, 90, 90},
                           {"JD5", 3003400, 500900, 700, 70, 70},
                           {"ZD", 3004200, 500600, 0, 0, 0}},
                          500, {});
}

TEST(CurveListingTest, ElementRoutesListTheJdsAJdRouteLists) {
  const Route jd = JdRoute();
  const std::vector<CurveListingRow> rows = ListCurves(AsElements(jd));
  ASSERT_EQ(rows.size(), jd.Curves().size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(rows[i].jd);
    const CurveRow& got = *rows[i].jd;
    const CurveRow& want = jd.Curves()[i];
    EXPECT_EQ(got.name, "JD" + std::to_string(i + 1));
    EXPECT_EQ(got.turnRight, want.turnRight);
    EXPECT_EQ(got.hasEntryTransition, want.hasEntryTransition);
    EXPECT_EQ(got.hasExitTransition, want.hasExitTransition);
    const std::pair<double, double> values[] = {
        {got.x, want.x},   {got.y, want.y},   {got.alpha, want.alpha}, {got.r, want.r},   {got.ls1, want.ls1},
        {got.ls2, want.ls2}, {got.t1, want.t1}, {got.t2, want.t2},       {got.l, want.l},   {got.e, want.e},
        {got.j, want.j},   {got.zh, want.zh}, {got.hy, want.hy},       {got.qz, want.qz}, {got.yh, want.yh},
        {got.hz, want.hz}, {got.p1, want.p1}, {got.q2, want.q2}};
    for (const auto& [g, w] : values) EXPECT_NEAR(g, w, 1e-6);
    ASSERT_EQ(got.straightAfter.has_value(), want.straightAfter.has_value());
    if (want.straightAfter) {
      EXPECT_NEAR(*got.straightAfter, *want.straightAfter, 1e-6);
    }
    ASSERT_EQ(got.straightBefore.has_value(), want.straightBefore.has_value());
    if (want.straightBefore) {
      EXPECT_NEAR(*got.straightBefore, *want.straightBefore, 1e-6);
    }
  }
  // A JD route lists its own rows.
  EXPECT_EQ(ListCurves(jd).size(), jd.Curves().size());
}

TEST(CurveListingTest, GroupsThatAreNoJdAreListedByElement) {
  // Line, spiral 0 -> 1/1000, arc 1000, egg 1/1000 -> 1/400, arc 400, spiral -> 0, line; then a
  // compound arc pair between straights, then a plain arc (one JD).
  const Route route = BuildRouteFromElements({2500000, 400000, 0.3}, 0,
                                             {{ElementKind::Line, 200, 0, 0},
                                              {ElementKind::Spiral, 120, 0, 1.0 / 1000},
                                              {ElementKind::Arc, 150, 1.0 / 1000, 1.0 / 1000},
                                              {ElementKind::Spiral, 90, 1.0 / 1000, 1.0 / 400},
                                              {ElementKind::Arc, 100, 1.0 / 400, 1.0 / 400},
                                              {ElementKind::Spiral, 110, 1.0 / 400, 0},
                                              {ElementKind::Line, 300, 0, 0},
                                              {ElementKind::Arc, 100, -1.0 / 600, -1.0 / 600},
                                              {ElementKind::Arc, 100, -1.0 / 300, -1.0 / 300},
                                              {ElementKind::Line, 300, 0, 0},
                                              {ElementKind::Arc, 100, 1.0 / 600, 1.0 / 600},
                                              {ElementKind::Line, 300, 0, 0}},
                                             {});
  const std::vector<CurveListingRow> rows = ListCurves(route);
  ASSERT_EQ(rows.size(), 8u);
  for (std::size_t i = 0; i < 7; ++i) {
    ASSERT_FALSE(rows[i].jd) << i;
    EXPECT_EQ(rows[i].element.index, i < 5 ? i + 2 : i + 3);
  }
  EXPECT_EQ(rows[2].element.kind, ElementKind::Spiral);
  EXPECT_NEAR(rows[2].element.startRadius, 1000, 1e-9);
  EXPECT_NEAR(rows[2].element.endRadius, 400, 1e-9);
  EXPECT_TRUE(rows[2].element.turnRight);
  EXPECT_NEAR(rows[2].element.startChainage, 470, 1e-9);
  EXPECT_NEAR(rows[2].element.endChainage, 560, 1e-9);
  EXPECT_FALSE(rows[5].element.turnRight);
  ASSERT_TRUE(rows[7].jd);
  EXPECT_EQ(rows[7].jd->name, "JD1");
  EXPECT_NEAR(rows[7].jd->alpha, 100.0 / 600, 1e-9);
  EXPECT_NEAR(rows[7].jd->t1, 600 * std::tan(50.0 / 600), 1e-6);
  EXPECT_NEAR(*rows[7].jd->straightAfter, 300, 1e-6);
}

}  // namespace
}  // namespace survey::alignment
