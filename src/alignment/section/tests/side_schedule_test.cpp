#include "alignment/section/side_schedule.h"

#include <gtest/gtest.h>

#include "alignment/tests/refusal.h"

namespace survey::alignment::section {
namespace {

std::vector<SideValuesRow> Rows(const char* csv) { return ReadWideningTable(csv, "w.csv"); }

TEST(SideSchedule, LinearBetweenRowsAndNothingOutside) {
  const StationLine stations(1000, {});
  const SideSchedule s(Rows("station,left,right\nK1+100,-2,-2\nK1+200,6,-6\nK1+300,6,-6\n"), stations, "s.csv");
  // Half way between -2/-2 and +6/-6.
  const auto mid = s.At(150);
  ASSERT_TRUE(mid);
  EXPECT_DOUBLE_EQ(mid->left, 2);
  EXPECT_DOUBLE_EQ(mid->right, -4);
  EXPECT_DOUBLE_EQ(s.At(125)->left, 0);
  EXPECT_DOUBLE_EQ(s.At(200)->left, 6);   // exactly on a row
  EXPECT_DOUBLE_EQ(s.At(300)->right, -6);  // the last row itself
  EXPECT_FALSE(s.At(99.999));
  EXPECT_FALSE(s.At(300.001));
}

TEST(SideSchedule, CubicWideningIsTheHighOrderTransitionCountedFromTheZeroRow) {
  const StationLine stations(0, {});
  // Widening 0 -> b on the way in, b -> 0 on the way out (b = 1.6 left, 0.8 right).
  const std::vector<SideValuesRow> rows = Rows("station,left,right\n0,0,0\n100,1.6,0.8\n200,1.6,0.8\n300,0,0\n");
  const SideSchedule linear(rows, stations, "w.csv");
  const SideSchedule cubic(rows, stations, "w.csv", Transition::Cubic);
  EXPECT_DOUBLE_EQ(linear.At(50)->left, 0.8);           // 0.5·b
  EXPECT_DOUBLE_EQ(cubic.At(50)->left, 0.3125 * 1.6);    // 0.3125·b
  EXPECT_DOUBLE_EQ(cubic.At(50)->right, 0.3125 * 0.8);
  // k = 0.25: 4/64 - 3/256 = 13/256.
  EXPECT_DOUBLE_EQ(cubic.At(25)->left, 1.6 * 13.0 / 256);
  // Way out: 25 m before the zero row k = 0.25 counted from it, the same 13/256·b.
  EXPECT_DOUBLE_EQ(cubic.At(275)->left, 1.6 * 13.0 / 256);
  EXPECT_DOUBLE_EQ(cubic.At(150)->left, 1.6);
  EXPECT_DOUBLE_EQ(CubicTransition(0), 0);
  EXPECT_DOUBLE_EQ(CubicTransition(1), 1);
}

TEST(SideSchedule, RowsArePositionsAlongTheRouteAcrossAnEquation) {
  // K1+150 = K1+200: the stations K1+150..K1+200 do not exist.
  const StationLine stations(1000, {{1150, 1200}}, 1000);
  const SideSchedule s(Rows("station,left,right\nK1+100,-2,-2\nK1+250,6,-6\n"), stations, "s.csv");
  // K1+100 is chainage 100, K1+250 chainage 200: half way in length is chainage 150 (K1+200),
  // not the station half way (K1+175, chainage 125).
  EXPECT_DOUBLE_EQ(s.At(150)->left, 2);
  EXPECT_DOUBLE_EQ(s.At(150)->right, -4);
  EXPECT_DOUBLE_EQ(s.At(125)->left, 0);
}

TEST(SideSchedule, RefusesRowsOffTheRouteOrOutOfOrder) {
  const StationLine stations(1000, {{1150, 1200}}, 1000);  // K1+000 .. K2+050
  const auto refusal = [&](const char* rows) {
    return RefusalOf([&] { SideSchedule(Rows((std::string("station,left,right\n") + rows).c_str()), stations, "super.csv"); });
  };
  EXPECT_EQ(refusal("K1+100,0,0\nK1+090,0,0\n"), "“super.csv” 第 3 行：桩号 K1+090 不在上一行之后：各行须按桩号顺序沿路线排列。");
  EXPECT_EQ(refusal("K1+100,0,0\nK1+100,1,1\n"), "“super.csv” 第 3 行：桩号 K1+100 不在上一行之后：各行须按桩号顺序沿路线排列。");
  EXPECT_EQ(refusal("K1+170,0,0\n"), "“super.csv” 第 2 行：桩号 K1+170 落在断链的空缺中，路线上没有这个桩号。");
  EXPECT_EQ(refusal("999.9,0,0\n"), "“super.csv” 第 2 行：桩号 999.9 不在路线上。");
  EXPECT_EQ(refusal("K1+000,0,0\nK2+050.01,0,0\n"), "“super.csv” 第 3 行：桩号 K2+050.01 不在路线上。");
  EXPECT_EQ(refusal("K1+000,0,0\nK2+050,0,0\n"), "(accepted)");
  // An equation that reads stations twice (K1+150 = K1+100): a row at K1+130 is the position
  // after it (chainage 180), so K1+140 before it along the route would be out of order.
  const StationLine twice(1000, {{1150, 1100}}, 1000);
  const SideSchedule folded(Rows("station,left,right\nK1+050,0,0\nK1+130,2,2\n"), twice, "s.csv");
  EXPECT_DOUBLE_EQ(folded.Chainages()[1], 180);
  EXPECT_DOUBLE_EQ(folded.At(115)->left, 1);
}

}  // namespace
}  // namespace survey::alignment::section
