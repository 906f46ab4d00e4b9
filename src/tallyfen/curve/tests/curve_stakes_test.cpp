#include "tallyfen/curve/curve_stakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tallyfen/curve/curve_input.h"

namespace tallyfen {
namespace {

using survey::PlainNumberText;
using survey::PlanePoint;

// The right-turn curve every figure of the worked example refers to.
CurveFields WorkedFields(bool left = false) {
  CurveFields f;
  f.Text1 = "1000";
  f.Text2 = "2000";
  f.Text3 = "1116.0018";
  f.Text4 = "2116.0018";
  f.Text5 = "1003.5";
  f.Text6 = "30.0000";
  f.Text7 = "500";
  f.Text8 = "60";
  f.Text10 = "5";
  f.Option1 = left;
  return f;
}

// Puts JD where the curve of the fields needs it: at T from ZH along the first tangent
// (45 degrees), so that the exit transition, set out backward from JD, meets the arc.
CurveFields WithTrueJd(CurveFields f) {
  CurveFields probe = f;
  const CurveStationsResult c = ComputeCurveStations(ReadCurveInput(probe).input);
  const double a0 = 45 * survey::SurveyPi / 180;
  const double T = c.elements.T;
  char text[64];
  std::snprintf(text, sizeof text, "%.10f", 1000 + T * std::cos(a0));
  f.Text3 = text;
  std::snprintf(text, sizeof text, "%.10f", 2000 + T * std::sin(a0));
  f.Text4 = text;
  return f;
}

CurveCoordInput Read(const CurveFields& f) {
  const InputReading r = ReadCurveInput(f);
  EXPECT_EQ(r.refusal, InputRefusal::None);
  return r.input;
}

std::vector<std::string> Stations(const std::vector<StakePoint>& rows) {
  std::vector<std::string> out;
  for (const StakePoint& p : rows) out.push_back(StationText(p));
  return out;
}

const StakePoint& Row(const std::vector<StakePoint>& rows, const std::string& station) {
  for (const StakePoint& p : rows) {
    if (StationText(p) == station) return p;
  }
  ADD_FAILURE() << "no row " << station;
  return rows.front();
}

void ExpectPoint(const std::optional<PlanePoint>& p, double x, double y) {
  ASSERT_TRUE(p.has_value());
  EXPECT_DOUBLE_EQ(p->x, x);
  EXPECT_DOUBLE_EQ(p->y, y);
}
void ExpectPoint(const PlanePoint& p, double x, double y) { ExpectPoint(std::optional<PlanePoint>(p), x, y); }

TEST(CurveStations, WorkedExampleElementsAndMainPoints) {
  const CurveStationsResult c = ComputeCurveStations(Read(WorkedFields()));
  EXPECT_DOUBLE_EQ(c.elements.p, 0.3);
  EXPECT_DOUBLE_EQ(c.elements.q, 29.9964);
  EXPECT_EQ(PlainNumberText(c.elements.T), "164.0514");
  EXPECT_EQ(PlainNumberText(c.elements.L), "321.7994");
  EXPECT_NEAR(c.elements.beta0, 3.43774677, 5e-9);
  EXPECT_EQ(PlainNumberText(c.stations.ZH), "1003.5");
  EXPECT_EQ(PlainNumberText(c.stations.HY), "1063.5");
  EXPECT_EQ(PlainNumberText(c.stations.QZ), "1164.4");
  EXPECT_EQ(PlainNumberText(c.stations.YH), "1265.299");
  EXPECT_EQ(PlainNumberText(c.stations.HZ), "1325.299");
  EXPECT_EQ(c.stations.F, 1010.0f);
  EXPECT_EQ(c.stations.rHY, 1060.0f);
  EXPECT_EQ(c.stations.rQZ, 1160.0f);
  EXPECT_EQ(c.stations.rYH, 1260.0f);
  EXPECT_EQ(c.stations.rHZ, 1320.0f);
  EXPECT_FALSE(c.stations.PlainCircle());
}

TEST(CurveStations, ShiftAndOffsetRoundHalfToEvenAtFourDecimals) {
  // Ls 1, R 0.25: p = 1/6 = 0.16666.. -> 0.1667; q = 0.5 - 1/15 = 0.43333.. -> 0.4333.
  CurveFields f = WorkedFields();
  f.Text7 = "0.25";
  f.Text8 = "1";
  const CurveStationsResult c = ComputeCurveStations(Read(f));
  EXPECT_DOUBLE_EQ(c.elements.p, 0.1667);
  EXPECT_DOUBLE_EQ(c.elements.q, 0.4333);
  // Ls 3, R 1.5: p = 9/36 = 0.25 exactly; q = 1.5 - 27/540 = 1.45 exactly: nothing to round.
  f.Text7 = "1.5";
  f.Text8 = "3";
  const CurveStationsResult d = ComputeCurveStations(Read(f));
  EXPECT_DOUBLE_EQ(d.elements.p, 0.25);
  EXPECT_DOUBLE_EQ(d.elements.q, 1.45);
}

TEST(TransitionXY, SeriesStopsAfterTheFirstSmallPair) {
  TransitionPoint t = TransitionXY(100, 500 * 100);
  EXPECT_EQ(t.pairs, 3);
  EXPECT_NEAR(t.x, 99.90005, 5e-6);
  EXPECT_NEAR(t.y, 3.33095, 5e-6);
  t = TransitionXY(100, 200 * 100);
  EXPECT_EQ(t.pairs, 4);
  EXPECT_NEAR(t.x, 99.37681, 5e-6);
  EXPECT_NEAR(t.y, 8.29620, 5e-6);
  t = TransitionXY(0, 30000);
  EXPECT_EQ(t.pairs, 1);
  EXPECT_EQ(t.x, 0);
  EXPECT_EQ(t.y, 0);
}

TEST(TransitionXY, DivergentInputEndsInsteadOfLooping) {
  // A clothoid parameter far too small for the length: the terms grow without bound.
  const TransitionPoint t = TransitionXY(364, 0.001);
  EXPECT_GT(t.pairs, 1);
  EXPECT_FALSE(std::isfinite(t.x) && std::isfinite(t.y) && std::fabs(t.x) < 1e6);
}

TEST(Ybc, ChordAndHalfAngle) {
  const ArcChord a = ybc(100, 500);
  EXPECT_DOUBLE_EQ(a.c, (100.0 * 90) / (500 * 3.1415926));
  EXPECT_NEAR(a.chord, 2 * 500 * std::sin(100.0 / 1000), 1e-9);
  EXPECT_EQ(ybc(0, 500).chord, 0);
}

TEST(CurveStakes, WorkedRightTurn) {
  const std::vector<StakePoint> rows = BuildCurveStakes(Read(WorkedFields()));
  ASSERT_EQ(rows.size(), 37u);
  const std::vector<std::string> expected = {
      "1003.5", "1010", "1020", "1030", "1040", "1050", "1060", "1063.5", "1070", "1080", "1090", "1100", "1110",
      "1120", "1130", "1140", "1150", "1160", "1164.4", "1170", "1180", "1190", "1200", "1210", "1220", "1230",
      "1240", "1250", "1260", "1265.299", "1270", "1280", "1290", "1300", "1310", "1320", "1325.299"};
  EXPECT_EQ(Stations(rows), expected);
  EXPECT_EQ(rows[0].kind, StakeKind::ZH);
  EXPECT_EQ(rows[7].kind, StakeKind::HY);
  EXPECT_EQ(rows[18].kind, StakeKind::QZ);
  EXPECT_EQ(rows[29].kind, StakeKind::YH);
  EXPECT_EQ(rows[36].kind, StakeKind::HZ);

  const StakePoint& zh = rows[0];
  ExpectPoint(zh.left, 1003.536, 1996.465);
  ExpectPoint(zh.centre, 1000, 2000);
  ExpectPoint(zh.right, 996.465, 2003.536);
  const StakePoint& s1010 = Row(rows, "1010");
  ExpectPoint(s1010.left, 1008.133, 2001.064);
  ExpectPoint(s1010.centre, 1004.595, 2004.597);
  ExpectPoint(s1010.right, 1001.057, 2008.13);
  const StakePoint& hy = Row(rows, "1063.5");
  ExpectPoint(hy.left, 1045.304, 2039.942);
  ExpectPoint(hy.centre, 1041.563, 2043.259);
  ExpectPoint(hy.right, 1037.822, 2046.576);
  ExpectPoint(Row(rows, "1070").centre, 1045.844, 2048.15);
  ExpectPoint(Row(rows, "1164.4").centre, 1100.458, 2124.976);
  ExpectPoint(Row(rows, "1265.299").centre, 1141.779, 2216.839);
  const StakePoint& hz = rows.back();
  ExpectPoint(hz.left, 1163.291, 2273.169);
  ExpectPoint(hz.centre, 1158.461, 2274.463);
  ExpectPoint(hz.right, 1153.631, 2275.757);

  // HZ lies at T from JD along the second tangent (azimuth 75 degrees), to the millimetre.
  const double a2 = 75 * survey::SurveyPi / 180;
  EXPECT_NEAR(hz.centre.x, 1116.0018 + 164.0514 * std::cos(a2), 1.5e-3);
  EXPECT_NEAR(hz.centre.y, 2116.0018 + 164.0514 * std::sin(a2), 1.5e-3);
}

TEST(CurveStakes, LeftTurnMirrorsAboutTheFirstTangent) {
  const std::vector<StakePoint> right = BuildCurveStakes(Read(WorkedFields(false)));
  const std::vector<StakePoint> left = BuildCurveStakes(Read(WorkedFields(true)));
  ASSERT_EQ(left.size(), 37u);
  EXPECT_EQ(Stations(left), Stations(right));
  ExpectPoint(Row(left, "1063.5").centre, 1043.259, 2041.563);
  const StakePoint& hz = left.back();
  ExpectPoint(hz.centre, 1274.463, 2158.461);
  ExpectPoint(hz.left, 1275.757, 2153.631);
  ExpectPoint(hz.right, 1273.169, 2163.291);
  // The first tangent runs at 45 degrees through (1000, 2000): mirroring swaps the offsets from
  // it, and left and right swap too because they are taken facing along the stations.
  for (std::size_t i = 0; i < left.size(); ++i) {
    const PlanePoint a = left[i].centre;
    const PlanePoint b = right[i].centre;
    EXPECT_NEAR(a.x - 1000, b.y - 2000, 2.5e-3) << StationText(left[i]);
    EXPECT_NEAR(a.y - 2000, b.x - 1000, 2.5e-3) << StationText(left[i]);
    EXPECT_NEAR(left[i].left->x - 1000, right[i].right->y - 2000, 2.5e-3) << StationText(left[i]);
  }
}

TEST(CurveStakes, SideStakesLieLeftAndRightFacingAlongTheStations) {
  for (bool turnLeft : {false, true}) {
    const std::vector<StakePoint> rows = BuildCurveStakes(Read(WorkedFields(turnLeft)));
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
      const PlanePoint c = rows[i].centre;
      const PlanePoint n = rows[i + 1].centre;
      // With x north and y east, the left side of a direction (dx, dy) is where the cross
      // product dx * (py - cy) - dy * (px - cx) is negative.
      const auto side = [&](const PlanePoint& p) { return (n.x - c.x) * (p.y - c.y) - (n.y - c.y) * (p.x - c.x); };
      EXPECT_LT(side(*rows[i].left), 0) << StationText(rows[i]);
      EXPECT_GT(side(*rows[i].right), 0) << StationText(rows[i]);
      EXPECT_NEAR(std::hypot(rows[i].left->x - c.x, rows[i].left->y - c.y), 5, 1.5e-3);
    }
  }
}

TEST(CurveStakes, CentresFollowTheCurveWithoutJumps) {
  // Consecutive centres are one chord apart: barely shorter than the station difference.
  // A wrong segment formula, origin or sense shows up as a jump here.
  for (bool turnLeft : {false, true}) {
    const std::vector<StakePoint> rows = BuildCurveStakes(Read(WorkedFields(turnLeft)));
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
      const double ds = rows[i + 1].station - rows[i].station;
      const double d = std::hypot(rows[i + 1].centre.x - rows[i].centre.x, rows[i + 1].centre.y - rows[i].centre.y);
      EXPECT_NEAR(d, ds, 3e-3) << StationText(rows[i + 1]);
    }
  }
}

