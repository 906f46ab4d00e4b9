#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "alignment/cli/csv_writer.h"
#include "batch_fixture.h"

namespace survey::alignment {
namespace {

using survey::testing::BatchRun;

// A straight due east: QD (0, 0) to ZD (0, 100).
const char* const kStraight = "name,x,y,r,ls1,ls2\nQD,0,0\nZD,0,100\n";
// One plain circle R 500 turning 60° right at JD1 (1000, 0), 1000 m from QD.
const char* const kCircle = "name,x,y,r,ls1,ls2\nQD,0,0\nJD1,1000,0,500,0\nZD,1500,866.0254037844386\n";
// The same corner with transitions of 100 m on both sides.
const char* const kSpiral = "name,x,y,r,ls1,ls2\nQD,0,0\nJD1,1000,0,500,100\nZD,1500,866.0254037844386\n";
// A straight, a transition, an arc, a transition and a straight, as elements.
const char* const kElements =
    "type,length,r_start,r_end,turn\nline,100\nspiral,50,,300,left\narc,80,300,,left\nspiral,50,300,,left\nline,100\n";

class Batch : public BatchFixture {
 protected:
  void SetUp() override {
    files = {{"straight.csv", kStraight}, {"circle.csv", kCircle}, {"spiral.csv", kSpiral}, {"elements.csv", kElements}};
  }
};

TEST_F(Batch, HelpExplainsEveryOptionWithExamples) {
  const BatchRun bare = Run({});
  EXPECT_EQ(bare.status, 0);
  EXPECT_EQ(bare.err, "");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"--help"}, {"stakes", "--help"}}) {
    const BatchRun r = Run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, bare.out);
  }
  for (const char* word : {"--jd FILE", "--elements FILE", "--start-x", "--start-y", "--start-azimuth", "--start S",
                           "--equation BACK=AHEAD", "--decimals", "--degrees", "--interval", "--from", "--to",
                           "--offset", "--skew", "--station", "--x X", "--y Y", "--points", "curves", "stakes",
                           "point", "locate", "example: alignment stakes", "name,x,y,r,ls1,ls2", "--name=VALUE"}) {
    EXPECT_NE(bare.out.find(word), std::string::npos) << word;
  }
}

TEST_F(Batch, RefusalsExitTwoWithNothingOnStdout) {
  const std::string jd = "--jd=straight.csv";
  struct Case { std::vector<std::string> args; const char* message; };
  const Case cases[] = {
      {{"survey", jd}, "unknown command \"survey\""},
      {{jd, "stakes"}, "the command (curves, stakes, point, locate"},
      {{"stakes", jd, "--bogus"}, "unknown option: --bogus"},
      {{"stakes", jd, "--interval"}, "needs a value"},
      {{"point", jd, "--station", "1", "--station", "2"}, "given twice"},
      {{"point", jd, "--interval", "5"}, "unknown option: --interval"},  // another command's option
      {{"stakes", jd, "stray"}, "unexpected argument: stray"},
      {{"stakes"}, "没有给出路线"},
      {{"stakes", jd, "--elements", "elements.csv"}, "只能给出一个"},
      {{"stakes", jd, "--start-x", "0"}, "--start-x 只用于 --elements"},
      {{"stakes", "--elements", "elements.csv", "--start-x", "0", "--start-y", "0"}, "--elements 需要 --start-azimuth"},
      {{"stakes", "--jd", "missing.csv"}, "无法打开文件“missing.csv”"},
      {{"stakes", jd, "--decimals", "10"}, "--decimals 应为 0 到 9 的整数"},
      {{"stakes", jd, "--decimals=-1"}, "--decimals 应为 0 到 9 的整数"},
      {{"stakes", jd, "--decimals", "2.5"}, "--decimals 应为 0 到 9 的整数"},
      {{"stakes", jd, "--interval", "abc"}, "--interval 不是数字：“abc”"},
      // Refusals of the stake list come after the header row is made and must still leave stdout empty.
      {{"stakes", jd, "--interval", "0"}, "桩距必须是大于 0 的数"},
      {{"stakes", jd, "--interval", "0.0001"}, "桩距 0.0001 m 小于 0.001 m"},
      {{"stakes", jd, "--interval", "0.005", "--decimals", "2"}, "小于桩号的末位（2 位小数）"},
      {{"stakes", jd, "--from", "80", "--to", "20"}, "起始桩号"},
      {{"stakes", jd, "--interval", "NaN"}, "--interval 不是数字"},
      {{"stakes", jd, "--offset", "1e300"}, "--offset 超出范围"},
      {{"stakes", jd, "--from", "K1+2000"}, "--from 不是桩号"},
      {{"stakes", jd, "--skew", "90"}, "--skew 的绝对值必须小于 90°"},
      {{"stakes", jd, "--skew=-90", "--degrees"}, "--skew 的绝对值必须小于 90°"},
      // A skew so near 90° that the side stake lands beyond 1e9 m, in each command with side stakes.
      {{"point", jd, "--station", "50", "--offset", "5", "--skew", "89.9999999", "--degrees"}, "的边桩离中桩太远"},
      {{"stakes", jd, "--offset=-5", "--offset", "0.5", "--skew", "89.9999999", "--degrees"}, "--offset “-5”的边桩离中桩太远"},
      {{"stakeout", jd, "--setup", "0,0", "--backsight", "10,0", "--offset", "5", "--skew", "89.9999999", "--degrees"},
       "的边桩离中桩太远"},
      {{"stakes", jd, "--skew", "abc"}, "--skew 不是角度（度.分秒"},
      {{"stakes", jd, "--start", "1e300"}, "--start 超出范围"},
      {{"stakes", jd, "--equation", "1200"}, "--equation 应写成 BACK=AHEAD"},
      {{"stakes", jd, "--equation", "a=5"}, "--equation 不是桩号"},
      {{"point", jd}, "point 命令需要 --station"},
      {{"point", jd, "--station", "nan"}, "--station 不是桩号"},
      {{"locate", jd}, "locate 命令需要 --x 和 --y，或 --points"},
      {{"locate", jd, "--x", "1"}, "locate 命令需要 --x 和 --y 两者"},
      {{"locate", jd, "--x", "1", "--y", "2", "--points", "p.csv"}, "二者取一"},
      {{"locate", jd, "--x", "1e999", "--y", "2"}, "--x 不是数字"},
      // The input's control characters reach the terminal escaped, whatever message quotes them.
      {{"stakes", jd, "--interval", "\x1b[31mred\r"}, "--interval 不是数字：“\\x1B[31mred\\r”"},
      {{"\x1b]0;title\x07"}, "unknown command \"\\x1B]0;title\\x07\""},
      {{"stakes", "--jd", "a\x1b[2J.csv"}, "无法打开文件“a\\x1B[2J.csv”"},
  };
  for (const Case& c : cases) ExpectRefused(c.args, {c.message});
}

