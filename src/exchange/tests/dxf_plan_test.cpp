// The plan drawing read back with dxflib's reader: true arcs, stakes to the millimetre,
// clothoid polylines within the chord tolerance, layers and labels.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <sstream>

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include "exchange/dxf_plan.h"
#include "exchange/exchange_error.h"

namespace survey::exchange {
namespace {

constexpr double kPi = std::numbers::pi;

// \U+XXXX back to UTF-8, as a CAD program shows it.
std::string Decoded(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    if (s.compare(i, 3, "\\U+") == 0 && i + 7 <= s.size()) {
      const unsigned cp = static_cast<unsigned>(std::stoul(s.substr(i + 3, 4), nullptr, 16));
      if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
      } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      }
      out += static_cast<char>(0x80 | (cp & 0x3F));
      i += 7;
    } else {
      out += s[i++];
    }
  }
  return out;
}

struct Entity {
  std::string layer;
};
struct ReadBack : DL_CreationAdapter {
  std::vector<std::string> layers;
  std::vector<std::pair<std::string, DL_PointData>> points;
  std::vector<std::pair<std::string, DL_LineData>> lines;
  std::vector<std::pair<std::string, DL_ArcData>> arcs;
  std::vector<std::pair<std::string, std::vector<DL_VertexData>>> polylines;
  std::vector<std::pair<std::string, DL_TextData>> texts;

  std::string Layer() { return Decoded(getAttributes().getLayer()); }
  void addLayer(const DL_LayerData& d) override { layers.push_back(Decoded(d.name)); }
  void addPoint(const DL_PointData& d) override { points.emplace_back(Layer(), d); }
  void addLine(const DL_LineData& d) override { lines.emplace_back(Layer(), d); }
  void addArc(const DL_ArcData& d) override { arcs.emplace_back(Layer(), d); }
  void addPolyline(const DL_PolylineData&) override { polylines.emplace_back(Layer(), std::vector<DL_VertexData>{}); }
  void addVertex(const DL_VertexData& d) override { polylines.back().second.push_back(d); }
  void addText(const DL_TextData& d) override { texts.emplace_back(Layer(), d); }
};

ReadBack Read(const std::string& dxf) {
  std::istringstream in(dxf);
  ReadBack r;
  DL_Dxf reader;
  EXPECT_TRUE(reader.in(in, &r));
  return r;
}

// A clothoid from the origin heading north, turning right: curvature s / A^2, by Simpson's
// rule on the heading (independent of the writer, fine enough to stand for the true curve).
PlanPoint Clothoid(double a2, double s, PlanPoint origin) {
  const int n = 2000;
  const double h = s / n;
  double north = 0, east = 0;
  for (int i = 0; i <= n; ++i) {
    const double t = i * h;
    const double w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
    const double heading = t * t / (2 * a2);
    north += w * std::cos(heading);
    east += w * std::sin(heading);
  }
  return {origin.x + north * h / 3, origin.y + east * h / 3};
}

