// The alignment program's exchange with the field and with CAD: stakes and points to CASS,
// GSI-16 and DXF files, and --points read as CASS or GSI-16 by content.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include "alignment/tests/batch_fixture.h"
#include "common/atomic_file.h"
#include "exchange/cass_points.h"
#include "exchange/dxf_plan.h"
#include "exchange/gsi16.h"

namespace survey::alignment {
namespace {

// The README's route: two JDs with unequal transitions.
constexpr char kRoute[] =
    "name,x,y,r,ls1,ls2\n"
    "QD,3000.000,5000.000,,,\n"
    "JD1,3400.000,5300.000,600,120,\n"
    "JD2,3500.000,5900.000,800,100,150\n"
    "ZD,3900.000,6400.000,,,\n";
constexpr char kProfile[] = "station,elevation,r\n10000,100,\n10600,112,5000\n11300,104,\n";

class Exchange : public BatchFixture {
 protected:
  void SetUp() override {
    files["route.csv"] = kRoute;
    files["profile.csv"] = kProfile;
    dir_ = std::filesystem::temp_directory_path() / ("alignment_exchange_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The stake list as CSV on stdout: name, station, x, y and each side stake's x, y.
  std::vector<std::vector<std::string>> StakeTable(std::vector<std::string> args) {
    const survey::testing::BatchRun r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Lines(r.out)) {
      std::vector<std::string> cells;
      std::stringstream s(line);
      for (std::string cell; std::getline(s, cell, ',');) cells.push_back(cell);
      rows.push_back(cells);
    }
    rows.erase(rows.begin());  // the header
    return rows;
  }
  std::filesystem::path dir_;
};

TEST_F(Exchange, StakesToCassPutEastBeforeNorthWithDesignElevations) {
  const std::string dat = Path("stakes.dat");
  const std::vector<std::string> stakes = {"stakes", "--jd", "route.csv", "--start", "K10+000", "--interval", "100",
                                           "--offset=-5", "--profile", "profile.csv"};
  std::vector<std::string> args = stakes;
  args.insert(args.end(), {"--out", dat, "--format", "cass", "--code", "ZZ"});
  const survey::testing::BatchRun r = Run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string bytes = ReadAll(dat);
  // GBK 左 (D7 F3), CR LF, the code, east (5000) before north (3000), the design elevation
  // on the centre stake and none on the side stake.
  EXPECT_TRUE(bytes.starts_with("QD,ZZ,5000.000,3000.000,100.000\r\nQD\xD7\xF3" "5,ZZ,4996.000,3003.000,\r\n"
                                "K10+100,ZZ,5060.000,3080.000,"))
      << bytes;
  const exchange::PointFile read = exchange::ReadCassPoints(bytes);
  const auto table = StakeTable(stakes);
  ASSERT_EQ(read.points.size(), 2 * table.size());
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(read.points[2 * i].x, std::stod(table[i][2]));  // north from the x column
    EXPECT_EQ(read.points[2 * i].y, std::stod(table[i][3]));
    EXPECT_EQ(read.points[2 * i + 1].y, std::stod(table[i][6]));
  }
  EXPECT_EQ(read.points[3].name, "K10+100左5");
  EXPECT_EQ(read.points[4].name, "JD1 ZH");
}

TEST_F(Exchange, StakesToGsi16AndBackAsPointsForLocate) {
  const std::string gsi = Path("stakes.gsi");
  ASSERT_EQ(Run({"stakes", "--jd", "route.csv", "--interval", "50", "--offset", "3.5", "--out", gsi, "--format", "gsi16"})
                .status,
            0);
  const exchange::PointFile read = exchange::ReadGsi16(ReadAll(gsi));
  EXPECT_EQ(read.points[0].name, "QD");
  EXPECT_EQ(read.points[1].name, "QDR3.5");
  EXPECT_EQ(read.points[2].name, "K0+050");
  // The file read back by content: every centre stake on the route, every side stake 3.5 m right.
  files["stakes.gsi"] = ReadAll(gsi);
  const survey::testing::BatchRun located = Run({"locate", "--jd", "route.csv", "--points", "stakes.gsi"});
  ASSERT_EQ(located.status, 0) << located.err;
  const std::vector<std::string> lines = Lines(located.out);
  ASSERT_EQ(lines.size(), read.points.size() + 1);
  EXPECT_EQ(lines[1], "QD,3000.000,5000.000,0.000,0.000,ok");
  EXPECT_EQ(lines[2], "QDR3.5,2997.900,5002.800,0.000,3.500,ok");
}

TEST_F(Exchange, LocateReadsCassByContentEastBeforeNorth) {
  // One point, east 5060 and north 3080: on the first straight at 100 m; read as north 5060 it
  // would lie far off the route.
  files["p.dat"] = "P1,,5060.000,3080.000,12.5\r\n";
  files["p.csv"] = "name,x,y\nP1,3080,5060\n";
  const survey::testing::BatchRun cass = Run({"locate", "--jd", "route.csv", "--points", "p.dat"});
  ASSERT_EQ(cass.status, 0) << cass.err;
  EXPECT_EQ(cass.out, Run({"locate", "--jd", "route.csv", "--points", "p.csv"}).out);
  EXPECT_EQ(Lines(cass.out).at(1), "P1,3080.000,5060.000,100.000,0.000,ok");
  // Named, the format wins over the content.
  ExpectRefused({"locate", "--jd", "route.csv", "--points", "p.dat", "--points-format", "gsi16"},
                {"第 1 行：不是 GSI-16 数据块"});
  files["bad.dat"] = "P1,,5060.000,3080.000\r\nP2,,5060.000\r\n";
  ExpectRefused({"locate", "--jd", "route.csv", "--points", "bad.dat"}, {"第 2 行：", "只有 3 个字段"});
  files["w.gsi"] = "*110001+0000000000000001 21.324+0000000018000000 81..00+0000000005060000 82..00+0000000003080000 \n";
  const survey::testing::BatchRun noted = Run({"locate", "--jd", "route.csv", "--points", "w.gsi"});
  EXPECT_EQ(noted.status, 0);
  EXPECT_NE(noted.err.find("跳过了未知的字索引 21"), std::string::npos) << noted.err;
}

struct Drawing : DL_CreationAdapter {
  std::vector<DL_ArcData> arcs;
  std::vector<DL_PointData> stakes;
  std::vector<DL_PointData> sidePoints;
  void addArc(const DL_ArcData& d) override { arcs.push_back(d); }
  void addPoint(const DL_PointData& d) override {
    if (getAttributes().getLayer() == exchange::DxfText("桩号")) stakes.push_back(d);
    if (getAttributes().getLayer() == exchange::DxfText("边桩")) sidePoints.push_back(d);
  }
};

TEST_F(Exchange, PlanDrawingMatchesTheStakeTable) {
  const std::string dxf = Path("route.dxf");
  ASSERT_EQ(Run({"plan", "--jd", "route.csv", "--interval", "10", "--out", dxf, "--label-every", "50"}).status, 0);
  Drawing drawing;
  std::ifstream in(dxf);
  ASSERT_TRUE(DL_Dxf().in(in, &drawing));
  ASSERT_EQ(drawing.arcs.size(), 2u);
  EXPECT_NEAR(drawing.arcs[0].radius, 600, 1e-6);
  EXPECT_NEAR(drawing.arcs[1].radius, 800, 1e-6);
  // Every stake within 1 mm of the stake table (逐桩坐标表) the stakes command prints.
  const auto table = StakeTable({"stakes", "--jd", "route.csv", "--interval", "10"});
  ASSERT_EQ(drawing.stakes.size(), table.size());
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_LE(std::hypot(drawing.stakes[i].x - std::stod(table[i][3]), drawing.stakes[i].y - std::stod(table[i][2])),
              0.001)
        << i;
  }
  // stakes --format dxf draws the same.
  const std::string again = Path("again.dxf");
  ASSERT_EQ(Run({"stakes", "--jd", "route.csv", "--interval", "10", "--out", again, "--format", "dxf", "--label-every",
                 "50"})
                .status,
            0);
  EXPECT_EQ(ReadAll(again), ReadAll(dxf));
}

TEST_F(Exchange, CsvToAFileAndRefusalsLeaveTheOldFile) {
  const std::string csv = Path("stakes.csv");
  ASSERT_EQ(Run({"stakes", "--jd", "route.csv", "--out", csv}).status, 0);
  EXPECT_EQ(ReadAll(csv), Run({"stakes", "--jd", "route.csv"}).out);
  const std::string before = ReadAll(csv);
  {
    ScopedFileSystemCalls disk(FailingWritesAfter(100, ENOSPC));
    ExpectRefused({"stakes", "--jd", "route.csv", "--interval", "5", "--out", csv, "--format", "cass"},
                  {csv, "磁盘空间不足"});
  }
  ExpectRefused({"stakes", "--jd", "route.csv", "--offset", "5", "--out", csv, "--format", "gsi16", "--code", "边"},
                {"不能写入 GSI-16"});
  EXPECT_EQ(ReadAll(csv), before);
  ExpectRefused({"stakes", "--jd", "route.csv", "--format", "cass"}, {"--format 只与 --out 一起使用"});
  ExpectRefused({"stakes", "--jd", "route.csv", "--out", csv, "--format", "pdf"}, {"“pdf”"});
  ExpectRefused({"stakes", "--jd", "route.csv", "--out", csv, "--code", "A"}, {"--code 只用于 cass 和 gsi16"});
  ExpectRefused({"point", "--jd", "route.csv", "--station", "10", "--out", csv, "--format", "dxf"}, {"“dxf”"});
  ExpectRefused({"plan", "--jd", "route.csv"}, {"plan 命令需要 --out"});
  ExpectRefused({"plan", "--jd", "route.csv", "--out", csv, "--text-height", "0"}, {"--text-height"});
  EXPECT_EQ(ReadAll(csv), before);
}

TEST_F(Exchange, StakeoutOfTheStakesWrittenAsCassGivesTheStakesOwnAims) {
  const std::string dat = Path("stakes.dat");
  ASSERT_EQ(Run({"stakes", "--jd", "route.csv", "--interval", "100", "--out", dat, "--format", "cass"}).status, 0);
  files["stakes.dat"] = ReadAll(dat);
  const std::vector<std::string> setup = {"--jd", "route.csv", "--setup", "3100,5000", "--backsight", "3400,5010"};
  std::vector<std::string> own = {"stakeout", "--interval", "100"}, fromFile = {"stakeout", "--points", "stakes.dat"};
  own.insert(own.end(), setup.begin(), setup.end());
  fromFile.insert(fromFile.end(), setup.begin(), setup.end());
  const std::vector<std::string> a = Lines(Run(own).out), b = Lines(Run(fromFile).out);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_GT(a.size(), 10u);
  for (std::size_t i = 1; i < a.size(); ++i) {
    // The same coordinates; the station (of the foot point) and the aims from the millimetre
    // coordinates of the file within a millimetre and a second. Names by station in the file.
    std::vector<std::string> x, y;
    std::stringstream sa(a[i]), sb(b[i]);
    for (std::string cell; std::getline(sa, cell, ',');) x.push_back(cell);
    for (std::string cell; std::getline(sb, cell, ',');) y.push_back(cell);
    ASSERT_EQ(x.size(), 7u);
    ASSERT_EQ(y.size(), 7u);
    EXPECT_NEAR(std::stod(x[1]), std::stod(y[1]), 0.0015) << i;
    for (std::size_t k = 2; k <= 3; ++k) EXPECT_EQ(x[k], y[k]) << i;
    for (std::size_t k = 4; k <= 5; ++k) EXPECT_NEAR(std::stod(x[k]), std::stod(y[k]), 0.0001) << i;
    EXPECT_NEAR(std::stod(x[6]), std::stod(y[6]), 0.0015) << i;
  }
  EXPECT_TRUE(b[2].starts_with("K0+100,100.000,")) << b[2];
  fromFile.push_back("--offset=5");
  ExpectRefused(fromFile, {"--points 不与 --offset 一起使用"});
}

TEST_F(Exchange, AStationListedTwiceAfterAnOverlappingEquationGetsASuffix) {
  const std::string dat = Path("overlap.dat");
  ASSERT_EQ(Run({"stakes", "--jd", "route.csv", "--interval", "20", "--equation", "500=450", "--out", dat, "--format",
                 "cass"})
                .status,
            0);
  const exchange::PointFile read = exchange::ReadCassPoints(ReadAll(dat));
  std::vector<std::string> names;
  for (const exchange::PointRecord& p : read.points) names.push_back(p.name);
  const auto first = std::find(names.begin(), names.end(), "K0+460");
  ASSERT_NE(first, names.end());
  EXPECT_NE(std::find(first + 1, names.end(), "K0+460_2"), names.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}

TEST_F(Exchange, OnePointToCass) {
  const std::string dat = Path("p.dat");
  ASSERT_EQ(Run({"point", "--jd", "route.csv", "--station", "100", "--offset=-3", "--out", dat, "--format", "cass"}).status,
            0);
  EXPECT_EQ(ReadAll(dat), "K0+100\xD7\xF3" "3,,5057.600,3081.800,\r\n");
}

// The break points of the section command through the CASS reader: names from the stake and
// the part, east before north, the design elevation as the height (none without a profile).
TEST_F(Exchange, SectionBreakPointsToCassAndBack) {
  files["section.csv"] = "side,part,width,slope\nleft,行车道,3.5,-2\nleft,土路肩,0.75,-4\nright,行车道,3.75,-2\n";
  const std::vector<std::string> section = {"section", "--jd", "route.csv", "--start", "K10+000", "--profile",
                                            "profile.csv", "--section", "section.csv", "--interval", "20",
                                            "--to", "K10+100"};
  const auto table = StakeTable(section);
  const std::string dat = Path("section.dat");
  std::vector<std::string> args = section;
  args.insert(args.end(), {"--out", dat, "--format", "cass"});
  const survey::testing::BatchRun r = Run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const exchange::PointFile read = exchange::ReadCassPoints(ReadAll(dat));
  ASSERT_EQ(read.points.size(), table.size());
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::vector<std::string>& row = table[i];  // name,station,side,part,offset,width,slope,elevation,x,y
    // Regular stakes fall on whole metres here: 10020.000 -> K10+020.
    const long metres = std::lround(std::stod(row[1]));
    char station[32];
    std::snprintf(station, sizeof station, "K%ld+%03ld", metres / 1000, metres % 1000);
    const std::string stake = row[0].empty() ? station : row[0];
    const std::string name = row[3] == "设计线" ? stake : stake + row[2] + " " + row[3];
    EXPECT_EQ(read.points[i].name, name) << i;
    EXPECT_EQ(read.points[i].x, std::stod(row[8])) << i;
    EXPECT_EQ(read.points[i].y, std::stod(row[9])) << i;
    ASSERT_TRUE(read.points[i].z.has_value()) << i;
    EXPECT_EQ(*read.points[i].z, std::stod(row[7])) << i;
  }
  EXPECT_EQ(read.points[5].name, "K10+020左 行车道");

  // GSI-16 ids hold no Chinese: the part is its place outward on its side.
  const std::string gsi = Path("section.gsi");
  args = section;
  args.insert(args.end(), {"--out", gsi, "--format", "gsi16"});
  ASSERT_EQ(Run(args).status, 0);
  const exchange::PointFile ids = exchange::ReadGsi16(ReadAll(gsi));
  ASSERT_EQ(ids.points.size(), table.size());
  EXPECT_EQ(ids.points[5].name, "K10+020L1");
  EXPECT_EQ(ids.points[6].name, "K10+020L2");
  EXPECT_EQ(ids.points[7].name, "K10+020R1");
  EXPECT_EQ(ids.points[7].y, read.points[7].y);

  // Without a profile the relative elevations are no heights.
  ASSERT_EQ(Run({"section", "--jd", "route.csv", "--section", "section.csv", "--to", "0", "--out", dat, "--format",
                 "cass"})
                .status,
            0);
  const exchange::PointFile relative = exchange::ReadCassPoints(ReadAll(dat));
  ASSERT_EQ(relative.points.size(), 4u);
  EXPECT_EQ(relative.points[1].name, "QD左 行车道");
  for (const exchange::PointRecord& p : relative.points) EXPECT_FALSE(p.z.has_value()) << p.name;
}

// The DXF of the section command: the route and its stakes as the plan draws them, every break
// point beside the centre line on the side stakes' layer.
TEST_F(Exchange, SectionBreakPointsInThePlanDrawing) {
  files["section.csv"] = "side,part,width,slope\nleft,行车道,3.5,-2\nright,行车道,3.75,-2\n";
  const std::vector<std::string> section = {"section", "--jd", "route.csv", "--section", "section.csv",
                                            "--interval", "50"};
  const auto table = StakeTable(section);
  const std::string dxf = Path("section.dxf");
  std::vector<std::string> args = section;
  args.insert(args.end(), {"--out", dxf, "--format", "dxf"});
  ASSERT_EQ(Run(args).status, 0);
  Drawing drawing;
  std::ifstream in(dxf);
  ASSERT_TRUE(DL_Dxf().in(in, &drawing));
  ASSERT_EQ(drawing.arcs.size(), 2u);
  std::vector<std::vector<std::string>> edges;
  for (const auto& row : table) {
    if (row[3] != "设计线") edges.push_back(row);
  }
  ASSERT_EQ(drawing.sidePoints.size(), edges.size());
  for (std::size_t i = 0; i < edges.size(); ++i) {
    EXPECT_LE(std::hypot(drawing.sidePoints[i].x - std::stod(edges[i][9]), drawing.sidePoints[i].y - std::stod(edges[i][8])),
              0.001)
        << i;
  }
  // The drawing of the plan command with the same stakes, the break points added.
  EXPECT_EQ(drawing.stakes.size(), StakeTable({"stakes", "--jd", "route.csv", "--interval", "50"}).size());
}

}  // namespace
}  // namespace survey::alignment