// Golden tables below are independent references unless marked: worked by hand from the
// geometry or the textbook formulas their comments give, not taken from this program's output.

TEST_F(Batch, StakesOfAStraight) {
  const BatchRun r = Run({"stakes", "--jd", "straight.csv", "--interval", "25", "--offset", "5", "--offset=-5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "name,station,x,y,azimuth,x_5,y_5,x_-5,y_-5\n"
            "QD,0.000,0.000,0.000,90.000000,-5.000,0.000,5.000,0.000\n"
            ",25.000,0.000,25.000,90.000000,-5.000,25.000,5.000,25.000\n"
            ",50.000,0.000,50.000,90.000000,-5.000,50.000,5.000,50.000\n"
            ",75.000,0.000,75.000,90.000000,-5.000,75.000,5.000,75.000\n"
            "ZD,100.000,0.000,100.000,90.000000,-5.000,100.000,5.000,100.000\n");
}

TEST_F(Batch, SkewDecimalsDegreesAndRange) {
  // Skew 30°: the side stake lies at azimuth 90 + 90 + 30 = 210°, 5 / cos 30° away.
  const BatchRun r = Run({"stakes", "--jd", "straight.csv", "--from", "K0+040", "--to", "60", "--interval", "20",
                          "--offset", "5.0", "--skew", "30", "--decimals", "1", "--degrees"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "name,station,x,y,azimuth,x_5.0,y_5.0\n"
            ",40.0,0.0,40.0,90.00000000,-5.0,37.1\n"
            ",60.0,0.0,60.0,90.00000000,-5.0,57.1\n");
  // Near 90° a side stake within 1e9 m is still given (0.5 / cos 89.9999999° = 2.9e8 m).
  EXPECT_EQ(Run({"point", "--jd", "straight.csv", "--station", "50", "--offset", "0.5", "--skew", "89.9999999",
                 "--degrees"}).status, 0);
}

TEST_F(Batch, PointAndLocateOnAStraightWithStationsAndEquations) {
  const std::string jd = "--jd=straight.csv";
  EXPECT_EQ(Run({"point", jd, "--station", "K1+050", "--start", "K1+000", "--offset=-2"}).out,
            "station,x,y,azimuth\n1050.000,2.000,50.000,90.000000\n");
  // 1060 = 1040: stations 1040..1060 occur twice and mean the position after the equation.
  EXPECT_EQ(Run({"point", jd, "--station", "1045", "--start", "1000", "--equation", "K1+060=K1+040"}).out,
            "station,x,y,azimuth\n1045.000,0.000,65.000,90.000000\n");
  EXPECT_EQ(Run({"locate", jd, "--x", "3", "--y", "40", "--start", "1000", "--equation", "1060=1040"}).out,
            "name,x,y,station,offset,status\n,3.000,40.000,1040.000,-3.000,ok\n");
  EXPECT_EQ(Run({"locate", jd, "--x", "-1", "--y", "150"}).out,
            "name,x,y,station,offset,status\n,-1.000,150.000,,,outside\n");
  files["p.csv"] = "点名,X,Y\nA,-2,10\n\"B,1\",2,99.9996\n";
  EXPECT_EQ(Run({"locate", jd, "--points", "p.csv"}).out,
            "name,x,y,station,offset,status\nA,-2.000,10.000,10.000,2.000,ok\n\"B,1\",2.000,100.000,100.000,-2.000,ok\n");
  ExpectRefused({"point", jd, "--station", "100.5"}, {});
  ExpectRefused({"point", jd, "--station", "1050", "--start", "1000", "--equation", "1040=1060"}, {});  // a gap
}

TEST_F(Batch, CurvesOfAPlainCircle) {
  const BatchRun r = Run({"curves", "--jd", "circle.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "name,x,y,turn,alpha,r,ls1,ls2,t1,t2,l,e,j,zh,hy,qz,yh,hz,straight_after,jd_station,jd_distance,azimuth");
  // T = R tan(α/2), L = R α, E = R (sec(α/2) - 1), J = 2T - L; ZY = 1000 - T, no HY/YH. Each row's
  // leg to the next point: straights 1000 - T, the JDs 1000 m apart at azimuths 0° and 60°; the
  // JD at K1+000 (ZY + T), ZD at 2000 - J.
  EXPECT_EQ(lines[1], "QD,0.000,0.000,,,,,,,,,,,,,,,,711.325,0.000,1000.000,0.000000");
  EXPECT_EQ(lines[2],
            "JD1,1000.000,0.000,right,60.000000,500.000,0.000,0.000,288.675,288.675,523.599,77.350,53.751,"
            "711.325,,973.124,,1234.924,711.325,1000.000,1000.000,60.000000");
  EXPECT_EQ(lines[3], "ZD,1500.000,866.025,,,,,,,,,,,,,,,,,1946.249,,");
}

// A JD table without a curve (QD to ZD) is still a JD table: its columns, no element rows.
TEST_F(Batch, CurvesOfAStraightJdTableKeepTheJdColumns) {
  files["straight.csv"] = "name,x,y,r,ls1,ls2\nQD,0,0,,,\nZD,100,0,,,\n";
  const BatchRun r = Run({"curves", "--jd", "straight.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "name,x,y,turn,alpha,r,ls1,ls2,t1,t2,l,e,j,zh,hy,qz,yh,hz,straight_after,jd_station,jd_distance,azimuth\n"
            "QD,0.000,0.000,,,,,,,,,,,,,,,,100.000,0.000,100.000,0.000000\n"
            "ZD,100.000,0.000,,,,,,,,,,,,,,,,,100.000,,\n");
}

TEST_F(Batch, CurvesWithTransitionsFillEveryMainPoint) {
  // Independent: the textbook series p = Ls²/24R - Ls⁴/2688R³ = 0.8332, q = Ls/2 - Ls³/240R² =
  // 49.9833 (next terms below 1e-5 m) give T = (R + p) tan 30° + q = 339.14, L = Rα + Ls = 623.60.
  // HY - ZH = HZ - YH = Ls and QZ halfway, in stations from K2+000.
  const std::vector<std::string> lines = Lines(Run({"curves", "--jd", "spiral.csv", "--start", "K2+000", "--decimals", "2"}).out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2].substr(0, lines[2].find(",660.86,")),
            "JD1,1000.00,0.00,right,60.000000,500.00,100.00,100.00,339.14,339.14,623.60,78.31,54.68,2660.86,"
            "2760.86,2972.66,3184.46,3284.46");
}

TEST_F(Batch, StakesNameTheMainPointsInOrder) {
  const BatchRun r = Run({"stakes", "--jd", "spiral.csv", "--interval", "100"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> named;
  for (const std::string& line : Lines(r.out)) {
    if (!line.empty() && line[0] != ',') named.push_back(line.substr(0, line.find(',')));
  }
  EXPECT_EQ(named, (std::vector<std::string>{"name", "QD", "JD1 ZH", "JD1 HY", "JD1 QZ", "JD1 YH", "JD1 HZ", "ZD"}));
}

TEST_F(Batch, ElementRouteFromAStartPose) {
  const std::vector<std::string> base = {"--elements", "elements.csv", "--start-x", "100", "--start-y=-50",
                                         "--start-azimuth", "45.3000"};
  std::vector<std::string> args = {"point", "--station", "0"};
  args.insert(args.end(), base.begin(), base.end());
  EXPECT_EQ(Run(args).out, "station,x,y,azimuth\n0.000,100.000,-50.000,45.300000\n");
  args = {"stakes", "--interval", "1000"};
  args.insert(args.end(), base.begin(), base.end());
  const BatchRun r = Run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1].substr(0, lines[1].find(',')), "QD");
  EXPECT_EQ(lines.back().substr(0, lines.back().find(',', 3)), "ZD,380.000");
}

TEST_F(Batch, HostileInputEndsQuicklyWithZeroOrTwo) {
  std::string millionJds = "name,x,y,r,ls1,ls2\nQD,0,0\n";
  for (int i = 1; i < 1'000'000; ++i) {
    millionJds += "JD" + std::to_string(i) + "," + std::to_string(i * 1000) + "," + std::to_string((i % 2) * 500) +
                  ",300,0\n";
  }
  millionJds += "ZD,1000000000,0\n";
  std::string invalid = kStraight;
  invalid += "\xC3\x28\xFF,1,1\n";
  const std::pair<const char*, std::string> tables[] = {
      {"million.csv", millionJds},
      {"huge.csv", "name,x,y,r,ls1,ls2\nQD,0,0\nJD1,1e308,1e308,1e308\nZD,0,1\n"},
      {"nan.csv", "name,x,y,r,ls1,ls2\nQD,NaN,0\nZD,nan,1\n"},
      {"long.csv", "name,x,y,r,ls1,ls2\nQD,0,0\n" + std::string(1 << 20, '9') + ",1\n"},
      {"invalid.csv", invalid},
      {"binary.csv", std::string("\x00\x01\x02\xFF\xFE\n\x80", 7)},
  };
  std::vector<std::vector<std::string>> runs = {
      {"stakes", "--jd=straight.csv", "--interval", "1e-300"},     {"stakes", "--jd=straight.csv", "--interval", "1e9"},
      {"stakes", "--jd=straight.csv", "--from", "1e9", "--to", "1e9"}, {"point", "--jd=straight.csv", "--station", "-1e9"},
      {"locate", "--jd=straight.csv", "--x", "1e9", "--y=-1e9"},      {"locate", "--jd=straight.csv", "--x", "1e500", "--y", "0"}};
  for (const auto& [name, bytes] : tables) {
    files[name] = bytes;
    runs.push_back({"stakes", std::string("--jd=") + name});
  }
  for (const std::vector<std::string>& args : runs) {
    const BatchRun r = Run(args);
    EXPECT_TRUE(r.status == 0 || r.status == 2) << args[1] << " " << args.back();
    if (r.status == 2) {
      EXPECT_EQ(r.out, "") << args[1] << " " << args.back();
    }
  }
}

TEST_F(Batch, CommandsCanBeAdded) {
  cli::CommandTable program = cli::AlignmentCommandLine();
  program.AddCommonOption({{"label"}, "--label TEXT", "a heading."});
  program.AddCommand({"length", "", "The route's length.", {}, "alignment length --jd route.csv",
                      [](cli::CommandContext& ctx) {
                        cli::CsvWriter csv(ctx.out, ctx.format);
                        csv.Text("length");
                        csv.Text(ctx.options.Value("label"));
                        csv.EndRow();
                        csv.Number(ctx.GetRoute().Length());
                        csv.EndRow();
                        csv.Flush();
                      }});
  std::ostringstream out, err;
  EXPECT_EQ(program.Run({"length", "--jd", "straight.csv", "--label", "v.csv"}, out, err, Reader()), 0);
  EXPECT_EQ(out.str(), "length,v.csv\n100.000\n");
  EXPECT_NE(program.HelpText().find("--label TEXT"), std::string::npos);
  EXPECT_NE(program.HelpText().find("  length\n"), std::string::npos);
}

TEST_F(Batch, LongOutputArrivesWhole) {
  const BatchRun r = Run({"stakes", "--jd", "straight.csv", "--interval", "0.001", "--decimals", "4"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 100'002u);
  EXPECT_EQ(lines[50'001], ",50.0000,0.0000,50.0000,90.000000");
  EXPECT_EQ(lines.back(), "ZD,100.0000,0.0000,100.0000,90.000000");
}

}  // namespace
}  // namespace survey::alignment