double DistanceToSegment(double px, double py, const DL_VertexData& a, const DL_VertexData& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double t = std::clamp(((px - a.x) * dx + (py - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

PlanDrawing Sample() {
  PlanDrawing d;
  d.straights.push_back({{2936000.0, 365000.0}, {2936100.0, 365000.0}});
  // Left: anticlockwise from drawing angle 10 to 50 degrees; right: clockwise from 10 to 50,
  // the long way round.
  const PlanPoint c{2936500.0, 365700.0};
  const auto on = [&](double r, double deg) {
    return PlanPoint{c.x + r * std::sin(deg * kPi / 180), c.y + r * std::cos(deg * kPi / 180)};
  };
  d.arcs.push_back({c, 600.123456789, on(600.123456789, 10), on(600.123456789, 50), true});
  d.arcs.push_back({c, 45.5, on(45.5, 10), on(45.5, 50), false});
  const double a2 = 500.0 * 60.0;
  const PlanPoint origin{2936100.0, 365000.0};
  d.spirals.push_back({60.0, 1.0 / 500.0, [=](double s) { return Clothoid(a2, s, origin); }});
  d.tangentPolygon = {{2936000, 365000}, {2936300, 365200}, {2936600, 365100}};
  d.jds = {{{2936300, 365200}, "JD1"}};
  d.mainPoints = {{{2936100, 365000}, "ZH K10+123.456"}};
  for (int i = 0; i < 50; ++i) {
    const double az = 0.3 + 0.01 * i;
    d.stakes.push_back({{2936000.0 + 20.000123 * i, 365000.0 + 7.654321 * i}, az, i % 5 ? "" : "K10+" + std::to_string(i)});
  }
  d.sideStakes = {{{2936001.5, 364995.0}, "K10+000左5"}};
  return d;
}

TEST(DxfPlan, ArcsKeepTheirTrueCentreRadiusAndDirection) {
  const ReadBack r = Read(WritePlanDxf(Sample()));
  ASSERT_EQ(r.arcs.size(), 2u);
  for (const auto& [layer, arc] : r.arcs) {
    EXPECT_EQ(layer, "中线");
    EXPECT_NEAR(arc.cx, 365700.0, 1e-9);  // X = east
    EXPECT_NEAR(arc.cy, 2936500.0, 1e-9);
  }
  EXPECT_NEAR(r.arcs[0].second.radius, 600.123456789, 1e-6);
  EXPECT_NEAR(r.arcs[0].second.angle1, 10.0, 1e-9);
  EXPECT_NEAR(r.arcs[0].second.angle2, 50.0, 1e-9);
  EXPECT_NEAR(r.arcs[1].second.radius, 45.5, 1e-6);
  EXPECT_NEAR(r.arcs[1].second.angle1, 50.0, 1e-9);
  EXPECT_NEAR(r.arcs[1].second.angle2, 10.0, 1e-9);
  ASSERT_EQ(r.lines.size(), 1u + 50u);  // the straight and one tick per stake
  EXPECT_EQ(r.lines[0].first, "中线");
  EXPECT_EQ(r.lines[0].second.x1, 365000.0);
  EXPECT_EQ(r.lines[0].second.y2, 2936100.0);
}

TEST(DxfPlan, StakesLieOnTheirPointsAndTicksPointRight) {
  const PlanDrawing d = Sample();
  const ReadBack r = Read(WritePlanDxf(d));
  std::vector<DL_PointData> stakes;
  for (const auto& [layer, p] : r.points) {
    if (layer == "桩号") stakes.push_back(p);
  }
  ASSERT_EQ(stakes.size(), d.stakes.size());
  for (std::size_t i = 0; i < stakes.size(); ++i) {
    EXPECT_LE(std::hypot(stakes[i].x - d.stakes[i].at.y, stakes[i].y - d.stakes[i].at.x), 0.001) << i;
    // The tick leaves the stake at right angles to the route, on its right.
    const DL_LineData& tick = r.lines[1 + i].second;
    EXPECT_EQ(r.lines[1 + i].first, "桩号");
    const double dx = tick.x2 - tick.x1, dy = tick.y2 - tick.y1;  // east, north
    const double az = d.stakes[i].azimuth;
    // Coordinates are written to the micrometre.
    EXPECT_NEAR(std::hypot(dx, dy), 2.5, 2e-6);
    EXPECT_NEAR(dx * std::sin(az) + dy * std::cos(az), 0.0, 2e-6);  // across the route
    EXPECT_GT(dx * std::cos(az) - dy * std::sin(az), 0.0);           // to its right
  }
  std::vector<std::string> labels;
  for (const auto& [layer, t] : r.texts) {
    if (layer == "桩号") labels.push_back(t.text);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"K10+0", "K10+5", "K10+10", "K10+15", "K10+20", "K10+25", "K10+30",
                                              "K10+35", "K10+40", "K10+45"}));
}

TEST(DxfPlan, ClothoidPolylineStaysWithinAMillimetreOfTheCurve) {
  const PlanDrawing d = Sample();
  const ReadBack r = Read(WritePlanDxf(d));
  std::vector<DL_VertexData> vertices;
  for (const auto& [layer, v] : r.polylines) {
    if (layer == "中线") vertices = v;
  }
  ASSERT_GE(vertices.size(), 3u);
  const PlanCurve& curve = d.spirals[0];
  const PlanPoint end = curve.pointAt(curve.length);
  EXPECT_NEAR(vertices.back().x, end.y, 1e-6);
  EXPECT_NEAR(vertices.back().y, end.x, 1e-6);
  double worst = 0;
  for (int i = 0; i <= 600; ++i) {
    const PlanPoint p = curve.pointAt(curve.length * i / 600);
    double nearest = 1e9;
    for (std::size_t k = 0; k + 1 < vertices.size(); ++k) {
      nearest = std::min(nearest, DistanceToSegment(p.y, p.x, vertices[k], vertices[k + 1]));
    }
    worst = std::max(worst, nearest);
  }
  EXPECT_LE(worst, 0.001);
  EXPECT_GT(worst, 0.0001);  // and not far more vertices than needed
}

TEST(DxfPlan, LayersAndLabelsReadBackInChinese) {
  const ReadBack r = Read(WritePlanDxf(Sample()));
  EXPECT_EQ(r.layers, (std::vector<std::string>{"0", "中线", "交点", "主点", "桩号", "边桩"}));
  std::map<std::string, std::vector<std::string>> texts;
  for (const auto& [layer, t] : r.texts) {
    texts[layer].push_back(Decoded(t.text));
    EXPECT_EQ(t.height, 2.5);
  }
  EXPECT_EQ(texts["交点"], std::vector<std::string>{"JD1"});
  EXPECT_EQ(texts["主点"], std::vector<std::string>{"ZH K10+123.456"});
  EXPECT_EQ(texts["边桩"], std::vector<std::string>{"K10+000左5"});
  ASSERT_EQ(r.polylines.size(), 2u);
  EXPECT_EQ(r.polylines[1].first, "交点");
  EXPECT_EQ(r.polylines[1].second.size(), 3u);
}

TEST(DxfPlan, TextIsEscapedOnOneLine) {
  EXPECT_EQ(DxfText("K1左5\n"), "K1\\U+5DE65 ");
}

TEST(DxfPlan, RefusesWhatCannotBeDrawn) {
  const auto refused = [](PlanDrawing d) {
    try {
      WritePlanDxf(d);
    } catch (const ExchangeError& e) {
      return std::string(e.what());
    }
    return std::string("(accepted)");
  };
  PlanDrawing d = Sample();
  d.arcs[0].radius = 0;
  EXPECT_EQ(refused(d), "圆曲线半径应大于 0。");
  d = Sample();
  d.stakes[3].at.x = std::nan("");
  EXPECT_EQ(refused(d), "图形的坐标值无效或超出范围，无法写入。");
  d = Sample();
  d.textHeight = 0;
  EXPECT_EQ(refused(d), "文字高度应大于 0。");
  d = Sample();
  d.spirals[0].length = 1e8;
  d.spirals[0].maxCurvature = 1;
  EXPECT_EQ(refused(d), "缓和曲线需要的折线点超过一百万个，无法绘出。");
}

}  // namespace
}  // namespace survey::exchange