TEST(CurveStakes, DefaultDataPlainCircle) {
  CurveFields f;
  std::vector<StakePoint> rows = BuildCurveStakes(Read(f));
  ASSERT_EQ(rows.size(), 125u);
  EXPECT_EQ(StationText(rows[0]), "875.262");
  ExpectPoint(rows[0].centre, 46722.855, -7619.616);
  EXPECT_FALSE(rows[0].left.has_value());
  EXPECT_FALSE(rows[0].right.has_value());
  EXPECT_EQ(StationText(rows[1]), "880");
  EXPECT_EQ(StationText(rows[2]), "890");
  EXPECT_EQ(StationText(rows.back()), "2095.896");
  EXPECT_EQ(rows.back().kind, StakeKind::HZ);
  // QZ stands between 1480 and 1490.
  const std::vector<std::string> st = Stations(rows);
  const auto qz = std::find(st.begin(), st.end(), "1485.579");
  ASSERT_NE(qz, st.end());
  EXPECT_EQ(*(qz - 1), "1480");
  EXPECT_EQ(*(qz + 1), "1490");
  for (const StakePoint& p : rows) {
    EXPECT_FALSE(p.left.has_value());
    EXPECT_FALSE(p.right.has_value());
  }

  f.Text10 = "5";
  rows = BuildCurveStakes(Read(f));
  ASSERT_EQ(rows.size(), 125u);
  ExpectPoint(rows[0].left, 46720.165, -7623.831);
  ExpectPoint(rows[0].centre, 46722.855, -7619.616);
  ExpectPoint(rows[0].right, 46725.545, -7615.401);
  ExpectPoint(rows[1].left, 46724.138, -7626.377);
  ExpectPoint(rows[1].centre, 46726.844, -7622.172);
  ExpectPoint(rows[1].right, 46729.55, -7617.967);

  // A negative offset gives no side stakes either.
  f.Text10 = "-5";
  rows = BuildCurveStakes(Read(f));
  EXPECT_FALSE(rows[1].left.has_value());
}

