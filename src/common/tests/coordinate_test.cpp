#include "common/coordinate.h"

#include <gtest/gtest.h>

#include <tuple>

namespace survey {
namespace {

TEST(Forward, HalvesGoTowardPlusInfinity) {
  const double cases[][3] = {{1.0625, 1000, 1.063}, {-1.0625, 1000, -1.062}, {2.5, 1, 3}, {-2.5, 1, -2},
                             {1.23449, 1000, 1.234}, {1.23449, 10000, 1.2345}};
  for (const auto& c : cases) EXPECT_EQ(RoundCoordinate(c[0], c[1]), c[2]) << c[0];
  // zbzs stores tenths of a millimetre, the callers show millimetres of that: two roundings.
  const double forward[][6] = {
      // ax, ay, fwj, bc -> x, y shown
      {0, 0, 0, 100, 100, 0}, {0, 0, 90, 100, 0, 100}, {0, 0, 45, 100, 70.711, 70.711}, {0, 0, 30, 1, 0.866, 0.5},
      {1.23449, 0.00045, 0, 0, 1.235, 0.001}, {100, 200, 210, 50, 56.699, 175}, {-5, 5, 300.5, 12.3456, 1.266, -5.637},
  };
  for (const auto& c : forward) {
    const PlanePoint p = zbzs(c[0], c[1], c[2], c[3]);
    EXPECT_EQ(std::pair(RoundCoordinate(p.x, 1000), RoundCoordinate(p.y, 1000)), std::pair(c[4], c[5])) << c[2];
  }
}

// Azimuths as shown (whole degrees, minutes and seconds with carry) and distances in mm.
TEST(Inverse, ShownAzimuthAndDistance) {
  const double cases[][8] = {
      // ax, ay, bx, by -> d, m, s, distance
      {0, 0, 100, 100, 45, 0, 0, 141.421}, {0, 0, 0, 9, 90, 0, 0, 9},      {0, 0, 0, -9, 270, 0, 0, 9},
      {0, 0, -5, 0, 180, 0, 0, 5},         {0, 0, 5, 0, 0, 0, 0, 5},       {0, 9, 0, 10, 90, 0, 0, 1},
      {0, 0, -1, -1, 225, 0, 0, 1.414},    {0, 0, 1, -1, 315, 0, 0, 1.414}, {0, 0, -1, 1, 135, 0, 0, 1.414},
      {0, 0, 1000, -0.000001, 360, 0, 0, 1000},  // just below a full circle
      {3, 4, 3, 4, 0, 0, 0, 0},            {0, 0, 3, 4, 53, 7, 48, 5},     {0, 0, -3, -4, 233, 7, 48, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[2] << ", " << c[3]);
    const InverseResult r = zbfs(c[0], c[1], c[2], c[3]);
    const DmsCarried dms = SplitDmsWithCarry(r.azimuth);
    EXPECT_EQ(std::tuple(dms.d, dms.m, dms.s, RoundCoordinate(r.distance, 1000)), std::tuple(c[4], c[5], c[6], c[7]));
  }
  EXPECT_DOUBLE_EQ(zbfs(0, 0, 1, 1).azimuth, 44.99999999412422);
  const double carried[][4] = {{10.5, 10, 30, 0}, {359.99999999, 360, 0, 0}, {1 + 59.0 / 60 + 59.9999 / 3600, 2, 0, 0}};
  for (const auto& c : carried) {
    const DmsCarried dms = SplitDmsWithCarry(c[0]);
    EXPECT_EQ(std::tuple(dms.d, dms.m, dms.s), std::tuple(c[1], c[2], c[3])) << c[0];
  }
}

}  // namespace
}  // namespace survey
