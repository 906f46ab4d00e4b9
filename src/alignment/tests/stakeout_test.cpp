#include "alignment/stakeout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "alignment/alignment_error.h"

namespace survey::alignment {
namespace {

constexpr double kDeg = std::numbers::pi / 180;

TEST(StakeoutTest, AnglesInEveryQuadrantFromEveryAxisBacksight) {
  // Station at (100, 100); stakes at 45 deg (NE), 135 (SE), 225 (SW), 315 (NW).
  const double stakes[4][2] = {{110, 110}, {90, 110}, {90, 90}, {110, 90}};
  struct Case { double bx, by; double angles[4]; };
  const Case cases[] = {
      {200, 100, {45, 135, 225, 315}},   // backsight north
      {100, 200, {315, 45, 135, 225}},   // east
      {0, 100, {225, 315, 45, 135}},     // south
      {100, 0, {135, 225, 315, 45}},     // west
  };
  for (const Case& c : cases) {
    const StakeoutStation station(100, 100, c.bx, c.by);
    for (int q = 0; q < 4; ++q) {
      SCOPED_TRACE(testing::Message() << "backsight " << c.bx << "," << c.by << " quadrant " << q);
      const StakeoutAim aim = station.Aim(stakes[q][0], stakes[q][1]);
      EXPECT_NEAR(aim.azimuth, (45 + 90 * q) * kDeg, 1e-12);
      EXPECT_NEAR(aim.angle, c.angles[q] * kDeg, 1e-12);
      EXPECT_NEAR(aim.distance, std::sqrt(200.0), 1e-12);
    }
  }
}

TEST(StakeoutTest, AnglesStayBelowAFullTurnAndRefusals) {
  const StakeoutStation station(0, 0, 3, 4);
  EXPECT_NEAR(station.BacksightAzimuth(), std::atan2(4.0, 3.0), 1e-15);
  EXPECT_EQ(station.Aim(6, 8).angle, 0.0);                   // on the backsight line
  EXPECT_NEAR(station.Aim(-6, -8).angle, std::numbers::pi, 1e-15);
  const StakeoutAim justLeft = station.Aim(6 + 1e-9, 8 - 1e-9);
  EXPECT_LT(justLeft.angle, 2 * std::numbers::pi);
  EXPECT_GT(justLeft.angle, 2 * std::numbers::pi - 1e-9);
  const StakeoutAim onStation = StakeoutStation(5, 5, 6, 6).Aim(5, 5);   // no direction
  EXPECT_EQ(onStation.distance, 0);
  EXPECT_EQ(onStation.angle, 0);
  EXPECT_THROW(StakeoutStation(1, 2, 1, 2), AlignmentError);
  EXPECT_THROW(StakeoutStation(NAN, 2, 1, 3), AlignmentError);
  EXPECT_THROW(StakeoutStation(1, 2, 1, INFINITY), AlignmentError);
}

}  // namespace
}  // namespace survey::alignment