// The rows' stations never go back, every main point is listed exactly once, and every whole
// 10 m station between ZH and HZ is listed unless it is a main point.
void ExpectWellFormedList(const CurveCoordInput& in) {
  const CurveStationsResult c = ComputeCurveStations(in);
  const std::vector<StakePoint> rows = BuildCurveStakes(in);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].kind, StakeKind::ZH);
  int mains[7] = {};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ++mains[static_cast<int>(rows[i].kind)];
    if (i > 0) {
      EXPECT_LE(rows[i - 1].station, rows[i].station) << StationText(rows[i]);
      if (rows[i].kind == StakeKind::Whole) {
        EXPECT_LT(rows[i - 1].station, rows[i].station);
      }
    }
  }
  const bool plain = c.stations.PlainCircle();
  EXPECT_EQ(mains[static_cast<int>(StakeKind::HY)], plain ? 0 : 1);
  EXPECT_EQ(mains[static_cast<int>(StakeKind::QZ)], 1);
  EXPECT_EQ(mains[static_cast<int>(StakeKind::YH)], plain ? 0 : 1);
  EXPECT_EQ(mains[static_cast<int>(StakeKind::HZ)], 1);
  int whole = 0;
  for (float s = c.stations.F; s <= c.stations.HZ; s += 10) {
    if (s != c.stations.HY && s != c.stations.QZ && s != c.stations.YH && s != c.stations.HZ) ++whole;
  }
  EXPECT_EQ(mains[static_cast<int>(StakeKind::Whole)], whole);
  // The geometry stays continuous across every segment boundary.
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
    const double ds = rows[i + 1].station - rows[i].station;
    const double d = std::hypot(rows[i + 1].centre.x - rows[i].centre.x, rows[i + 1].centre.y - rows[i].centre.y);
    EXPECT_NEAR(d, ds, 3e-3) << StationText(rows[i + 1]);
  }
}

