// Slope staking on locate and the check command, on a straight route north from (1000, 2000)
// with a profile rising 1 % from 49.00 and a flat-ish two-lane section; the numbers are
// worked by hand in the comments.
#include <gtest/gtest.h>

#include "alignment/tests/batch_fixture.h"

namespace survey::alignment {
namespace {

class CheckCommands : public BatchFixture {
 protected:
  void SetUp() override {
    // Each side: lane 3.5 at −2 %, shoulder 0.75 at −4 %: edge at ±4.25, 0.07 + 0.03 = 0.10 below the line.
    AddStraightRouteWithSection();
    files["slopes.csv"] = "侧,类型,坡率\n左,填,1.5\n左,挖,1\n右,填,1.5\n右,挖,1\n";
  }
};

TEST_F(CheckCommands, LocateStakesTheSlopesBeyondTheEdge) {
  // At K0+150 the line is at 50.50, the edges at ±4.25 at 50.40.
  //  F: 2 m beyond the right edge, 1.5 below it → catch 4.25 + 2.25 = 6.50, move +0.25;
  //     slope there 50.40 − 2/1.5 = 49.0667, slope_dz −0.1667, fill_cut +0.1667.
  //  C: on the left edge itself, 0.8 above it: still the surface (section_dz), no slope stake.
  //  K: at the catch point of a 1 m fill on the left: −(4.25 + 1.5) = −5.75, z 49.40.
  //  S: on the surface 2 m right (50.46): no slope columns, fill_cut 50.46 − 50.50.
  //  O: before the start of the route, E beyond its end: nothing.
  files["points.csv"] =
      "name,x,y,z\nF,1150,2006.25,48.9\nC,1150,1995.75,51.2\nK,1150,1994.25,49.4\nS,1150,2002,50.5\nO,990,2000,49\n"
      "E,2010,2008,49\n";
  const auto r = Run({"locate", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv", "--slopes",
                      "slopes.csv", "--points", "points.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "name,x,y,station,offset,status,grade_elevation,elevation,grade,dz,section_elevation,section_dz,"
            "kind,catch_offset,move,slope_elevation,slope_dz,slope_status,fill_cut\n"
            "F,1150.000,2006.250,150.000,6.250,ok,50.500,50.500,1.0000,-1.600,,,fill,6.500,0.250,49.067,-0.167,move,0.167\n"
            "C,1150.000,1995.750,150.000,-4.250,ok,50.500,50.500,1.0000,0.700,50.400,0.800,,,,,,,-0.800\n"
            "K,1150.000,1994.250,150.000,-5.750,ok,50.500,50.500,1.0000,-1.100,,,fill,5.750,0.000,49.400,0.000,catch,0.000\n"
            "S,1150.000,2002.000,150.000,2.000,ok,50.500,50.500,1.0000,0.000,50.460,0.040,,,,,,,-0.040\n"
            "O,990.000,2000.000,,,outside,,,,,,,,,,,,,\n"
            "E,2010.000,2008.000,,,outside,,,,,,,,,,,,,\n");
}

TEST_F(CheckCommands, LocateCutCase) {
  // 1 m beyond the left edge (−5.25), 0.8 above it: cut 1:1 → catch 5.05, move −0.20; slope 51.40.
  files["p.csv"] = "name,x,y,z\nC,1150,1994.75,51.2\n";
  const auto cut = Run({"locate", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv", "--slopes",
                        "slopes.csv", "--points", "p.csv"});
  ASSERT_EQ(cut.status, 0) << cut.err;
  EXPECT_EQ(Lines(cut.out).at(1),
            "C,1150.000,1994.750,150.000,-5.250,ok,50.500,50.500,1.0000,0.700,,,cut,5.050,-0.200,51.400,-0.200,move,0.200");
}

TEST_F(CheckCommands, CheckReportsDeviationsAndTheSummary) {
  // Design at K0+100 (profile 50.00): line 50.00, 2 m right 49.96.
  //  A: at the upper limit +0.010 → pass; B: at the lower limit −0.015 → pass;
  //  C: −0.016 → fail; D: meant for K0+100 +2, measured 0.04 north, 0.03 east → 0.05 passes
  //  (design at K0+100.04 +2.03: 50.0004 − 0.0406 = 49.9598, dz +0.0052);
  //  E: 0.06 off → fail; O: off the route.
  files["asbuilt.csv"] =
      "点名,X,Y,Z,桩号,偏距\nA,1100,2000,50.010,,\nB,1100,2000,49.985,,\nC,1100,2000,49.984,,\n"
      "D,1100.04,2002.03,49.965,K0+100,2\nE,1100.06,2002,49.960,K0+100,2\nO,990,2000,49,,\n";
  const auto r = Run({"check", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv", "--points",
                      "asbuilt.csv", "--tolerance-z", "+0.010/-0.015"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "name,x,y,z,station,offset,design_z,dz,fill_cut,d_along,d_across,d_xy,result\n"
            "A,1100.000,2000.000,50.010,100.000,0.000,50.000,0.010,-0.010,,,,pass\n"
            "B,1100.000,2000.000,49.985,100.000,0.000,50.000,-0.015,0.015,,,,pass\n"
            "C,1100.000,2000.000,49.984,100.000,0.000,50.000,-0.016,0.016,,,,fail\n"
            "D,1100.040,2002.030,49.965,100.040,2.030,49.960,0.005,-0.005,0.040,0.030,0.050,pass\n"
            "E,1100.060,2002.000,49.960,100.060,2.000,49.961,-0.001,0.001,0.060,0.000,0.060,fail\n"
            "O,990.000,2000.000,49.000,,,,,,,,,outside\n"
            "# 共 6 点，合格 3 点，不合格 3 点；最大高程偏差 -0.016 m（C）；最大平面偏差 0.060 m（E）。\n");
  // Without --section the design is the profile on the design line; the default ±0.01.
  files["line.csv"] = "name,x,y,z\nA,1100,2000,50.010\nB,1100,2000,49.989\n";
  const auto plain = Run({"check", "--jd", "jd.csv", "--profile", "profile.csv", "--points", "line.csv"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out,
            "name,x,y,z,station,offset,design_z,dz,fill_cut,result\n"
            "A,1100.000,2000.000,50.010,100.000,0.000,50.000,0.010,-0.010,pass\n"
            "B,1100.000,2000.000,49.989,100.000,0.000,50.000,-0.011,0.011,fail\n"
            "# 共 2 点，合格 1 点，不合格 1 点；最大高程偏差 -0.011 m（B）。\n");
}

TEST_F(CheckCommands, Refusals) {
  const std::vector<std::string> base = {"check", "--jd", "jd.csv", "--profile", "profile.csv", "--points", "p.csv"};
  const auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = base;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  struct Bad {
    std::string points, message;
  };
  const Bad bad[] = {
      {"name,x,y\nA,1100,2000\n", "z"},
      {"name,x,y,z\nA,1100,2000,50\nB,1100,2000,\n", "第 3 行：z 不能为空"},
      {"name,x,y,z\nA,1100,2000,nan\n", "第 2 行："},
      {"name,x,y,z\nA,1100,2000,50\nB,1100,2000,50\nA,1100,2001,50\n", "第 4 行：点名“A”与第 2 行重复。"},
      {"name,x,y,z,station,offset\nA,1100,2000,50,100,\n", "第 2 行：设计位置需要桩号和偏距两者"},
      {"name,x,y,z,station\nA,1100,2000,50,100\n", "station 和 offset 两列"},
      {"name,x,y,z,station,offset\nA,1100,2000,50,K5+000,0\n", "第 2 行："},
  };
  for (const Bad& b : bad) {
    files["p.csv"] = b.points;
    ExpectRefused(with({}), {b.message});
  }
  files["p.csv"] = "name,x,y,z\nA,1100,2000,50\n";
  ExpectRefused(with({"--tolerance-z", "abc"}), {"--tolerance-z 应为高程限差", "“abc”"});
  ExpectRefused(with({"--tolerance-z", "0.01/0.02"}), {"--tolerance-z"});
  ExpectRefused(with({"--tolerance-xy", "5cm"}), {"--tolerance-xy 应为", "“5cm”"});
  ExpectRefused(with({"--slopes", "slopes.csv"}), {"--slopes 只与 --section 同用。"});
  ExpectRefused({"check", "--jd", "jd.csv", "--points", "p.csv"}, {"check 命令需要纵断面"});
  ExpectRefused({"locate", "--jd", "jd.csv", "--x", "1", "--y", "2", "--slopes", "slopes.csv"},
                {"--slopes 只与 --section 同用。"});
  ExpectRefused({"locate", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv", "--slopes",
                 "slopes.csv", "--x", "1", "--y", "2"},
                {"--slopes）需要点的高程"});
  // A GSI or CASS point without a height names its line.
  files["p.csv"] = "A,,2000,1100,50\nB,,2000,1100,\n";
  ExpectRefused(with({"--points-format", "cass"}), {"第 2 行：点“B”没有高程"});
}

}  // namespace
}  // namespace survey::alignment
