// Slope staking on hand-worked numbers: the edge of a flat section at offset ±5.0, elevation
// 50.000, fill 1:1.5 and cut 1:1 on the right, fill 1:2 and cut 1:0.75 on the left.
#include "alignment/section/slopes.h"

#include <gtest/gtest.h>

#include "alignment/tests/refusal.h"

namespace survey::alignment::section {
namespace {

constexpr double kEps = 1e-9;

TEST(SlopeStake, CaseTable) {
  struct Case {
    const char* what;
    double offset, z;
    SlopeKind kind;
    double catchOffset, move, slopeElevation, slopeDz;
    bool atCatch;
  };
  const Case cases[] = {
      // 2 m beyond the edge, 1.5 m below it, fill 1:1.5: catch 5 + 2.25, move +0.25 outward;
      // the slope there is 50 − 2/1.5.
      {"fill, move out", 7.0, 48.5, SlopeKind::Fill, 7.25, 0.25, 50 - 2 / 1.5, 48.5 - (50 - 2 / 1.5), false},
      // 3 m beyond, 1 m below: catch 6.5, move 0.5 toward the centreline.
      {"fill, move in", 8.0, 49.0, SlopeKind::Fill, 6.5, -1.5, 48.0, 1.0, false},
      // Cut 1:1, 2 m beyond, 1.2 m above: catch at 6.2, move −0.8; slope 52.0 there.
      {"cut", 7.0, 51.2, SlopeKind::Cut, 6.2, -0.8, 52.0, -0.8, false},
      // Exactly on the catch point of the fill slope.
      {"at catch", 8.0, 48.0, SlopeKind::Fill, 8.0, 0.0, 48.0, 0.0, true},
      // Left side (negative offset): fill 1:2, 1 m below, 1.99 m beyond → catch 7, move 0.01.
      {"left within 0.01", -6.99, 49.0, SlopeKind::Fill, 7.0, 0.0, 50 - 1.99 / 2, 49.0 - (50 - 1.99 / 2), true},
      // Left cut 1:0.75: 2 m above → catch 6.5; at 6.48 move +0.02 is still to do.
      {"left cut beyond 0.01", -6.48, 52.0, SlopeKind::Cut, 6.5, 0.02, 50 + 1.48 / 0.75, 52 - (50 + 1.48 / 0.75), false},
  };
  for (const Case& c : cases) {
    const double edge = c.offset < 0 ? -5.0 : 5.0;
    const double fill = c.offset < 0 ? 2.0 : 1.5, cut = c.offset < 0 ? 0.75 : 1.0;
    const SlopeStake s = StakeSlopeFromEdge(edge, 50.0, fill, cut, c.offset, c.z);
    EXPECT_EQ(s.kind, c.kind) << c.what;
    EXPECT_NEAR(s.catchOffset, c.catchOffset, kEps) << c.what;
    EXPECT_NEAR(s.move, c.move, kEps) << c.what;
    EXPECT_NEAR(s.slopeElevation, c.slopeElevation, kEps) << c.what;
    EXPECT_NEAR(s.slopeDz, c.slopeDz, kEps) << c.what;
    EXPECT_EQ(s.atCatch, c.atCatch) << c.what;
  }
}

TEST(SlopeStake, OnlyBeyondTheEdgeOfItsSide) {
  // A flat 5 m lane each side at the design line's 0 elevation.
  TypicalSection t;
  t.left = {{"行车道", 5, 0, true, true, false, 2}};
  t.right = {{"行车道", 5, 0, true, true, false, 3}};
  SectionTables tables;
  tables.section = t;
  const StationLine stations(0, {}, 1000);
  const SectionModel model(tables, stations);
  const CrossSection at = model.At(100, 50.0);
  SideSlopes slopes;
  slopes.ratio[0][0] = slopes.ratio[1][0] = 1.5;
  slopes.ratio[0][1] = slopes.ratio[1][1] = 1;
  EXPECT_FALSE(StakeSlope(at, slopes, 4.99, 48.0).has_value());
  EXPECT_FALSE(StakeSlope(at, slopes, -5.0, 48.0).has_value());  // the edge itself is surface
  const std::optional<SlopeStake> right = StakeSlope(at, slopes, 7.0, 48.5);
  ASSERT_TRUE(right.has_value());
  EXPECT_NEAR(right->move, 0.25, kEps);
  EXPECT_NEAR(right->edgeOffset, 5.0, kEps);
  const std::optional<SlopeStake> left = StakeSlope(at, slopes, -7.0, 48.5);
  ASSERT_TRUE(left.has_value());
  EXPECT_NEAR(left->edgeOffset, -5.0, kEps);
  EXPECT_NEAR(left->catchOffset, 7.25, kEps);
}

TEST(SideSlopesTable, ReadsChineseNamesAndRefusesWithTheLine) {
  const SideSlopes s = ReadSideSlopes("侧,类型,坡率\n左,填,1.5\n左,挖方,0.75\nright,fill,2\nR,Cut,1\n", "slopes.csv");
  EXPECT_DOUBLE_EQ(s.Ratio(Side::Left, SlopeKind::Fill), 1.5);
  EXPECT_DOUBLE_EQ(s.Ratio(Side::Left, SlopeKind::Cut), 0.75);
  EXPECT_DOUBLE_EQ(s.Ratio(Side::Right, SlopeKind::Fill), 2);
  EXPECT_DOUBLE_EQ(s.Ratio(Side::Right, SlopeKind::Cut), 1);
  const std::string head = "side,kind,ratio\n";
  const std::string full = "left,fill,1.5\nleft,cut,1\nright,fill,1.5\n";
  struct Bad {
    std::string text, message;
  };
  const Bad bad[] = {
      {head + full + "right,cut,0\n", "“s.csv” 第 5 行：坡率 应为"},
      {head + full + "right,cut,nan\n", "“s.csv” 第 5 行："},
      {head + full + "right,cut,abc\n", "“s.csv” 第 5 行："},
      {head + full + "right,up,1\n", "“s.csv” 第 5 行：类型“up”应为 fill 或 cut"},
      {head + full + "middle,cut,1\n", "“s.csv” 第 5 行：侧“middle”"},
      {head + full + "right,cut,1\nright,挖,2\n", "“s.csv” 第 6 行：右侧挖方坡率已在第 5 行给出。"},
      {head + full, "“s.csv” 缺少右侧挖方（cut）坡率"},
  };
  for (const Bad& b : bad) EXPECT_NE(RefusalOf([&] { ReadSideSlopes(b.text, "s.csv"); }).find(b.message), std::string::npos)
      << RefusalOf([&] { ReadSideSlopes(b.text, "s.csv"); });
}

}  // namespace
}  // namespace survey::alignment::section