TEST(CurveStakes, MainPointOnAWholeStationIsListedOnce) {
  CurveFields f = WorkedFields();
  f.Text5 = "1000";  // ZH on a whole station; HY = 1060 is one too
  const CurveCoordInput in = Read(f);
  const std::vector<StakePoint> rows = BuildCurveStakes(in);
  const std::vector<std::string> st = Stations(rows);
  ASSERT_GE(st.size(), 9u);
  EXPECT_EQ(st[0], "1000");
  EXPECT_EQ(st[1], "1010");
  EXPECT_EQ(st[6], "1060");
  EXPECT_EQ(rows[6].kind, StakeKind::HY);
  EXPECT_EQ(st[7], "1070");
  ExpectWellFormedList(in);
}

TEST(CurveStakes, PlainCircleWithQzAndHzOnWholeStations) {
  CurveFields f;
  f.Text1 = "0";
  f.Text2 = "0";
  f.Text3 = "100";
  f.Text4 = "0";
  f.Text5 = "1000";
  f.Text6 = "45";
  f.Text7 = "254.64790894703253";  // L = 200 m: QZ = 1100, HZ = 1200
  f.Text8 = "0";
  const CurveCoordInput in = Read(f);
  const CurveStationsResult c = ComputeCurveStations(in);
  ASSERT_EQ(c.stations.QZ, 1100.0f);
  ASSERT_EQ(c.stations.HZ, 1200.0f);
  const std::vector<StakePoint> rows = BuildCurveStakes(in);
  ASSERT_EQ(rows.size(), 21u);  // ZH, 1010 .. 1190, HZ
  EXPECT_EQ(StationText(rows[10]), "1100");
  EXPECT_EQ(rows[10].kind, StakeKind::QZ);
  EXPECT_EQ(StationText(rows[11]), "1110");
  EXPECT_EQ(StationText(rows[20]), "1200");
  EXPECT_EQ(rows[20].kind, StakeKind::HZ);
  ExpectWellFormedList(in);
}

