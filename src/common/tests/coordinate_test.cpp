#include "common/coordinate.h"

#include <gtest/gtest.h>

#include "common/notation.h"

namespace survey {
namespace {

struct Shown {
  double d, m, s, distance;
};
Shown Inverse(double ax, double ay, double bx, double by) {
  const InverseResult r = zbfs(ax, ay, bx, by);
  const DmsCarried dms = SplitDmsWithCarry(r.azimuth);
  return {dms.d, dms.m, dms.s, RoundCoordinate(r.distance, 1000)};
}

TEST(RoundCoordinate, HalfGoesTowardPlusInfinity) {
  EXPECT_EQ(RoundCoordinate(1.0625, 1000), 1.063);
  EXPECT_EQ(RoundCoordinate(-1.0625, 1000), -1.062);
  EXPECT_EQ(RoundCoordinate(2.5, 1), 3);
  EXPECT_EQ(RoundCoordinate(-2.5, 1), -2);
}

TEST(Forward, AxisDirectionsRoundAwayTheConstantsNoise) {
  PlanePoint p = zbzs(0, 0, 0, 100);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 0);
  p = zbzs(0, 0, 90, 100);
  EXPECT_EQ(RoundCoordinate(p.x, 1000), 0);
  EXPECT_EQ(RoundCoordinate(p.y, 1000), 100);
  p = ForwardPoint(0, 0, 45, 100);
  EXPECT_EQ(RoundCoordinate(p.x, 1000), 70.711);
  EXPECT_EQ(RoundCoordinate(p.y, 1000), 70.711);
  const PlanePoint q = zbzs(0, 0, 30, 1);
  EXPECT_EQ(q.x, 0.866);
  EXPECT_EQ(q.y, 0.5);
}

TEST(Forward, TwoStepRounding) {
  // Stored to a tenth of a millimetre first, then shown to millimetres.
  const PlanePoint p = zbzs(1.23449, 0.00045, 0, 0);
  EXPECT_EQ(p.x, 1.2345);
  EXPECT_EQ(RoundCoordinate(p.x, 1000), 1.235);
  EXPECT_EQ(RoundCoordinate(1.23449, 1000), 1.234);
  EXPECT_EQ(p.y, 0.0005);
  EXPECT_EQ(RoundCoordinate(p.y, 1000), 0.001);
}

TEST(Inverse, DiagonalCarriesIntoWholeDegrees) {
  const InverseResult r = zbfs(0, 0, 1, 1);
  EXPECT_DOUBLE_EQ(r.azimuth, 44.99999999412422);
  const Shown s = Inverse(0, 0, 100, 100);
  EXPECT_EQ(s.d, 45);
  EXPECT_EQ(s.m, 0);
  EXPECT_EQ(s.s, 0);
  EXPECT_EQ(s.distance, 141.421);
}

TEST(Inverse, AxisCases) {
  Shown s = Inverse(0, 0, 0, 9);
  EXPECT_EQ(s.d, 90);
  EXPECT_EQ(s.distance, 9);
  s = Inverse(0, 0, 0, -9);
  EXPECT_EQ(s.d, 270);
  EXPECT_EQ(s.m, 0);
  EXPECT_EQ(s.distance, 9);
  s = Inverse(0, 0, -5, 0);
  EXPECT_EQ(s.d, 180);
  EXPECT_EQ(s.distance, 5);
  s = Inverse(0, 0, 5, 0);
  EXPECT_EQ(s.d, 0);
  EXPECT_EQ(s.distance, 5);
  s = Inverse(0, 9, 0, 10);
  EXPECT_EQ(s.d, 90);
  EXPECT_EQ(s.distance, 1);
  const InverseResult same = zbfs(3, 4, 3, 4);
  EXPECT_EQ(same.azimuth, 0);
  EXPECT_EQ(same.distance, 0);
}

TEST(Inverse, Quadrants) {
  EXPECT_EQ(Inverse(0, 0, -1, -1).d, 225);
  EXPECT_EQ(Inverse(0, 0, 1, -1).d, 315);
  EXPECT_EQ(Inverse(0, 0, -1, 1).d, 135);
  const Shown s = Inverse(0, 0, -1, -1);
  EXPECT_EQ(s.m, 0);
  EXPECT_EQ(s.s, 0);
}

TEST(Inverse, JustBelowFullCircleShows360) {
  const Shown s = Inverse(0, 0, 1000, -0.000001);
  EXPECT_EQ(s.d, 360);
  EXPECT_EQ(s.m, 0);
  EXPECT_EQ(s.s, 0);
  EXPECT_EQ(s.distance, 1000);
}

TEST(Inverse, DistanceDividesTheLargerComponent) {
  const InverseResult r = zbfs(0, 0, 3, 4);
  EXPECT_NEAR(r.distance, 5, 1e-12);
  EXPECT_GE(zbfs(0, 0, -3, -4).distance, 0);
}

TEST(SplitDmsWithCarry, CarriesSecondsAndMinutes) {
  const DmsCarried a = SplitDmsWithCarry(10.5);
  EXPECT_EQ(a.d, 10);
  EXPECT_EQ(a.m, 30);
  EXPECT_EQ(a.s, 0);
  const DmsCarried b = SplitDmsWithCarry(359.99999999);
  EXPECT_EQ(b.d, 360);
  EXPECT_EQ(b.m, 0);
  EXPECT_EQ(b.s, 0);
  const DmsCarried c = SplitDmsWithCarry(1 + 59.0 / 60 + 59.9999 / 3600);
  EXPECT_EQ(c.d, 2);
  EXPECT_EQ(c.m, 0);
}

}  // namespace
}  // namespace survey
