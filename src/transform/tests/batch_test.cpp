// The commands end to end in-process: CSV in, CSV out, notes and refusals on the error stream.
#include "transform/batch.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "alignment/table_reader.h"
#include "transform/fit.h"
#include "transform/projection.h"
#include "transform/transform_error.h"

namespace survey::transform {
namespace {

struct Outcome {
  int status = 0;
  std::string out, err;
};

struct Files {
  std::map<std::string, std::string> files;
  Outcome operator()(std::vector<std::string> args) {
    std::ostringstream out, err;
    const FileReader read = [&](const std::string& path) {
      const auto it = files.find(path);
      if (it == files.end()) Refuse("无法打开文件“" + path + "”。");
      return it->second;
    };
    const FileWriter write = [&](const std::string& path, const std::string& text) { files[path] = text; };
    Outcome r;
    r.status = RunBatch(args, out, err, read, write);
    r.out = out.str();
    r.err = err.str();
    return r;
  }
};

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(csv);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream l(line);
    while (std::getline(l, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.push_back("");
    rows.push_back(cells);
  }
  return rows;
}

// The digits of PROJ's cs2cs on the same definition (see projection_test.cpp).
TEST(Batch, ForwardWritesTheGridPointWithFactors) {
  Files f;
  f.files["p.csv"] = "点名,B,L,H\nK1,30.45254425,111.17583596,123.4\n";
  const Outcome r = f({"forward", "--meridian", "111", "--points", "p.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto rows = Rows(r.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "name,x,y,h,convergence,scale");
  EXPECT_EQ(rows[1][0], "K1");
  EXPECT_EQ(rows[1][1], "3404079.3582");
  EXPECT_EQ(rows[1][2], "528680.0889");
  EXPECT_EQ(rows[1][3], "123.4000");
  EXPECT_EQ(rows[1][4].substr(0, 5), "0.091");  // γ ≈ 0.3° · sin 30.76° ≈ 9′ east
  EXPECT_EQ(rows[1][5].substr(0, 7), "1.00001");
}

TEST(Batch, PrefixWrittenAndReadBack) {
  Files f;
  f.files["p.csv"] = "name,B,L\nK1,30.45254425,111.17583596\n";
  const Outcome fw = f({"forward", "--zone", "37", "--prefix", "--points", "p.csv"});
  ASSERT_EQ(fw.status, 0) << fw.err;
  EXPECT_EQ(Rows(fw.out)[1][2], "37528680.0889");
  // The zone comes from the prefix when no option gives it.
  f.files["g.csv"] = "name,x,y\nK1,3404079.3582,37528680.0889\n";
  const Outcome inv = f({"inverse", "--points", "g.csv"});
  ASSERT_EQ(inv.status, 0) << inv.err;
  EXPECT_EQ(Rows(inv.out)[1][1], "30.452544250");
  EXPECT_EQ(Rows(inv.out)[1][2], "111.175835960");
  // A prefix that contradicts the zone is refused with its line.
  const Outcome bad = f({"inverse", "--meridian", "114", "--points", "g.csv"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("第 2 行"), std::string::npos) << bad.err;
  EXPECT_TRUE(bad.out.empty());
  // Zone 19 of 6° zones has the same meridian: accepted.
  f.files["g6.csv"] = "name,x,y\nK1,3404079.3582,19528680.0889\n";
  EXPECT_EQ(f({"inverse", "--meridian", "111", "--points", "g6.csv"}).status, 0);
}

// Zone 37 (111°) to 38 (114°) and back returns every point within 0.1 mm; both directions
// agree with the projection done from B, L directly.
TEST(Batch, RezoneBothDirections) {
  Files f;
  GaussKruger a, b;
  a.centralMeridian = 111, b.centralMeridian = 114;
  const TransverseMercator ta(a.Definition()), tb(b.Definition());
  std::string table = "name,x,y,h\n";
  std::vector<GeodeticPoint> points;
  for (int i = 0; i < 5; ++i) {
    const GeodeticPoint g{30 + 0.3 * i, 112.2 + 0.15 * i};
    points.push_back(g);
    const GridPoint p = ta.Forward(g);
    table += "P" + std::to_string(i) + "," + FixedText(p.x, 6) + "," + FixedText(p.y, 6) + ",10\n";
  }
  f.files["a.csv"] = table;
  const Outcome ab = f({"rezone", "--zone", "37", "--to-zone", "38", "--points", "a.csv"});
  ASSERT_EQ(ab.status, 0) << ab.err;
  f.files["b.csv"] = ab.out;
  const Outcome ba = f({"rezone", "--meridian", "114", "--to-meridian", "111", "--points", "b.csv"});
  ASSERT_EQ(ba.status, 0) << ba.err;
  const auto rowsB = Rows(ab.out), rowsA = Rows(ba.out), rowsIn = Rows(table);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const GridPoint expected = tb.Forward(points[i]);
    EXPECT_NEAR(std::stod(rowsB[i + 1][1]), expected.x, 0.6e-4);
    EXPECT_NEAR(std::stod(rowsB[i + 1][2]), expected.y, 0.6e-4);
    EXPECT_NEAR(std::stod(rowsA[i + 1][1]), std::stod(rowsIn[i + 1][1]), 1e-4);
    EXPECT_NEAR(std::stod(rowsA[i + 1][2]), std::stod(rowsIn[i + 1][2]), 1e-4);
    EXPECT_EQ(rowsA[i + 1][3], "10.0000");
  }
  // A change of projection height alone moves y away from 500 km by (a+H)/a.
  const Outcome h = f({"rezone", "--zone", "37", "--to-zone", "37", "--to-height", "1000", "--points", "a.csv"});
  ASSERT_EQ(h.status, 0) << h.err;
  const double s = (6378137.0 + 1000) / 6378137.0;
  EXPECT_NEAR(std::stod(Rows(h.out)[1][2]) - 500000, s * (std::stod(rowsIn[1][2]) - 500000), 1e-4);
}

// An independent figure: PROJ's cs2cs from "+proj=tmerc +lon_0=111 +k=1 +x_0=500000
// +ellps=GRS80" to the same with +lon_0=114 takes 528680.0889 3404079.3582 to
// 241397.4840 3407159.0346.
TEST(Batch, RezoneMatchesTheCommandLineTool) {
  Files f;
  f.files["g.csv"] = "name,x,y\nK1,3404079.3582,37528680.0889\n";
  const Outcome r = f({"rezone", "--to-zone", "38", "--prefix", "--points", "g.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "name,x,y,h\nK1,3407159.0346,38241397.4840,\n");
}

// fit4 names the disturbed point; the parameter file it writes converts points with apply4.
TEST(Batch, FitFourThenApply) {
  Files f;
  const FourParameters truth{-1234.5, 2345.25, 8.5, 1.000015};
  std::string table = "点名,原X,原Y,新X,新Y\n";
  const Plane from[] = {{3404000, 528000}, {3405000, 529500}, {3403000, 531000}, {3406500, 527000}, {3402200, 530000}};
  for (int i = 0; i < 5; ++i) {
    Plane to = Apply(truth, from[i]);
    if (i == 2) to.y += 0.15;
    table += "Q" + std::to_string(i) + "," + FixedText(from[i].x, 4) + "," + FixedText(from[i].y, 4) + "," +
             FixedText(to.x, 6) + "," + FixedText(to.y, 6) + "\n";
  }
  f.files["c.csv"] = table;
  const Outcome fit = f({"fit4", "--points", "c.csv", "--out", "p.tparam"});
  ASSERT_EQ(fit.status, 0) << fit.err;
  EXPECT_EQ(fit.out.substr(0, fit.out.find('\n')), "name,vx,vy,v");
  EXPECT_NE(fit.err.find("残差超过 0.0500 m 的点：Q2"), std::string::npos) << fit.err;
  EXPECT_EQ(fit.err.find("Q1"), std::string::npos) << fit.err;
  EXPECT_NE(fit.err.find("p.tparam"), std::string::npos);
  ASSERT_TRUE(f.files.contains("p.tparam"));
  // A raised limit names nobody.
  EXPECT_EQ(f({"fit4", "--points", "c.csv", "--max-residual", "0.5"}).err.find("残差超过"), std::string::npos);

  f.files["pts.csv"] = "name,x,y,h\nA,3404500,529000,88.8\n";
  const Outcome apply = f({"apply4", "--param", "p.tparam", "--points", "pts.csv"});
  ASSERT_EQ(apply.status, 0) << apply.err;
  const Plane expected = Apply(ReadFourParameterFile(f.files["p.tparam"]), {3404500, 529000});
  EXPECT_EQ(Rows(apply.out)[1][1], FixedText(expected.x, 4));
  EXPECT_EQ(Rows(apply.out)[1][2], FixedText(expected.y, 4));
  EXPECT_EQ(Rows(apply.out)[1][3], "88.8000");
  EXPECT_NEAR(expected.x, Apply(truth, {3404500, 529000}).x, 0.1);
  // The wrong kind of parameter file is refused.
  EXPECT_EQ(f({"apply7", "--param", "p.tparam", "--points", "pts.csv"}).status, 2);
}

// fit7 from B, L, H on two ellipsoids, then apply7 takes B, L, H to the grid of the second.
TEST(Batch, FitSevenFromGeodeticThenApplyToGrid) {
  Files f;
  const SevenParameters truth{-20.5, 110.25, 60.75, 1.5, -2.25, 3.0, 4.5};
  const GeocentricConverter w(Wgs84()), k(Beijing1954());
  std::string table = "name,B_from,L_from,H_from,B_to,L_to,H_to\n";
  const double blh[][3] = {{30.5, 111.0, 50}, {31.5, 112.5, 120}, {29.5, 112.0, 800}, {31.0, 110.0, 300}};
  for (const auto& g : blh) {
    const Geocentric a = w.ToGeocentric({g[0], g[1]}, g[2]);
    const Space b = Apply(truth, {a.X, a.Y, a.Z});
    const auto [to, h] = k.ToGeodetic({b.X, b.Y, b.Z});
    table += "G," + FixedText(g[0], 12) + "," + FixedText(g[1], 12) + "," + FixedText(g[2], 4) + "," +
             FixedText(to.B, 12) + "," + FixedText(to.L, 12) + "," + FixedText(h, 6) + "\n";
  }
  f.files["c.csv"] = table;
  const Outcome fit = f({"fit7", "--points", "c.csv", "--degrees", "--ellipsoid", "wgs84", "--to-ellipsoid", "bj54", "--out", "s.tparam"});
  ASSERT_EQ(fit.status, 0) << fit.err;
  EXPECT_EQ(fit.out.substr(0, fit.out.find('\n')), "name,vX,vY,vZ,v");
  const SevenParameters got = ReadSevenParameterFile(f.files["s.tparam"]);
  EXPECT_NEAR(got.dX, truth.dX, 0.01);
  EXPECT_NEAR(got.rz, truth.rz, 0.001);
  EXPECT_NEAR(got.ppm, truth.ppm, 0.001);

  f.files["g.csv"] = "name,B,L,H\nN1,30.75,111.25,100\n";
  const Outcome apply = f({"apply7", "--param", "s.tparam", "--points", "g.csv", "--degrees", "--ellipsoid", "wgs84",
                       "--to-ellipsoid", "bj54", "--zone", "37"});
  ASSERT_EQ(apply.status, 0) << apply.err;
  EXPECT_EQ(apply.out.substr(0, apply.out.find('\n')), "name,x,y,h");
  const Geocentric a = w.ToGeocentric({30.75, 111.25}, 100);
  const Space b = Apply(got, {a.X, a.Y, a.Z});
  const auto [g, h] = k.ToGeodetic({b.X, b.Y, b.Z});
  GaussKruger gk;
  gk.ellipsoid = Beijing1954();
  gk.centralMeridian = 111;
  const GridPoint p = TransverseMercator(gk.Definition()).Forward(g);
  EXPECT_EQ(Rows(apply.out)[1][1], FixedText(p.x, 4));
  EXPECT_EQ(Rows(apply.out)[1][2], FixedText(p.y, 4));
  EXPECT_EQ(Rows(apply.out)[1][3], FixedText(h, 4));
}

// What transform writes, the alignment program reads as its points table (locate --points).
TEST(Batch, OutputReadsAsAlignmentPointsTable) {
  Files f;
  f.files["grid.csv"] = "name,x,y,h\nK1,3404079.3582,528680.0889,12\n";
  const Outcome rz = f({"rezone", "--zone", "37", "--to-zone", "37", "--points", "grid.csv"});
  ASSERT_EQ(rz.status, 0) << rz.err;
  const alignment::PointTable t = alignment::ReadPointTable(rz.out);
  ASSERT_EQ(t.rows.size(), 1u);
  EXPECT_EQ(t.rows[0].name, "K1");
  EXPECT_NEAR(t.rows[0].x, 3404079.3582, 1e-4);
  EXPECT_NEAR(t.rows[0].y, 528680.0889, 1e-4);
}

// Every refusal: status 2, nothing on the output, the message names the line (or the option).
TEST(Batch, Refusals) {
  struct Case {
    std::vector<std::string> args;
    std::string table;
    std::string message;
  };
  const Case cases[] = {
      {{"forward", "--zone", "37"}, "name,B,L\nA,30,111\nB,90.3,111\n", "第 3 行：纬度超出"},
      {{"forward", "--zone", "37", "--degrees"}, "name,B,L\nA,30,111\nB,-90.5,111\n", "第 3 行：纬度超出"},
      {{"forward", "--zone", "37", "--degrees"}, "name,B,L\n# far west\nA,30,100.5\n", "第 3 行：经度距中央子午线"},
      {{"forward", "--zone", "37"}, "name,B,L\nA,30.6,111\n", "第 2 行：B 不是度.分秒"},
      {{"forward", "--zone", "37"}, "name,B,L\nA,abc,111\n", "第 2 行：B 不是度.分秒"},
      {{"forward", "--zone", "37"}, "name,B,L\nA,,111\n", "第 2 行：B 不能为空"},
      {{"forward", "--zone", "37", "--degrees"}, "name,B,L\nA,30.5,1l1\n", "第 2 行：L 不是十进制度数"},
      {{"forward"}, "name,B,L\nA,30,111\n", "--meridian"},
      {{"forward", "--meridian", "111.1234", "--prefix"}, "name,B,L\nA,30,111\n", "--prefix 需要带号"},
      {{"forward", "--zone", "37", "--ellipsoid", "grs67"}, "name,B,L\nA,30,111\n", "椭球"},
      {{"forward", "--zone", "37", "--zone-width", "4"}, "name,B,L\nA,30,111\n", "--zone-width"},
      {{"forward", "--zone", "37", "--meridian", "111"}, "name,B,L\nA,30,111\n", "只能给出一个"},
      {{"forward", "--zone", "37", "--height", "x"}, "name,B,L\nA,30,111\n", "--height 不是数字"},
      {{"forward", "--zone", "37"}, "name,B,Q\nA,30,111\n", "第 1 行"},
      {{"inverse", "--zone", "37"}, "name,x,y\nA,3400000,528000\nB,3400000,5x8000\n", "第 3 行：y 不是数字"},
      {{"inverse", "--zone", "37"}, "name,x,y,h\nA,3400000,528000,abc\n", "第 2 行：h 不是数字"},
      {{"inverse", "--zone", "37"}, "name,x,y\nA,3400000,528000\nB,99999999,528000\n", "第 3 行：坐标远在"},
      {{"inverse"}, "name,x,y\nA,3400000,528000\n", "--meridian"},
      {{"rezone", "--zone", "37"}, "name,x,y\nA,3400000,528000\n", "--to-meridian"},
      {{"rezone", "--zone", "37", "--to-zone", "41"}, "name,x,y\nA,3400000,528000\n", "第 2 行：目标带"},
      {{"fit4"}, "name,x_from,y_from,x_to,y_to\nA,1000,2000,1010,2010\n", "至少需要 2 个公共点"},
      {{"fit4"}, "name,x_from,y_from,x_to,y_to\nA,1000,2000,1010,2010\nB,1000,2000,1011,2011\n", "重合"},
      {{"fit4"}, "name,x_from,y_from,x_to,y_to\nA,1000,2000,1010,2010\nB,1100,2,1011,q\n", "第 3 行：y_to 不是数字"},
      {{"fit4", "--max-residual", "-1"}, "name,x_from,y_from,x_to,y_to\nA,1,2,3,4\n", "--max-residual"},
      {{"fit7"},
       "name,X_from,Y_from,Z_from,X_to,Y_to,Z_to\nA,-2e6,5e6,3e6,-2e6,5e6,3e6\nB,-2.1e6,5.1e6,3.1e6,-2.1e6,5.1e6,3.1e6\n",
       "至少需要 3 个公共点"},
      {{"fit7"},
       "name,X_from,Y_from,Z_from,X_to,Y_to,Z_to\nA,-2e6,5e6,3e6,-2e6,5e6,3e6\nB,-2.1e6,5.1e6,3.1e6,-2.1e6,5.1e6,3.1e6\n"
       "C,-2.2e6,5.2e6,3.2e6,-2.2e6,5.2e6,3.2e6\n",
       "一条直线"},
      {{"fit7"}, "name,X_from,Y_from,Z_from,B_to,L_to,H_to\nA,1,2,3,4,5,6\n", "点表的列"},
      {{"fit7"}, "name,B_from,L_from,H_from,B_to,L_to,H_to\nA,30,111,0,30,111,0\n", "--to-ellipsoid"},
      {{"apply4", "--param", "none.tparam"}, "name,x,y\nA,1,2\n", "无法打开文件"},
      {{"apply4"}, "name,x,y\nA,1,2\n", "--param"},
  };
  for (const Case& c : cases) {
    Files f;
    f.files["t.csv"] = c.table;
    std::vector<std::string> args = c.args;
    args.push_back("--points");
    args.push_back("t.csv");
    const Outcome r = f(args);
    EXPECT_EQ(r.status, 2) << c.message << "\n" << r.out;
    EXPECT_TRUE(r.out.empty()) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << "expected “" << c.message << "” in: " << r.err;
  }
}

TEST(Batch, CommandLineRefusalsAndHelp) {
  Files f;
  EXPECT_EQ(f({"--help"}).status, 0);
  EXPECT_NE(f({}).out.find("usage: transform"), std::string::npos);
  EXPECT_NE(f({"forward", "--help"}).out.find("rezone"), std::string::npos);
  const Outcome unknown = f({"project"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
  const Outcome option = f({"fit4", "--zone", "37"});  // fit4 takes no zone
  EXPECT_EQ(option.status, 2);
  EXPECT_TRUE(option.out.empty());
}

}  // namespace
}  // namespace survey::transform