TEST(CurveStakes, ShortSegments) {
  CurveFields f = WorkedFields();
  // Transition shorter than the step to the first whole station: ZH 1003.5, HY 1006.5 < 1010.
  f.Text8 = "3";
  f = WithTrueJd(f);
  ExpectWellFormedList(Read(f));
  const std::vector<StakePoint> rows = BuildCurveStakes(Read(f));
  EXPECT_EQ(StationText(rows[1]), "1006.5");
  EXPECT_EQ(rows[1].kind, StakeKind::HY);
  EXPECT_EQ(StationText(rows[2]), "1010");

  // QZ and YH in one 10 m bracket, and an arc shorter than 10 m: alpha barely above 2 beta0.
  f.Text8 = "60";
  f.Text6 = "7.0500";
  f = WithTrueJd(f);
  ExpectWellFormedList(Read(f));
  const CurveStationsResult c = ComputeCurveStations(Read(f));
  EXPECT_LT(c.stations.YH - c.stations.HY, 10.0f);
  EXPECT_EQ(c.stations.rQZ, c.stations.rYH);

  // Plain circles whose QZ and HZ share a bracket, with and without a whole station after ZH.
  f.Text8 = "0";
  f.Text7 = "1000";
  for (const char* alpha : {"0.14", "0.3", "0.0030"}) {
    f.Text6 = alpha;
    ExpectWellFormedList(Read(f));
  }
  f.Text6 = "0.14";
  const CurveStationsResult d = ComputeCurveStations(Read(f));
  EXPECT_EQ(d.stations.rQZ, d.stations.rHZ);
  const std::vector<StakePoint> tiny = BuildCurveStakes(Read(f));
  ASSERT_EQ(tiny.size(), 3u);
  EXPECT_EQ(tiny[1].kind, StakeKind::QZ);
  EXPECT_EQ(tiny[2].kind, StakeKind::HZ);

  // ZH on a whole station: the first stake after it is the next whole station.
  f.Text5 = "870";
  f.Text6 = "30";
  EXPECT_EQ(StationText(BuildCurveStakes(Read(f))[1]), "880");
}

TEST(CurveStakes, SizeCheck) {
  CurveFields f = WorkedFields();
  std::size_t rows = 0;
  EXPECT_EQ(CheckCurveSize(ComputeCurveStations(Read(f)).stations, &rows), CurveRefusal::None);
  EXPECT_EQ(rows, 37u);
  f.Text7 = "10000000";
  f.Text6 = "170";
  f.Text8 = "0";
  EXPECT_EQ(CheckCurveSize(ComputeCurveStations(Read(f)).stations), CurveRefusal::TooManyRows);
  f.Text7 = "1e300";
  EXPECT_EQ(CheckCurveSize(ComputeCurveStations(Read(f)).stations), CurveRefusal::NotFinite);
}

