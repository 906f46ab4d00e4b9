// A JD route drawn and read back with dxflib's reader: every ARC's radius is the design
// radius, every stake lies on the stake list's point, the clothoids stay on the route.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include "alignment/route.h"
#include "alignment/stake_list.h"
#include "exchange/dxf_plan.h"
#include "exchange/route_plan.h"
#include "exchange/station_names.h"

namespace survey::exchange {
namespace {

struct Drawn : DL_CreationAdapter {
  std::vector<DL_ArcData> arcs;
  std::vector<DL_PointData> stakes, sides;
  std::vector<std::vector<DL_VertexData>> centrePolylines;
  std::vector<std::string> stakeLabels;
  bool inCentre = false;
  std::string Layer() { return getAttributes().getLayer(); }
  void addArc(const DL_ArcData& d) override { arcs.push_back(d); }
  void addPoint(const DL_PointData& d) override {
    if (Layer() == DxfText("桩号")) stakes.push_back(d);
    if (Layer() == DxfText("边桩")) sides.push_back(d);
  }
  void addPolyline(const DL_PolylineData&) override {
    inCentre = Layer() == DxfText("中线");
    if (inCentre) centrePolylines.emplace_back();
  }
  void addVertex(const DL_VertexData& d) override {
    if (inCentre) centrePolylines.back().push_back(d);
  }
  void addText(const DL_TextData& d) override {
    if (Layer() == DxfText("桩号")) stakeLabels.push_back(d.text);
  }
};

// The README's route: two JDs with unequal transitions, from K10+000.
alignment::Route SampleRoute() {
  return alignment::BuildRouteFromJd({{"QD", 3000, 5000, 0, 0, 0},
                                      {"JD1", 3400, 5300, 600, 120, 120},
                                      {"JD2", 3500, 5900, 800, 100, 150},
                                      {"ZD", 3900, 6400, 0, 0, 0}},
                                     10000, {});
}

TEST(RoutePlan, ReadBackArcsStakesAndClothoidsMatchTheDesign) {
  const alignment::Route route = SampleRoute();
  PlanOptions options;
  options.interval = 20;
  options.labelEvery = 100;
  options.offsets = {-5, 7.5};
  std::istringstream in(WritePlanDxf(RoutePlan(route, options)));
  Drawn drawn;
  ASSERT_TRUE(DL_Dxf().in(in, &drawn));

  ASSERT_EQ(drawn.arcs.size(), 2u);
  EXPECT_NEAR(drawn.arcs[0].radius, 600.0, 1e-6);
  EXPECT_NEAR(drawn.arcs[1].radius, 800.0, 1e-6);
  // Each arc's centre is a radius away from the route's HY and YH, and its end angles are theirs.
  const auto& curves = route.Curves();
  for (std::size_t i = 0; i < 2; ++i) {
    const DL_ArcData& arc = drawn.arcs[i];
    for (const double chainage : {curves[i].hy, curves[i].yh}) {
      const alignment::Pose p = route.PointAt(chainage);
      EXPECT_NEAR(std::hypot(p.y - arc.cx, p.x - arc.cy), curves[i].r, 1e-6);
    }
    const alignment::Pose hy = route.PointAt(curves[i].hy);
    const double hyAngle = std::fmod(std::atan2(hy.x - arc.cy, hy.y - arc.cx) * 180 / M_PI + 360, 360);
    // JD1 turns right (clockwise), so its arc runs anticlockwise from YH to HY: HY is angle2.
    EXPECT_NEAR(curves[i].turnRight ? arc.angle2 : arc.angle1, hyAngle, 1e-6) << i;
  }

  // Every stake within 1 mm of the stake list's coordinates, in order.
  alignment::StakeOptions stakeOptions;
  stakeOptions.interval = 20;
  const std::vector<alignment::Stake> list = alignment::StakeList(route, stakeOptions);
  ASSERT_EQ(drawn.stakes.size(), list.size());
  ASSERT_EQ(drawn.sides.size(), 2 * list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const alignment::Pose p = route.PointAt(list[i].chainage);
    EXPECT_LE(std::hypot(drawn.stakes[i].x - p.y, drawn.stakes[i].y - p.x), 0.001) << i;
    const alignment::Pose right = route.PointAt(list[i].chainage, 7.5);
    EXPECT_LE(std::hypot(drawn.sides[2 * i + 1].x - right.y, drawn.sides[2 * i + 1].y - right.x), 0.001) << i;
  }
  ASSERT_FALSE(drawn.stakeLabels.empty());
  EXPECT_EQ(drawn.stakeLabels[0], "K10+000");
  EXPECT_EQ(drawn.stakeLabels[1], "K10+100");

  // Four clothoids; every point of the route along them within 1 mm of their polylines.
  ASSERT_EQ(drawn.centrePolylines.size(), 4u);
  const double starts[] = {curves[0].zh, curves[0].yh, curves[1].zh, curves[1].yh};
  const double ends[] = {curves[0].hy, curves[0].hz, curves[1].hy, curves[1].hz};
  for (std::size_t k = 0; k < 4; ++k) {
    const auto& v = drawn.centrePolylines[k];
    double worst = 0;
    for (int i = 0; i <= 400; ++i) {
      const alignment::Pose p = route.PointAt(starts[k] + (ends[k] - starts[k]) * i / 400);
      double nearest = 1e9;
      for (std::size_t j = 0; j + 1 < v.size(); ++j) {
        const double dx = v[j + 1].x - v[j].x, dy = v[j + 1].y - v[j].y;
        const double t = std::clamp(((p.y - v[j].x) * dx + (p.x - v[j].y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        nearest = std::min(nearest, std::hypot(p.y - (v[j].x + t * dx), p.x - (v[j].y + t * dy)));
      }
      worst = std::max(worst, nearest);
    }
    EXPECT_LE(worst, 0.001) << k;
  }
}

TEST(RoutePlan, NamesOfStakes) {
  EXPECT_EQ(StakeName(10020), "K10+020");
  EXPECT_EQ(StakeName(10123.4564), "K10+123.456");
  EXPECT_EQ(StakeName(999.9996), "K1+000");
  EXPECT_EQ(SideStakeName("K10+020", -5), "K10+020左5");
  EXPECT_EQ(SideStakeName("K10+020", 3.75), "K10+020右3.75");
  EXPECT_EQ(AsciiStakeName("JD3 HY左5"), "JD3_HYL5");
  EXPECT_EQ(AsciiStakeName("K10+020右3.75"), "K10+020R3.75");
  EXPECT_EQ(AsciiStakeName("加桩1"), "加桩1");
  const PlanDrawing d = RoutePlan(SampleRoute(), {});
  ASSERT_GE(d.mainPoints.size(), 3u);
  EXPECT_EQ(d.mainPoints[0].text, "QD K10+000");
  EXPECT_EQ(d.mainPoints[1].text.substr(0, 7), "JD1 ZH ");
  EXPECT_EQ(d.jds.size(), 2u);
  EXPECT_EQ(d.tangentPolygon.size(), 4u);
}

}  // namespace
}  // namespace survey::exchange
