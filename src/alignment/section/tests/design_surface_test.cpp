// Design elevations checked by hand: every expected value below is worked out in the comment
// beside it from the widths and slopes of the template, not taken from a run of the code.
#include "alignment/section/design_surface.h"

#include <gtest/gtest.h>

#include "alignment/profile.h"
#include "alignment/tests/refusal.h"

namespace survey::alignment::section {
namespace {

// Each side: 行车道 3.5 m at -2 % (super), 土路肩 0.75 m at -4 % (keeps its slope). The normal
// rise from the design line to either subgrade edge is -0.07 - 0.03 = -0.10 m.
constexpr const char* kTwoLane =
    "side,part,width,slope,super\n"
    "left,行车道,3.5,-2,1\nleft,土路肩,0.75,-4,0\n"
    "right,行车道,3.5,-2,1\nright,土路肩,0.75,-4,0\n";
// Normal crown at K0+100, full superelevation of a right-hand curve at K0+200: at K0+150 the
// super parts are at +2 (left) and -4 (right).
constexpr const char* kSuper = "station,left,right\nK0+100,-2,-2\nK0+200,6,-6\n";

SectionTables Tables(const char* section, const char* super = nullptr, const char* widening = nullptr) {
  SectionTables t;
  t.section = ReadTypicalSection(section, "section.csv");
  if (super) t.superelevation = ReadSuperelevationTable(super, "super.csv");
  if (widening) t.widening = ReadWideningTable(widening, "widening.csv");
  t.sectionFile = "section.csv";
  t.superelevationFile = "super.csv";
  t.wideningFile = "widening.csv";
  return t;
}

const StationLine kStations(0, {}, 1000);

struct Expected {
  double line, leftLane, leftEdge, rightLane, rightEdge;
};

void ExpectSection(const CrossSection& s, const Expected& e, const std::string& what) {
  std::vector<BreakPoint> points;
  s.AppendBreakPoints(points);
  ASSERT_EQ(points.size(), 5u) << what;
  EXPECT_TRUE(points[0].designLine);
  const double offsets[5] = {0, -3.5, -4.25, 3.5, 4.25};
  const double z[5] = {e.line, e.leftLane, e.leftEdge, e.rightLane, e.rightEdge};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_NEAR(points[i].offset, offsets[i], 1e-12) << what << " point " << i;
    EXPECT_NEAR(points[i].elevation, z[i], 1e-9) << what << " point " << i;
    // The same surface asked for by offset.
    EXPECT_NEAR(*s.ElevationAt(offsets[i]), z[i], 1e-9) << what << " offset " << offsets[i];
  }
}

TEST(DesignSurface, HalfWayIntoSuperelevationForEachProfilePlaceAndRotation) {
  const struct {
    ProfileAt at;
    RotateAbout about;
    Expected z;  // profile 100.00 at K0+150
  } cases[] = {
      // Design line at 100; left +2 %: 100 + 0.07 = 100.07,土路肩 -0.03 -> 100.04;
      // right -4 %: 100 - 0.14 = 99.86, -0.03 -> 99.83.
      {ProfileAt::Line, RotateAbout::Line, {100, 100.07, 100.04, 99.86, 99.83}},
      // The profile is the normal subgrade edge: design line 100 + 0.10, all 0.10 higher.
      {ProfileAt::Edge, RotateAbout::Line, {100.10, 100.17, 100.14, 99.96, 99.93}},
      // Inner side right (-4 < +2); its carriageway edge at 3.5 m keeps its normal 100 - 0.07
      // = 99.93, so the design line is 99.93 + 0.14 = 100.07; left 100.14, 100.11; right
      // 99.93, 99.90.
      {ProfileAt::Line, RotateAbout::InnerEdge, {100.07, 100.14, 100.11, 99.93, 99.90}},
      {ProfileAt::Edge, RotateAbout::InnerEdge, {100.17, 100.24, 100.21, 100.03, 100.00}},
  };
  const std::string sides[] = {"line", "edge", "median"};
  for (const auto& c : cases) {
    const SectionModel model(Tables(kTwoLane, kSuper), kStations, {c.at, c.about, Transition::Linear});
    const std::string what = sides[static_cast<int>(c.at)] + "/" + sides[static_cast<int>(c.about)];
    const CrossSection s = model.At(150, 100.0);
    EXPECT_DOUBLE_EQ(s.Parts(Side::Left)[0].slope, 2) << what;
    EXPECT_DOUBLE_EQ(s.Parts(Side::Right)[0].slope, -4) << what;
    EXPECT_DOUBLE_EQ(s.Parts(Side::Right)[1].slope, -4) << what;  // the earth shoulder keeps -4
    ExpectSection(s, c.z, what);
    // On a normal station every rotation is the same: crown -2/-2 at K0+050 (before the rows).
    const double line = c.at == ProfileAt::Edge ? 100.10 : 100;
    ExpectSection(model.At(50, 100.0), {line, line - 0.07, line - 0.10, line - 0.07, line - 0.10}, what + " normal");
    // Without a profile the design line is 0 and the rest relative to it, however it turns.
    ExpectSection(model.At(150, std::nullopt), {0, 0.07, 0.04, -0.14, -0.17}, what + " relative");
  }
}

TEST(DesignSurface, OffsetsOnEdgesInsidePartsAndBeyondTheSurface) {
  const SectionModel model(Tables(kTwoLane, kSuper), kStations);
  const CrossSection s = model.At(150, 100.0);
  EXPECT_NEAR(*s.ElevationAt(1.0), 100 - 0.04, 1e-12);          // inside the right lane
  EXPECT_NEAR(*s.ElevationAt(-2.0), 100 + 0.04, 1e-12);         // inside the left lane
  EXPECT_NEAR(*s.ElevationAt(4.0), 99.86 - 0.04 * 0.5, 1e-12);  // half way across the shoulder
  EXPECT_NEAR(*s.ElevationAt(4.25), 99.83, 1e-12);              // exactly the outer edge
  EXPECT_FALSE(s.ElevationAt(4.2501));
  EXPECT_FALSE(s.ElevationAt(-4.26));
  EXPECT_DOUBLE_EQ(s.Width(Side::Left), 4.25);
}

TEST(DesignSurface, WideningWidensTheCarriagewayAndTheInnerEdgeStaysAtItsUnwidenedOffset) {
  // The two-lane template with its earth shoulders at -3 %, so that no hinge but the
  // carriageway's unwidened edge gives these numbers. Right widening 0 -> 1.0 m over
  // K0+100..K0+200: 0.5 m linear at K0+150, 0.3125 m cubic.
  const char* section =
      "side,part,width,slope,super\n"
      "left,行车道,3.5,-2,1\nleft,土路肩,0.75,-3,0\nright,行车道,3.5,-2,1\nright,土路肩,0.75,-3,0\n";
  const char* widening = "station,left,right\nK0+100,0,0\nK0+200,0,1.0\n";
  const struct {
    Transition transition;
    RotateAbout about;
    double b;
    double line;
  } cases[] = {
      // About the line the design line stays at 100.
      {Transition::Linear, RotateAbout::Line, 0.5, 100},
      {Transition::Cubic, RotateAbout::Line, 0.3125, 100},
      // About the inner edge: the point 3.5 m right (inside the widened lane) keeps 99.93, so
      // the design line is 100.07 whatever the widening.
      {Transition::Linear, RotateAbout::InnerEdge, 0.5, 100.07},
      {Transition::Cubic, RotateAbout::InnerEdge, 0.3125, 100.07},
  };
  for (const auto& c : cases) {
    const SectionModel model(Tables(section, kSuper, widening), kStations, {ProfileAt::Line, c.about, c.transition});
    const CrossSection s = model.At(150, 100.0);
    const double lane = 3.5 + c.b;
    EXPECT_DOUBLE_EQ(s.Parts(Side::Right)[0].width, lane);
    EXPECT_DOUBLE_EQ(s.Parts(Side::Left)[0].width, 3.5);
    std::vector<BreakPoint> points;
    s.AppendBreakPoints(points);
    EXPECT_NEAR(points[3].offset, lane, 1e-12);
    EXPECT_NEAR(points[3].elevation, c.line - 0.04 * lane, 1e-12);
    EXPECT_NEAR(points[4].offset, lane + 0.75, 1e-12);
    EXPECT_NEAR(points[4].elevation, c.line - 0.04 * lane - 0.0225, 1e-12);
    // 4.5 m right lies on the surface only because of the widening.
    EXPECT_NEAR(*s.ElevationAt(4.5), c.line - 0.04 * lane - 0.03 * (4.5 - lane), 1e-12);
    EXPECT_FALSE(model.At(100, 100.0).ElevationAt(4.5));  // widening 0 at the first row
  }
}

TEST(DesignSurface, TextbookRotationAboutTheInnerEdgeInFullSuperelevation) {
  // 《道路勘测设计》(杨少伟 主编, 人民交通出版社), 超高: the table of elevations for rotation
  // about the inner edge (绕内边线旋转), full superelevation section, as differences from the
  // design elevation, which is the subgrade edge before superelevation and widening:
  //   outer edge  h_c   = b_J·i_J + (b_J + B)·i_h
  //   centre line h_c'  = b_J·i_J + B/2·i_h
  //   inner edge  h_c'' = b_J·i_J - (b_J + b)·i_h
  // with pavement B = 7.0 m, shoulders b_J = 0.75 m at i_J = 3 %, crown i_G = 2 %, i_h = 6 %
  // and inner widening b = 0.6 m: h_c = 0.0225 + 0.465 = 0.4875, h_c' = 0.0225 + 0.21 = 0.2325,
  // h_c'' = 0.0225 - 0.081 = -0.0585. Shoulders take the superelevation there, so they are super.
  const char* section =
      "side,part,width,slope,super\n"
      "left,行车道,3.5,-2,1\nleft,路肩,0.75,-3,1\nright,行车道,3.5,-2,1\nright,路肩,0.75,-3,1\n";
  const char* super = "station,left,right\nK0+100,6,-6\nK0+200,6,-6\n";
  const char* widening = "station,left,right\nK0+100,0,0.6\nK0+200,0,0.6\n";
  const SectionModel model(Tables(section, super, widening), kStations, {ProfileAt::Edge, RotateAbout::InnerEdge});
  const double design = 250;  // the profile: the subgrade edge's design elevation
  const CrossSection s = model.At(150, design);
  EXPECT_NEAR(s.DesignLineElevation() - design, 0.2325, 1e-12);
  EXPECT_NEAR(*s.ElevationAt(-4.25) - design, 0.4875, 1e-12);
  EXPECT_NEAR(*s.ElevationAt(4.85) - design, -0.0585, 1e-12);
}

// Median 1 m at -2 %, 行车道 7.5 m at -2 % (super), 硬路肩 2.5 m at -2 % (super), 土路肩
// 0.75 m at -4 %; the left median may be widened by 0.5 m.
constexpr const char* kDivided =
    "side,part,width,slope,super,widen\n"
    "left,中央分隔带,1,-2,0,1\nleft,行车道,7.5,-2,1\nleft,硬路肩,2.5,-2,1\nleft,土路肩,0.75,-4,0\n"
    "right,中央分隔带,1,-2,0\nright,行车道,7.5,-2,1\nright,硬路肩,2.5,-2,1\nright,土路肩,0.75,-4,0\n";

TEST(DesignSurface, DividedHighwayWithTheProfileAtTheMedianEdges) {
  // Profile 100 at the median edges: design line 100.02. At +2/-4 the left carriageway rises
  // 0.15 to 100.15, 硬路肩 +0.05 -> 100.20, 土路肩 -0.03 -> 100.17; right 99.70, 99.60, 99.57.
  for (const RotateAbout about : {RotateAbout::Line, RotateAbout::Median}) {
    const SectionModel model(Tables(kDivided, kSuper), kStations, {ProfileAt::Median, about});
    const CrossSection s = model.At(150, 100.0);
    EXPECT_NEAR(s.DesignLineElevation(), 100.02, 1e-12);
    const double offsets[] = {-1, -8.5, -11, -11.75, 1, 8.5, 11, 11.75};
    const double z[] = {100, 100.15, 100.20, 100.17, 100, 99.70, 99.60, 99.57};
    for (std::size_t i = 0; i < 8; ++i) EXPECT_NEAR(*s.ElevationAt(offsets[i]), z[i], 1e-9) << offsets[i];
  }
  // A widened median shows the difference: about the median edge, the left edge now at 1.5 m
  // keeps its normal 100.00 and the median's -2 % carries the design line to 100.03; about
  // the line, the design line stays at 100.02 and the median edge falls to 99.99.
  const char* widening = "station,left,right\nK0+100,0.5,0\nK0+200,0.5,0\n";
  const SectionModel median(Tables(kDivided, kSuper, widening), kStations, {ProfileAt::Median, RotateAbout::Median});
  const SectionModel line(Tables(kDivided, kSuper, widening), kStations, {ProfileAt::Median, RotateAbout::Line});
  EXPECT_NEAR(*median.At(150, 100.0).ElevationAt(-1.5), 100, 1e-12);
  EXPECT_NEAR(median.At(150, 100.0).DesignLineElevation(), 100.03, 1e-12);
  EXPECT_NEAR(*median.At(150, 100.0).ElevationAt(-9), 100.15, 1e-12);
  EXPECT_NEAR(*median.At(150, 100.0).ElevationAt(8.5), 99.70, 1e-12);  // the right side is untouched
  EXPECT_NEAR(*line.At(150, 100.0).ElevationAt(-1.5), 99.99, 1e-12);
  EXPECT_NEAR(*line.At(150, 100.0).ElevationAt(-9), 100.14, 1e-12);
  // Hanging from the median edges, a median marked super still keeps its template slope.
  const char* superMedian = "side,part,width,slope,super,median\nleft,m,1,-2,1,1\nright,m,1,-2,1,1\n";
  EXPECT_DOUBLE_EQ(SectionModel(Tables(superMedian, kSuper), kStations, {ProfileAt::Line, RotateAbout::Median})
                       .At(150, 0.0).Parts(Side::Left)[0].slope, -2);
  EXPECT_DOUBLE_EQ(SectionModel(Tables(superMedian, kSuper), kStations).At(150, 0.0).Parts(Side::Left)[0].slope, 2);
}

TEST(DesignSurface, GradedProfileOnARouteWithAnEquation) {
  // K1+000 at chainage 0, K1+150 = K1+200. Profile 100.000 at chainage 0 rising 2 % to 120 at
  // 1000. Superelevation rows K1+100 (chainage 100) and K1+250 (chainage 200): at K1+200,
  // chainage 150, the slopes are +2/-4 and the profile 103.000; the right edge 103 - 0.17.
  const StationLine stations(1000, {{1150, 1200}}, 1000);
  const Profile profile({{"", 0, 100, 0}, {"", 1000, 120, 0}});
  const SectionModel model(Tables(kTwoLane, "station,left,right\nK1+100,-2,-2\nK1+250,6,-6\n"), stations);
  const double chainage = stations.ChainageAt(1200);
  const CrossSection s = model.At(chainage, profile.At(chainage).elevation);
  EXPECT_NEAR(*s.ElevationAt(4.25), 102.83, 1e-9);
  EXPECT_NEAR(*s.ElevationAt(-4.25), 103.04, 1e-9);
}

TEST(DesignSurface, Refusals) {
  const auto refusal = [](const SectionTables& t, SectionOptions o = {}) {
    return RefusalOf([&] { SectionModel(t, kStations, o); });
  };
  EXPECT_EQ(refusal(Tables(kTwoLane, nullptr, "station,left,right\nK0+100,0,0\nK0+200,-3.6,0\n")),
            "“widening.csv” 第 3 行：左侧加宽 -3.600 m 使“行车道”的宽度为负。");
  EXPECT_EQ(refusal(Tables(kTwoLane, nullptr, "station,left,right\nK0+100,0,0\nK0+200,-3.5,0\n")), "(accepted)");
  EXPECT_EQ(refusal(Tables("side,part,width,slope,super\nleft,a,3,-2,1\nright,b,3,-2,0\n", nullptr,
                           "station,left,right\nK0+100,0,0.5\n")),
            "“widening.csv” 第 2 行：右侧有加宽，但标准横断面该侧没有取加宽的部分（加宽 1 或超高 1）。");
  const SectionTables uneven = Tables("side,part,width,slope\nleft,a,3.5,-2\nright,a,3.5,-2\nright,b,0.1,-2\n");
  EXPECT_EQ(refusal(uneven, {ProfileAt::Edge}),
            "“section.csv” 两侧路基边缘相对设计线的正常高差不同（左 -70 mm，右 -72 mm），纵断面高程在路基边缘时设计线高程不确定。");
  EXPECT_EQ(refusal(uneven, {ProfileAt::Line, RotateAbout::InnerEdge}), "(accepted)");
  // Within a millimetre the edges count as level.
  EXPECT_EQ(refusal(Tables("side,part,width,slope\nleft,a,3.5,-2\nright,a,3.54,-2\n"), {ProfileAt::Edge}),
            "(accepted)");
  EXPECT_EQ(refusal(Tables("side,part,width,slope\nleft,a,3.5,-2\n"), {ProfileAt::Edge}),
            "“section.csv” 标准横断面没有右侧的部分，无法按路基边缘计算设计线高程。");
  EXPECT_EQ(refusal(Tables(kTwoLane), {ProfileAt::Line, RotateAbout::Median}),
            "“section.csv” 左侧的第一个部分不是中央分隔带（median 列为 1，或名为“中央分隔带”），无法按中央分隔带边缘计算。");
  EXPECT_EQ(refusal(Tables("side,part,width,slope,median\nleft,m,1,-2,1\nright,m,1,-3,1\n"), {ProfileAt::Median}),
            "“section.csv” 左右中央分隔带的正常横坡高差不同（左 -20 mm，右 -30 mm），设计线高程不确定。");
  // A side stake on a side the template does not have.
  const SectionModel oneSided(Tables("side,part,width,slope\nleft,a,3.5,-2\n"), kStations);
  EXPECT_EQ(RefusalOf([&] { oneSided.At(10, 50.0).ElevationAt(2); }),
            "标准横断面没有右侧的部分，无法计算该侧边桩的设计高程。");
  EXPECT_NEAR(*oneSided.At(10, 50.0).ElevationAt(0), 50, 1e-12);
}

}  // namespace
}  // namespace survey::alignment::section