TEST(CurveStakes, FarStationsNeitherRepeatNorLoop) {
  // Beyond 2^27 m a float cannot step by 10; the list still ends and never goes back.
  CurveFields f;
  f.Text5 = "200000000";
  const std::vector<StakePoint> rows = BuildCurveStakes(Read(f));
  ASSERT_GT(rows.size(), 2u);
  ASSERT_LT(rows.size(), 200u);
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LE(rows[i - 1].station, rows[i].station);
}

TEST(CurveStakes, NegativeTransitionLengthStillEnds) {
  // Meaningless, but accepted by the fields: it must give a finite list, not a hang or crash.
  CurveFields f = WorkedFields();
  f.Text8 = "-60";
  const CurveCoordInput in = Read(f);
  EXPECT_EQ(CheckCurveSize(ComputeCurveStations(in).stations), CurveRefusal::None);
  EXPECT_LT(BuildCurveStakes(in).size(), 100u);
  EXPECT_TRUE(ComputeExtraStakePoint(in, 1100).has_value());
}

TEST(ExtraStake, MatchesTheListInsideEverySegment) {
  for (bool turnLeft : {false, true}) {
    const CurveCoordInput in = Read(WorkedFields(turnLeft));
    const std::vector<StakePoint> rows = BuildCurveStakes(in);
    for (const char* s : {"1030", "1063.5", "1070", "1164.4", "1250", "1290", "1320"}) {
      const StakePoint& listed = Row(rows, s);
      const std::optional<StakePoint> extra = ComputeExtraStakePoint(in, std::stod(s));
      ASSERT_TRUE(extra.has_value()) << s;
      EXPECT_EQ(extra->kind, StakeKind::Extra);
      ExpectPoint(extra->centre, listed.centre.x, listed.centre.y);
      ExpectPoint(extra->left, listed.left->x, listed.left->y);
      ExpectPoint(extra->right, listed.right->x, listed.right->y);
    }
  }
}

TEST(ExtraStake, BoundariesAndOutside) {
  const CurveCoordInput in = Read(WorkedFields());
  // ZH itself is computed (through the transition formula, which lands on the typed point).
  std::optional<StakePoint> p = ComputeExtraStakePoint(in, 1003.5);
  ASSERT_TRUE(p.has_value());
  ExpectPoint(p->centre, 1000, 2000);
  ExpectPoint(p->left, 1003.536, 1996.465);
  EXPECT_EQ(StationText(*p), "加桩1003.5");
  // HZ: the single value itself, and the shown text that is a hair below it.
  const float hz = ComputeCurveStations(in).stations.HZ;
  p = ComputeExtraStakePoint(in, hz);
  ASSERT_TRUE(p.has_value());
  ExpectPoint(p->centre, 1158.461, 2274.463);
  p = ComputeExtraStakePoint(in, 1325.299);
  ASSERT_TRUE(p.has_value());
  EXPECT_NEAR(p->centre.x, 1158.461, 2e-3);
  EXPECT_EQ(StationText(*p), "加桩1325.299");
  EXPECT_FALSE(ComputeExtraStakePoint(in, 1003.49).has_value());
  EXPECT_FALSE(ComputeExtraStakePoint(in, 1325.3).has_value());
  EXPECT_FALSE(ComputeExtraStakePoint(in, 0).has_value());
  EXPECT_FALSE(ComputeExtraStakePoint(in, -2000).has_value());
}

TEST(ExtraStake, ArcNeedsNoEarlierComputation) {
  // Between two whole stations of the arc: a point on the circle through its neighbours.
  const CurveCoordInput in = Read(WorkedFields());
  const std::optional<StakePoint> p = ComputeExtraStakePoint(in, 1100.5);
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(StationText(*p), "加桩1100.5");
  const std::vector<StakePoint> rows = BuildCurveStakes(in);
  const PlanePoint a = Row(rows, "1100").centre;
  EXPECT_NEAR(std::hypot(p->centre.x - a.x, p->centre.y - a.y), 0.5, 2e-3);
}

