#include "alignment/cli/program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "batch_fixture.h"

namespace survey::alignment {
namespace {

using survey::testing::BatchRun;

// A straight due north from (0, 0), 1200 m: chainage = station = X.
const char* const kStraight = "name,x,y,r,ls1,ls2\nQD,0,0\nZD,1200,0\n";
// A corner with transitions, for stake-out and export.
const char* const kSpiral = "name,x,y,r,ls1,ls2\nQD,0,0\nJD1,1000,0,500,100\nZD,1500,866.0254037844386\n";
// +2 % to -2 % (crest R 4000 at 300: T 80, E 0.8), then -2 % to +3 % (sag R 5000 at 600).
// The tables below are independent references: T = R|w|/2, E = T²/2R and the parabola's
// elevations worked by hand from these points, not copied from the program's output.
const char* const kProfile = "station,elevation,r\n0,100,\n300,106,4000\n600,100,5000\n1000,112,0\n";

class LandXmlBatch : public BatchFixture {
 protected:
  void SetUp() override { files = {{"straight.csv", kStraight}, {"spiral.csv", kSpiral}, {"profile.csv", kProfile}}; }
};

TEST_F(LandXmlBatch, ProfileRows) {
  const BatchRun r = Run({"profile", "--jd", "straight.csv", "--profile", "profile.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              "name,station,elevation,r,t,e,grade_in,grade_out,curve_start,curve_end",
                              "BPD1,0.000,100.000,,,,,2.0000,,",
                              "BPD2,300.000,106.000,4000.000,80.000,0.800,2.0000,-2.0000,220.000,380.000",
                              "BPD3,600.000,100.000,5000.000,125.000,1.563,-2.0000,3.0000,475.000,725.000",
                              "BPD4,1000.000,112.000,,,,3.0000,,,",
                          }));
}

TEST_F(LandXmlBatch, StakesAndPointGainDesignElevations) {
  const BatchRun stakes = Run({"stakes", "--jd", "straight.csv", "--profile", "profile.csv", "--interval", "100",
                               "--from", "200", "--to", "1100", "--offset", "5"});
  ASSERT_EQ(stakes.status, 0) << stakes.err;
  const std::vector<std::string> lines = Lines(stakes.out);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "name,station,x,y,azimuth,x_5,y_5,grade_elevation,elevation,grade");
  EXPECT_EQ(lines[2], ",300.000,300.000,0.000,0.000000,300.000,5.000,106.000,105.200,0.0000");   // minus E
  EXPECT_EQ(lines[5], ",600.000,600.000,0.000,0.000000,600.000,5.000,100.000,101.563,0.5000");   // plus E
  EXPECT_EQ(lines[10], ",1100.000,1100.000,0.000,0.000000,1100.000,5.000,,,");                    // past the profile

  const BatchRun point = Run({"point", "--jd", "straight.csv", "--profile", "profile.csv", "--station", "240", "--offset", "-3"});
  ASSERT_EQ(point.status, 0) << point.err;
  EXPECT_EQ(point.out, "station,x,y,azimuth,grade_elevation,elevation,grade\n240.000,240.000,-3.000,0.000000,104.800,104.750,1.5000\n");
}

TEST_F(LandXmlBatch, LocateGivesTheDesignElevationAndDz) {
  files["points.csv"] = "name,x,y,z\nA,300,4,105.5\nB,485,-2,\nC,-50,0,1\n";
  const BatchRun r = Run({"locate", "--jd", "straight.csv", "--profile", "profile.csv", "--points", "points.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              "name,x,y,station,offset,status,grade_elevation,elevation,grade,dz",
                              "A,300.000,4.000,300.000,4.000,ok,106.000,105.200,0.0000,0.300",
                              "B,485.000,-2.000,485.000,-2.000,ok,102.300,102.310,-1.8000,",
                              "C,-50.000,0.000,,,outside,,,,",
                          }));
  // Without a z column there is no dz; without a profile locate is unchanged.
  const BatchRun single = Run({"locate", "--jd", "straight.csv", "--profile", "profile.csv", "--x", "600", "--y", "1"});
  EXPECT_EQ(single.out.substr(0, single.out.find('\n')), "name,x,y,station,offset,status,grade_elevation,elevation,grade");
  EXPECT_EQ(Run({"locate", "--jd", "straight.csv", "--x", "600", "--y", "1"}).out.rfind("name,x,y,station,offset,status\n", 0), 0u);
}

