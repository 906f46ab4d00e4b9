// The cross-section on the command line: section, stakes/point/locate with --section. The
// numbers are worked by hand from the template (see design_surface_test.cpp for the surface).
#include <gtest/gtest.h>

#include "alignment/tests/batch_fixture.h"

namespace survey::alignment {
namespace {

class SectionCommands : public BatchFixture {
 protected:
  void SetUp() override {
    // Straight north from (1000, 2000); the profile rises 1 % from 49.00 at K0+000.
    AddStraightRouteWithSection();
    files["super.csv"] = "station,left,right\nK0+100,-2,-2\nK0+200,6,-6\n";
    files["widening.csv"] = "station,left,right\nK0+100,0,0\nK0+200,0,1\n";
    files["left-only.csv"] = "side,part,width,slope\nleft,行车道,3.5,-2\n";
  }
};

TEST_F(SectionCommands, SectionListsTheBreakPointsOfEachStake) {
  // K0+150: profile 50.50, slopes +2/-4, right lane widened 0.5 m.
  const auto r = Run({"section", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv",
                      "--superelevation", "super.csv", "--widening", "widening.csv", "--interval", "50", "--from",
                      "150", "--to", "150"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "name,station,side,part,offset,width,slope,elevation,x,y\n"
            ",150.000,,设计线,0.000,,,50.500,1150.000,2000.000\n"
            ",150.000,左,行车道,-3.500,3.500,2.0000,50.570,1150.000,1996.500\n"
            ",150.000,左,土路肩,-4.250,0.750,-4.0000,50.540,1150.000,1995.750\n"
            ",150.000,右,行车道,4.000,4.000,-4.0000,50.340,1150.000,2004.000\n"
            ",150.000,右,土路肩,4.750,0.750,-4.0000,50.310,1150.000,2004.750\n");
  // Without a profile the header says the elevations are relative to the design line.
  const auto relative = Run({"section", "--jd", "jd.csv", "--section", "section.csv", "--to", "0"});
  EXPECT_EQ(Lines(relative.out).at(0), "name,station,side,part,offset,width,slope,relative_elevation,x,y");
  EXPECT_EQ(Lines(relative.out).at(3), "QD,0.000,左,土路肩,-4.250,0.750,-4.0000,-0.100,1000.000,1995.750");
}

// The rows as without --section, the section's columns after them.
TEST_F(SectionCommands, StakesGainTheElevationOfEachSideStakeAndTheEdges) {
  const auto r = Run({"stakes", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv",
                      "--superelevation", "super.csv", "--widening", "widening.csv", "--offset=-4", "--offset", "4.5",
                      "--edges", "--interval", "50", "--from", "150", "--to", "150"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "name,station,x,y,azimuth,x_-4,y_-4,x_4.5,y_4.5,grade_elevation,elevation,grade,z_-4,z_4.5,"
            "x_左 行车道,y_左 行车道,z_左 行车道,x_左 土路肩,y_左 土路肩,z_左 土路肩,"
            "x_右 行车道,y_右 行车道,z_右 行车道,x_右 土路肩,y_右 土路肩,z_右 土路肩");
  // -4: 50.57 - 0.04·0.5 = 50.55; 4.5 (on the surface thanks to the widening): 50.34 - 0.02.
  EXPECT_EQ(lines[1],
            ",150.000,1150.000,2000.000,0.000000,1150.000,1996.000,1150.000,2004.500,50.500,50.500,1.0000,50.550,50.320,"
            "1150.000,1996.500,50.570,1150.000,1995.750,50.540,1150.000,2004.000,50.340,1150.000,2004.750,50.310");
  // Beyond the surface the elevation is empty (no widening at K0+100: the edge is at 4.25).
  const auto normal = Run({"stakes", "--jd", "jd.csv", "--section", "section.csv", "--offset", "4.5", "--interval",
                           "50", "--from", "100", "--to", "100"});
  EXPECT_EQ(Lines(normal.out).at(1), ",100.000,1100.000,2000.000,0.000000,1100.000,2004.500,");
  EXPECT_EQ(Lines(normal.out).at(0), "name,station,x,y,azimuth,x_4.5,y_4.5,relative_z_4.5");
}

TEST_F(SectionCommands, PointAndLocate) {
  const auto point = Run({"point", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv",
                          "--superelevation", "super.csv", "--station", "K0+150", "--offset", "4.25"});
  EXPECT_EQ(point.out,
            "station,x,y,azimuth,grade_elevation,elevation,grade,z_4.25\n"
            "150.000,1150.000,2004.250,0.000000,50.500,50.500,1.0000,50.330\n");
  files["points.csv"] = "name,x,y,z\nA,1150,1996,50.6\nB,1150,2010,50\nC,900,2000,1\nD,1150,2002,\n";
  const auto locate = Run({"locate", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "section.csv",
                           "--superelevation", "super.csv", "--points", "points.csv"});
  // A: 4 m left, 50.50 + 0.07 - 0.02 = 50.55, fill 0.05; B beyond the surface; C off the route;
  // D without z: 2 m right, 50.50 - 0.08. fill_cut is design − measured (填正挖负).
  EXPECT_EQ(locate.out,
            "name,x,y,station,offset,status,grade_elevation,elevation,grade,dz,section_elevation,section_dz,fill_cut\n"
            "A,1150.000,1996.000,150.000,-4.000,ok,50.500,50.500,1.0000,0.100,50.550,0.050,-0.050\n"
            "B,1150.000,2010.000,150.000,10.000,ok,50.500,50.500,1.0000,-0.500,,,\n"
            "C,900.000,2000.000,,,outside,,,,,,,\n"
            "D,1150.000,2002.000,150.000,2.000,ok,50.500,50.500,1.0000,,50.420,,\n");
  // A point on the side the template lacks is simply off the surface.
  const auto oneSided = Run({"locate", "--jd", "jd.csv", "--profile", "profile.csv", "--section", "left-only.csv",
                             "--x", "1150", "--y", "2002"});
  EXPECT_EQ(Lines(oneSided.out).at(1), ",1150.000,2002.000,150.000,2.000,ok,50.500,50.500,1.0000,");
}

TEST_F(SectionCommands, Refusals) {
  const std::vector<std::string> jd = {"--jd", "jd.csv"};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.begin() + 1, jd.begin(), jd.end());
    return args;
  };
  ExpectRefused(with({"section"}), {"section 命令需要 --section。"});
  ExpectRefused(with({"stakes", "--edges"}), {"--edges 只与 --section 同用。"});
  ExpectRefused(with({"stakes", "--superelevation", "super.csv"}), {"--superelevation 只与 --section 同用。"});
  ExpectRefused(with({"point", "--station", "10", "--rotate-about", "line"}), {"--rotate-about 只与 --section 同用。"});
  ExpectRefused(with({"section", "--section", "section.csv", "--rotate-about", "inner"}),
                {"--rotate-about 应为 line、inner-edge、median 之一：“inner”。"});
  ExpectRefused(with({"stakes", "--section", "section.csv", "--offset", "2", "--skew", "10"}), {"--skew"});
  ExpectRefused(with({"stakes", "--section", "left-only.csv", "--offset", "2"}), {"没有右侧的部分"});
  ExpectRefused(with({"locate", "--section", "section.csv", "--x", "1", "--y", "2"}), {"需要纵断面"});
  files["bad.csv"] = "side,part,width,slope\nleft,a,3.5,-2\nright,b,0,-2\n";
  ExpectRefused(with({"section", "--section", "bad.csv"}), {"“bad.csv” 第 3 行：宽度 必须大于 0"});
  files["late.csv"] = "station,left,right\nK0+100,0,0\nK1+100,1,1\n";
  ExpectRefused(with({"section", "--section", "section.csv", "--widening", "late.csv"}),
                {"“late.csv” 第 3 行：桩号 K1+100 不在路线上。"});
  // The route's own refusal comes before the section's.
  ExpectRefused({"stakes", "--jd", "missing.csv", "--section", "section.csv", "--edges"}, {"missing.csv"});
  // Without the section's options, the command's own order of refusals.
  ExpectRefused({"locate", "--jd", "missing.csv", "--x", "1"}, {"locate 命令需要 --x 和 --y 两者。"});
}

TEST_F(SectionCommands, WithoutSectionTheCommandsAreUnchanged) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"stakes", "--jd", "jd.csv", "--offset", "3", "--profile", "profile.csv"},
        std::vector<std::string>{"point", "--jd", "jd.csv", "--station", "10", "--offset", "3"},
        std::vector<std::string>{"locate", "--jd", "jd.csv", "--x", "1100", "--y", "2001"}}) {
    const auto r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("z_"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("section"), std::string::npos) << r.out;
  }
}

}  // namespace
}  // namespace survey::alignment
