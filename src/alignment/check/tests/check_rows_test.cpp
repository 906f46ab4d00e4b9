// The check core called as the window calls it (typed inputs, no command line), on a straight
// route north from (1000, 2000), a profile rising 1 % from 49.00, lanes of 3.5 m at −2 % and
// shoulders of 0.75 m at −4 %. Design numbers worked by hand: at K0+100 the line is 50.000 and
// 2 m right 49.960; at K0+200 the line is 51.000.
#include "alignment/check/check_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "alignment/section/section_tables.h"
#include "alignment/table_reader.h"

namespace survey::alignment::check {
namespace {

RouteDesign Design(bool withProfile) {
  RouteDesign design = RouteFromJd(ReadJdTable("name,x,y,r\nQD,1000,2000\nZD,2000,2000\n"), 0, {});
  if (withProfile) SetProfileTable(design, "station,elevation\n0,49\n300,52\n");
  return design;
}

section::SectionModel Section(const RouteDesign& design) {
  section::SectionTables tables;
  tables.sectionFile = "section.csv";
  tables.section = section::ReadTypicalSection(
      "side,part,width,slope,super\nleft,行车道,3.5,-2,1\nleft,土路肩,0.75,-4,0\n"
      "right,行车道,3.5,-2,1\nright,土路肩,0.75,-4,0\n",
      tables.sectionFile);
  return section::SectionModel(std::move(tables), design.route.Stations());
}

struct Shot {
  const char* name;
  double x, y, z;
  double station = std::nan(""), offset = std::nan("");  // intended position
};

CheckPoints Points(const std::vector<Shot>& shots, bool intended) {
  CheckPoints p;
  for (std::size_t i = 0; i < shots.size(); ++i) {
    p.points.push_back({shots[i].name, shots[i].x, shots[i].y, shots[i].z});
    p.lines.push_back(static_cast<int>(i) + 2);
    if (intended) {
      p.station.push_back(shots[i].station);
      p.offset.push_back(shots[i].offset);
    }
  }
  return p;
}

struct Got {
  std::vector<CheckRow> rows;
  std::vector<std::string> names;
  CheckRun run;
};

Got Check(const RouteDesign& design, const section::SectionModel* model, const CheckPoints& points, ZTolerance z) {
  CheckInputs in;
  in.design = &design;
  in.section = model;
  in.points = &points;
  in.toleranceZ = z;
  Got got;
  got.run = ForEachCheckRow(in, {}, [&](const CheckRow& row, const CheckRun&) {
    got.rows.push_back(row);
    got.names.emplace_back(row.name);
  });
  return got;
}

TEST(CheckRows, TolerancesAtTheirLimitsAndTheDesignSurface) {
  const RouteDesign design = Design(true);
  const section::SectionModel model = Section(design);
  struct Case {
    Shot shot;
    double designZ;
    CheckResult result;
  };
  const Case cases[] = {
      {{"A", 1100, 2000, 50.010}, 50.000, CheckResult::Pass},   // dz +0.010: the upper limit passes
      {{"B", 1100, 2000, 49.985}, 50.000, CheckResult::Pass},   // dz −0.015: the lower limit passes
      {{"C", 1100, 2000, 49.984}, 50.000, CheckResult::Fail},   // −0.016 below it
      {{"P", 1200, 2000, 51.012}, 51.000, CheckResult::Fail},   // +0.012 over +0.010 (within ±0.015)
      {{"Q", 1200, 2000, 50.988}, 51.000, CheckResult::Pass},   // −0.012 within −0.015 (over −0.010)
      {{"R", 1100, 2002, 49.960}, 49.960, CheckResult::Pass},   // the lane's surface, not the line's 50.000
      {{"O", 990, 2000, 49.0}, std::nan(""), CheckResult::Outside},
  };
  std::vector<Shot> shots;
  for (const Case& c : cases) shots.push_back(c.shot);
  const Got got = Check(design, &model, Points(shots, false), {0.010, -0.015});
  ASSERT_EQ(got.rows.size(), std::size(cases));
  for (std::size_t i = 0; i < got.rows.size(); ++i) {
    const CheckRow& row = got.rows[i];
    EXPECT_EQ(got.names[i], cases[i].shot.name);
    EXPECT_EQ(row.result, cases[i].result) << cases[i].shot.name;
    if (std::isnan(cases[i].designZ)) {
      EXPECT_FALSE(row.inside || row.designZ || row.dz) << cases[i].shot.name;
      continue;
    }
    ASSERT_TRUE(row.designZ && row.dz) << cases[i].shot.name;
    EXPECT_NEAR(*row.designZ, cases[i].designZ, 1e-9) << cases[i].shot.name;
    EXPECT_NEAR(*row.dz, cases[i].shot.z - cases[i].designZ, 1e-9) << cases[i].shot.name;
    EXPECT_FALSE(row.distance);  // no intended positions: no horizontal check
  }
  EXPECT_EQ(got.run.summary.count, 7u);
  EXPECT_EQ(got.run.summary.passed, 4u);
  EXPECT_EQ(got.run.summary.failed, 3u);  // a point that could not be checked has not passed
  EXPECT_EQ(got.run.maxDzName, "C");
  EXPECT_EQ(CheckSummaryText(got.run, 3), "共 7 点，合格 4 点，不合格 3 点；最大高程偏差 -0.016 m（C）。");
  // Without a section the design is the profile on the line, 0.040 above the lane: R fails.
  const Got plain = Check(design, nullptr, Points({{"R", 1100, 2002, 49.960}}, false), {0.010, -0.015});
  EXPECT_NEAR(*plain.rows.at(0).designZ, 50.000, 1e-9);
  EXPECT_EQ(plain.rows[0].result, CheckResult::Fail);
}

TEST(CheckRows, IntendedPositionsOnTheRoutesDirection) {
  const RouteDesign design = Design(true);
  // D: meant for K0+100 +2, shot 0.04 north (along) and 0.03 east (right): 0.05 passes;
  // E: 0.06 along fails though its height passes; F: no intended position, height only.
  const Got got = Check(design, nullptr,
                      Points({{"D", 1100.04, 2002.03, 50.0004, 100, 2},
                              {"E", 1100.06, 2002, 50.0006, 100, 2},
                              {"F", 1100, 2000, 50.0}},
                             true),
                      {0.01, -0.01});
  ASSERT_EQ(got.rows.size(), 3u);
  EXPECT_TRUE(got.run.withIntended);
  EXPECT_NEAR(*got.rows[0].along, 0.04, 1e-9);
  EXPECT_NEAR(*got.rows[0].across, 0.03, 1e-9);
  EXPECT_NEAR(*got.rows[0].distance, 0.05, 1e-9);
  EXPECT_EQ(got.rows[0].result, CheckResult::Pass);
  EXPECT_NEAR(*got.rows[1].distance, 0.06, 1e-9);
  EXPECT_EQ(got.rows[1].result, CheckResult::Fail);
  EXPECT_FALSE(got.rows[2].distance);
  EXPECT_EQ(got.rows[2].result, CheckResult::Pass);
  EXPECT_EQ(got.run.maxXyName, "E");
}

TEST(CheckRows, Refusals) {
  const RouteDesign design = Design(true);
  const auto refused = [&](const RouteDesign& d, const CheckPoints& points) -> std::string {
    try {
      CheckInputs in;
      in.design = &d;
      in.points = &points;
      bool started = false;
      ForEachCheckRow(in, [&](const CheckRun&) { started = true; }, [](const CheckRow&, const CheckRun&) {});
      return started ? "started" : "not refused";
    } catch (const AlignmentError& e) {
      return e.what() + std::string(" @") + std::to_string(e.Line());
    }
  };
  // Both before `start`: nothing of the run is written.
  EXPECT_EQ(refused(Design(false), Points({{"A", 1100, 2000, 50}}, false)).substr(0, 12), "check 命令");
  EXPECT_EQ(refused(design, Points({{"A", 1100, 2000, 50}, {"B", 1100, 2000, 50}, {"A", 1100, 2001, 50}}, false)),
            "第 4 行：点名“A”与第 2 行重复。 @4");
  // An intended station off the route names its line.
  const std::string offRoute = refused(design, Points({{"A", 1100, 2000, 50, 100, 0}, {"B", 1100, 2000, 50, 5000, 0}}, true));
  EXPECT_EQ(offRoute.rfind("第 3 行：桩号", 0), 0u) << offRoute;
  EXPECT_NE(offRoute.find("在路线之外"), std::string::npos) << offRoute;
  EXPECT_EQ(offRoute.substr(offRoute.size() - 3), " @3");
}

TEST(CheckRows, FailuresFirstThenPassesThenOutsideEachInTableOrder) {
  const auto row = [](CheckResult r) {
    CheckRow c;
    c.result = r;
    return c;
  };
  using R = CheckResult;
  const std::vector<CheckRow> rows = {row(R::Pass), row(R::Outside), row(R::Fail), row(R::Pass),
                                      row(R::Fail), row(R::Outside), row(R::Pass)};
  EXPECT_EQ(FailuresFirst(rows), (std::vector<std::size_t>{2, 4, 0, 3, 6, 1, 5}));
  EXPECT_TRUE(FailuresFirst({}).empty());
}

}  // namespace
}  // namespace survey::alignment::check