TEST(ExtraStake, PlainCircle) {
  CurveFields f;
  f.Text10 = "5";
  const CurveCoordInput in = Read(f);
  const std::vector<StakePoint> rows = BuildCurveStakes(in);
  const std::optional<StakePoint> p = ComputeExtraStakePoint(in, 880);
  ASSERT_TRUE(p.has_value());
  ExpectPoint(p->centre, 46726.844, -7622.172);
  ExpectPoint(p->left, 46724.138, -7626.377);
  EXPECT_EQ(StationText(*ComputeExtraStakePoint(in, 1000.5)), "加桩1000.5");
  EXPECT_FALSE(ComputeExtraStakePoint(in, 2095.9).has_value());
  EXPECT_TRUE(ComputeExtraStakePoint(in, 2095.896).has_value());
}

TEST(CurveInput, RefusesWhatCannotBeComputed) {
  auto refusal = [](auto change) {
    CurveFields f = WorkedFields();
    change(f);
    return ReadCurveInput(f).refusal;
  };
  EXPECT_EQ(refusal([](CurveFields&) {}), InputRefusal::None);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text1 = "1000a"; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text4 = "1,0"; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text6 = "abc"; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text7 = ""; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text8 = "six"; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text7 = "0"; }), InputRefusal::ZeroAngleOrRadius);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text6 = "0.0000"; }), InputRefusal::ZeroAngleOrRadius);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text6 = "-0"; }), InputRefusal::ZeroAngleOrRadius);
  // Ls * 90 must fit 16 bits: 364 is the longest transition, after rounding half to even.
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text8 = "364"; }), InputRefusal::None);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text8 = "364.5"; }), InputRefusal::None);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text8 = "364.51"; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text8 = "365"; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text8 = "-365"; }), InputRefusal::DataError);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text8 = "40000"; }), InputRefusal::DataError);
  // Lenient fields never refuse.
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text10 = "abc"; }), InputRefusal::None);
  EXPECT_EQ(refusal([](CurveFields& f) { f.Text9 = "abc"; }), InputRefusal::None);
}

TEST(CurveInput, ReadingRules) {
  CurveFields f = WorkedFields();
  f.Text8 = "60.5";
  EXPECT_EQ(ReadCurveInput(f).input.ls, 60);
  f.Text8 = "61.5";
  EXPECT_EQ(ReadCurveInput(f).input.ls, 62);
  f.Text8 = "";
  EXPECT_EQ(ReadCurveInput(f).input.ls, 0);
  f.Text10 = " 5 .5m";
  EXPECT_DOUBLE_EQ(ReadCurveInput(f).input.offset, 5.5);
  f.Text10 = "m5";
  EXPECT_EQ(ReadCurveInput(f).input.offset, 0);
  f.Text9 = " 1 000.5 ";
  EXPECT_DOUBLE_EQ(ReadExtraStation(f), 1000.5);
  f.Option1 = true;
  EXPECT_EQ(ReadCurveInput(f).input.turn, Turn::Left);
  f.Option1 = false;
  EXPECT_EQ(ReadCurveInput(f).input.turn, Turn::Right);
}

TEST(CurveEcho, DefaultAndWorkedValues) {
  CurveFields f;
  f.Text11 = "某某公路";
  f.Text12 = "张三";
  CurveCoordInput in = Read(f);
  CurveEcho e = MakeCurveEcho(f, in, ComputeCurveStations(in));
  EXPECT_EQ(e.varc, "某某公路");
  EXPECT_EQ(e.zbname, "张三");
  EXPECT_EQ(e.alf, " 55° 56′ 59″");
  EXPECT_EQ(e.zhydzh, " 875.262");
  EXPECT_EQ(e.zhydxy, "x: 46722.855  y:-7619.616");
  EXPECT_EQ(e.jdxy, "x: 47307.8854  y:-7992.9398");
  EXPECT_EQ(e.bzjl, "0");
  EXPECT_EQ(e.r, 1250);
  EXPECT_EQ(e.ls, 0);

  f = WorkedFields();
  in = Read(f);
  e = MakeCurveEcho(f, in, ComputeCurveStations(in));
  EXPECT_EQ(e.alf, " 30° 0′ 0″");
  EXPECT_EQ(e.tt, " 164.0514");
  EXPECT_EQ(e.zhydzh, " 1003.5");
  EXPECT_EQ(e.bzjl, "5");
  EXPECT_EQ(e.ls, 60);
}

}  // namespace
}  // namespace tallyfen