TEST_F(LandXmlBatch, StakeoutFromAStation) {
  // Station at (100, 10), backsight due east: a stake north on the straight lies 90 deg left
  // of the east direction, so 270 clockwise.
  const BatchRun r = Run({"stakeout", "--jd", "straight.csv", "--setup", "100,10", "--backsight", "100,50", "--interval",
                          "500", "--to", "500", "--offset=-10", "--degrees"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "name,station,x,y,azimuth,angle,distance");
  EXPECT_EQ(lines[1], "QD,0.000,0.000,0.000,185.71059314,95.71059314,100.499");
  EXPECT_EQ(lines[2], "QD -10.000,0.000,0.000,-10.000,191.30993247,101.30993247,101.980");
  EXPECT_EQ(lines[3], ",500.000,500.000,0.000,358.56790382,268.56790382,400.125");
  EXPECT_EQ(lines[4], "-10.000,500.000,500.000,-10.000,357.13759477,267.13759477,400.500");
}

TEST_F(LandXmlBatch, Refusals) {
  files["overlap.csv"] = "桩号,高程,竖曲线半径\n0,100,\n300,106,4000\n600,100,20000\n1000,112,0\n";
  ExpectRefused({"profile", "--jd", "straight.csv"}, {"纵断面"});
  ExpectRefused({"profile", "--jd", "straight.csv", "--profile", "overlap.csv"}, {"BPD2", "BPD3"});
  ExpectRefused({"stakes", "--jd", "straight.csv", "--profile", "overlap.csv"}, {"BPD2", "BPD3"});
  ExpectRefused({"stakeout", "--jd", "straight.csv", "--backsight", "1,2"}, {"--setup"});
  ExpectRefused({"stakeout", "--jd", "straight.csv", "--setup", "1;2", "--backsight", "1,2"}, {"--setup"});
  ExpectRefused({"stakeout", "--jd", "straight.csv", "--setup", "1,2", "--backsight", "1,2"}, {"后视"});
  ExpectRefused({"stakeout", "--jd", "straight.csv", "--setup", "1,x", "--backsight", "1,2"}, {"--setup"});
  ExpectRefused({"export", "--jd", "straight.csv"}, {"--out"});
  ExpectRefused({"stakes", "--jd", "straight.csv", "--name", "A"}, {"--name"});
}

class LandXmlExportBatch : public LandXmlBatch {
 protected:
  void SetUp() override {
    LandXmlBatch::SetUp();
    folder_ = std::filesystem::temp_directory_path() /
              ("landxml-batch-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
};

// The stakes read back are the in-process export's concern; here the command writes the file
// and the start station, equation, profile and name travel with it.
TEST_F(LandXmlExportBatch, ExportedRouteReadsBackWithTheSameProfile) {
  const std::string out = (folder_ / "route.xml").string();
  const std::vector<std::string> route = {"--jd", "spiral.csv", "--start", "K1+000", "--equation", "1500=1480",
                                          "--profile", "profile.csv"};
  std::vector<std::string> args = {"export", "--out", out};
  args.insert(args.end(), route.begin(), route.end());
  const BatchRun exported = Run(args);
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "");
  std::ifstream in(out, std::ios::binary);
  files["route.xml"] = std::string(std::istreambuf_iterator<char>(in), {});
  args = {"profile"};
  args.insert(args.end(), route.begin(), route.end());
  const BatchRun fromXml = Run({"profile", "--landxml", "route.xml"});
  ASSERT_EQ(fromXml.status, 0) << fromXml.err;
  EXPECT_EQ(fromXml.out, Run(args).out);
  args = {"point", "--station", "1500"};
  args.insert(args.end(), route.begin(), route.end());
  EXPECT_EQ(Run({"point", "--landxml", "route.xml", "--station", "1500"}).out, Run(args).out);
  // The alignment is named after the JD table, the profile after its table; another name is
  // refused naming the one there.
  ExpectRefused({"stakes", "--landxml", "route.xml", "--name", "main"}, {"main", "spiral"});
  const BatchRun trusted = Run({"stakes", "--landxml", "route.xml", "--name", "spiral", "--trust-points"});
  EXPECT_EQ(trusted.status, 0);
  EXPECT_NE(trusted.err.find("最大间隙 0.000 mm"), std::string::npos) << trusted.err;
  EXPECT_NE(files["route.xml"].find("<ProfAlign name=\"profile\">"), std::string::npos);
  EXPECT_NE(files["route.xml"].find("<PI>"), std::string::npos);
  // Exported again from the LandXML file, both names stay.
  const std::string again = (folder_ / "again.xml").string();
  ASSERT_EQ(Run({"export", "--landxml", "route.xml", "--out", again}).status, 0);
  std::ifstream back(again, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(back), {});
  EXPECT_NE(text.find("<Alignment name=\"spiral\""), std::string::npos);
  EXPECT_NE(text.find("<ProfAlign name=\"profile\">"), std::string::npos);

  // The curve table of the imported elements is the JD table's, with the columns of element routes.
  args = {"curves"};
  args.insert(args.end(), route.begin(), route.end());
  std::string fromJd = Run(args).out;
  const BatchRun curves = Run({"curves", "--landxml", "route.xml"});
  ASSERT_EQ(curves.status, 0) << curves.err;
  // Each line of the JD route's table with its kind (qd, jd, zd) and an empty r_end appended.
  std::string expected;
  std::size_t start = 0;
  for (std::size_t end = fromJd.find('\n'); end != std::string::npos; start = end + 1, end = fromJd.find('\n', start)) {
    const std::string line = fromJd.substr(start, end - start);
    const char* kind = start == 0 ? ",kind,r_end\n" : line.starts_with("QD,") ? ",qd,\n" : line.starts_with("ZD,") ? ",zd,\n" : ",jd,\n";
    expected += line + kind;
  }
  EXPECT_EQ(curves.out, expected);
}

// The import notes reach stderr; --no-profile and --profile-name choose what of the profile is read.
TEST_F(LandXmlExportBatch, NotesAndProfileOptions) {
  files["two.xml"] =
      "<LandXML><Alignments><Alignment name=\"a\"><CoordGeom><Line><Start>0 0</Start><End>100 0</End></Line>"
      "<Line><Start>100 0</Start><End>200 10</End></Line></CoordGeom>"
      "<StaEquation staBack=\"NaN\" staAhead=\"1000\" desc=\"K1\"/>"
      "<Profile><ProfAlign name=\"broken\"><PVI>0 1</PVI><PVI>0 2</PVI></ProfAlign>"
      "<ProfAlign name=\"good\"><PVI>0 10</PVI><PVI>300 13</PVI></ProfAlign></Profile>"
      "</Alignment></Alignments></LandXML>";
  ExpectRefused({"point", "--landxml", "two.xml", "--station", "50"}, {"--no-profile"});
  const BatchRun plan = Run({"point", "--landxml", "two.xml", "--station", "50", "--no-profile"});
  ASSERT_EQ(plan.status, 0) << plan.err;
  EXPECT_EQ(plan.out.find("elevation"), std::string::npos);
  EXPECT_NE(plan.err.find("第 2 个线元的起点是转折点：桩号 K0+100.000，右偏 5.7106°"), std::string::npos) << plan.err;
  EXPECT_NE(plan.err.find("desc=\"K1\""), std::string::npos) << plan.err;
  const BatchRun good = Run({"point", "--landxml", "two.xml", "--station", "50", "--profile-name", "good"});
  ASSERT_EQ(good.status, 0) << good.err;
  EXPECT_NE(good.out.find("10.500"), std::string::npos) << good.out;
  // A compound curve is no JD: one row per element, in the JD columns it shares plus kind and r_end.
  files["compound.csv"] = "type,length,r_start,r_end,turn\nline,100,,,\narc,50,300,,right\narc,50,200,,right\nline,100,,,\n";
  const BatchRun compound =
      Run({"curves", "--elements", "compound.csv", "--start-x", "0", "--start-y", "0", "--start-azimuth", "0"});
  ASSERT_EQ(compound.status, 0) << compound.err;
  EXPECT_NE(compound.out.find("\nE2,100.000,0.000,right,,300.000,,,,,50.000,,,100.000,,,,150.000,,,,,arc,300.000\nE3,"),
            std::string::npos)
      << compound.out;
  const BatchRun kink = Run({"curves", "--landxml", "two.xml", "--no-profile"});
  ASSERT_EQ(kink.status, 0) << kink.err;
  EXPECT_NE(kink.out.find("\nJD1,100.000,0.000,right,"), std::string::npos) << kink.out;
}

TEST_F(LandXmlExportBatch, AFailedExportNamesTheFileAndWritesNothing) {
  const std::string out = (folder_ / "missing" / "route.xml").string();
  ExpectRefused({"export", "--jd", "spiral.csv", "--out", out}, {out});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

}  // namespace
}  // namespace survey::alignment
