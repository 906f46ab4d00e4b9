// The typed route API under the command line and the window: the route value with its profile
// and import notes, the rows of the queries, and refusals that name their table line.
#include "alignment/route_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>
#include <algorithm>

#include "alignment/alignment_error.h"
#include "alignment/result_table.h"
#include "alignment/row_layout.h"
#include "alignment/table_reader.h"

namespace survey::alignment {
namespace {

// A straight due north from (0, 0), 1200 m: chainage = station = X, offset = Y.
RouteDesign Straight() { return RouteFromJd({{"QD", 0, 0}, {"ZD", 1200, 0}}, 0, {}); }

// +2 % to -2 % at 300 (crest R 4000: T 80, E 0.8), then +3 % from 600 on (sag R 5000).
const char* const kProfile = "station,elevation,r\n0,100,\n300,106,4000\n600,100,5000\n1000,112,0\n";

TEST(RouteDesign, LandXmlEndDifferenceIsANoteOfTheValue) {
  // The Line's stored End is 0.4 mm past the 100 m its length and direction give.
  const std::string xml =
      "<?xml version=\"1.0\"?><LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">"
      "<Units><Metric linearUnit=\"meter\" angularUnit=\"radians\"/></Units><Alignments>"
      "<Alignment name=\"A\" staStart=\"0\" length=\"200\"><CoordGeom>"
      "<Line length=\"100\"><Start>0 0</Start><End>100 0</End></Line>"
      "<Line length=\"100\"><Start>100 0</Start><End>200.0004 0</End></Line>"
      "</CoordGeom></Alignment></Alignments></LandXML>";
  const RouteDesign design = RouteFromLandXml(xml, {});
  EXPECT_NEAR(design.route.Length(), 200, 1e-9);
  ASSERT_EQ(design.notes.size(), 1u);
  EXPECT_EQ(design.notes[0], "LandXML 各线元推算终点与文件 End 的最大差 0.400 mm（第 2 个线元）。");
  EXPECT_FALSE(design.profile.has_value());
}

TEST(RouteDesign, ARefusedProfileTableLeavesTheProfileThatWasThere) {
  RouteDesign design = Straight();
  SetProfileTable(design, kProfile);
  ASSERT_TRUE(design.profile.has_value());
  // Out of station order: refused, and the profile already set stays.
  EXPECT_THROW(SetProfileTable(design, "station,elevation,r\n300,100,\n100,106,\n"), AlignmentError);
  ASSERT_TRUE(design.profile.has_value());
  EXPECT_EQ(design.profile->stations, (std::vector<double>{0, 300, 600, 1000}));
}

TEST(RouteRows, LocateRowsKeepTheOrderOfThePointsAcrossBlocksAndCores) {
  const RouteDesign design = Straight();
  // More than one block of 65,536, so both the cores and the blocks split the work.
  std::vector<SurveyedPoint> points;
  for (int i = 0; i < 70'000; ++i) points.push_back({"", (i * 7919) % 1400 - 100.0, (i % 13) - 6.0, std::nullopt});
  std::size_t n = 0;
  ForEachLocateRow(design, points, false, [&](const LocateRow& row) {
    const SurveyedPoint& p = points[n++];
    ASSERT_EQ(row.x, p.x);
    const bool inside = p.x >= 0 && p.x <= 1200;
    ASSERT_EQ(row.inside, inside) << p.x;
    if (inside) {
      ASSERT_NEAR(row.station, p.x, 1e-9);
      ASSERT_NEAR(row.offset, p.y, 1e-9);
    }
  });
  EXPECT_EQ(n, points.size());
}

TEST(RouteRows, LocateElevationAndDzOnlyWhereBothAreKnown) {
  RouteDesign design = Straight();
  SetProfileTable(design, kProfile);
  const std::vector<SurveyedPoint> points = {{"A", 300, 4, 105.5},       // on the crest: 106 - 0.8
                                             {"B", 485, -2, std::nullopt},  // no z: elevation, no dz
                                             {"C", 1100, 0, 1.0},       // past the profile
                                             {"D", -50, 0, 1.0}};       // before the route
  std::vector<LocateRow> rows;
  ForEachLocateRow(design, points, true, [&](const LocateRow& row) { rows.push_back(row); });
  ASSERT_EQ(rows.size(), 4u);
  ASSERT_TRUE(rows[0].elevation && rows[0].dz);
  EXPECT_NEAR(rows[0].elevation->elevation, 105.2, 1e-9);
  EXPECT_NEAR(*rows[0].dz, 0.3, 1e-9);
  EXPECT_TRUE(rows[1].elevation && !rows[1].dz);
  EXPECT_TRUE(rows[2].inside && !rows[2].elevation && !rows[2].dz);
  EXPECT_TRUE(!rows[3].inside && !rows[3].elevation && !rows[3].dz);
  // Without asking for the profile the rows carry none, though the design has one.
  ForEachLocateRow(design, points, false, [&](const LocateRow& row) { EXPECT_FALSE(row.elevation); });
}

TEST(RouteRows, StakeRowsCarrySidesAndElevationsWhereTheProfileReaches) {
  RouteDesign design = Straight();
  SetProfileTable(design, kProfile);
  StakeQuery query;
  query.range.interval = 500;
  query.offsets = {-5, 2.5};
  std::vector<StakeRow> rows;
  ForEachStakeRow(design, query, [&](const StakeRow& row) { rows.push_back(row); });
  ASSERT_EQ(rows.size(), 4u);  // QD, 500, 1000, ZD
  EXPECT_EQ(rows[0].name, "QD");
  EXPECT_EQ(rows[3].name, "ZD");
  ASSERT_EQ(rows[1].sides.size(), 2u);
  EXPECT_NEAR(rows[1].sides[0].y, -5, 1e-9);
  EXPECT_NEAR(rows[1].sides[1].y, 2.5, 1e-9);
  EXPECT_NEAR(rows[1].sides[1].x, 500, 1e-9);
  ASSERT_TRUE(rows[1].elevation.has_value());
  EXPECT_NEAR(rows[1].elevation->gradeElevation, 102, 1e-9);  // -2 % from 106 at 300
  EXPECT_TRUE(rows[2].elevation.has_value());
  EXPECT_FALSE(rows[3].elevation.has_value());  // ZD at 1200, past the profile's 1000
}

TEST(RouteRows, StakeoutGivesEachCentreStakeThenItsSides) {
  const RouteDesign design = Straight();
  const StakeoutStation instrument(0, -10, 100, -10);  // backsight due north
  StakeQuery query;
  query.range.interval = 600;
  query.offsets = {10};
  std::vector<StakeoutRow> rows;
  ForEachStakeoutRow(design.route, instrument, query, [&](const StakeoutRow& row) { rows.push_back(row); });
  ASSERT_EQ(rows.size(), 6u);  // QD, 600, ZD with one side each
  EXPECT_FALSE(rows[0].offset);
  ASSERT_TRUE(rows[1].offset);
  EXPECT_EQ(*rows[1].offset, 10);
  EXPECT_NEAR(rows[1].aim.distance, 20, 1e-9);  // (0, 10) from (0, -10)
  EXPECT_NEAR(rows[1].aim.angle, std::acos(-1) / 2, 1e-12);
  EXPECT_NEAR(rows[2].station, 600, 1e-9);
}

TEST(RouteRows, TableRefusalsCarryTheLineTheyName) {
  const auto lineOf = [](const std::string& table) {
    try {
      ReadJdTable(table);
    } catch (const AlignmentError& e) {
      return e.Line();
    }
    return -1;
  };
  EXPECT_EQ(lineOf("# a comment\nname,x,y,r,ls1,ls2\nQD,0,0\n\nJD1,1000,abc,500\nZD,1,1\n"), 5);
  EXPECT_EQ(lineOf("name,x,q\nQD,0,0\n"), 1);
  // A geometry refusal names no table line.
  try {
    Straight().route.ChainageAtStation(5000);
    FAIL();
  } catch (const AlignmentError& e) {
    EXPECT_EQ(e.Line(), 0);
  }
}


// QD due south of JD1, JD1 turning right towards JD2, JD2 turning left towards ZD; asymmetric
// transitions on JD2. Start K10+000.
Route CurveTableRoute() {
  return BuildRouteFromJd({{"QD", 0, 0, 0, 0, 0},
                           {"JD1", 1000, 0, 500, 100, 100},
                           {"JD2", 1500, 600, 400, 80, 60},
                           {"ZD", 2600, 700, 0, 0, 0}},
                          10000, {});
}

double Degrees(double radians) { return radians * 180 / std::numbers::pi; }

TEST(CurveTable, QdAndZdFrameTheJdsAndEveryLegIsMeasuredFromTheCoordinates) {
  const Route route = CurveTableRoute();
  const std::vector<CurveTableRow> rows = CurveRows(route);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].kind, CurveRowKind::Start);
  EXPECT_EQ(rows[0].name, "QD");
  EXPECT_EQ(rows[3].kind, CurveRowKind::End);
  EXPECT_EQ(rows[3].name, "ZD");
  EXPECT_NEAR(rows[3].x, 2600, 1e-6);
  EXPECT_NEAR(rows[3].y, 700, 1e-6);
  // Distances and azimuths by hand from the typed coordinates (X north, Y east).
  const double legs[][2] = {{1000, 0}, {781.0249675906654, 50.19442890773481}, {1104.5361017187261, 5.194428907734806}};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(rows[i].jdDistance && rows[i].azimuth);
    EXPECT_NEAR(*rows[i].jdDistance, legs[i][0], 1e-9);
    EXPECT_NEAR(Degrees(*rows[i].azimuth), legs[i][1], 1e-10);
  }
  EXPECT_FALSE(rows[3].jdDistance || rows[3].azimuth || rows[3].straightAfter);
  // 交点桩号: the first JD lies a leg from the start; each next one a leg on, less the
  // previous JD's J; ZD likewise. And it is ZH + T1.
  EXPECT_NEAR(rows[0].jdStation, 10000, 1e-9);
  EXPECT_NEAR(rows[1].jdStation, 11000, 1e-9);
  EXPECT_NEAR(rows[2].jdStation, 11000 + legs[1][0] - rows[1].j, 1e-9);
  EXPECT_NEAR(rows[3].jdStation, rows[2].jdStation + legs[2][0] - rows[2].j, 1e-9);
  EXPECT_NEAR(rows[3].jdStation, 10000 + route.Length(), 1e-9);
  for (int i : {1, 2}) EXPECT_NEAR(rows[static_cast<std::size_t>(i)].jdStation, rows[static_cast<std::size_t>(i)].zh + rows[static_cast<std::size_t>(i)].t1, 1e-12);
  // The straights: QD to ZH, HZ to ZH, HZ to ZD.
  ASSERT_TRUE(rows[0].straightAfter && rows[1].straightAfter && rows[2].straightAfter);
  EXPECT_NEAR(*rows[0].straightAfter, 1000 - rows[1].t1, 1e-9);
  EXPECT_NEAR(*rows[1].straightAfter, legs[1][0] - rows[1].t2 - rows[2].t1, 1e-9);
  EXPECT_NEAR(*rows[2].straightAfter, legs[2][0] - rows[2].t2, 1e-9);
  EXPECT_TRUE(rows[1].turnRight);
  EXPECT_FALSE(rows[2].turnRight);
}

TEST(CurveTable, AJdTableWithoutCurveIsTheStraightFromQdToZd) {
  const std::vector<CurveTableRow> rows = CurveRows(RouteFromJd({{"QD", 0, 0}, {"ZD", 300, 400}}, 500, {}).route);
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_TRUE(rows[0].straightAfter && rows[0].jdDistance);
  EXPECT_NEAR(*rows[0].straightAfter, 500, 1e-9);
  EXPECT_NEAR(*rows[0].jdDistance, 500, 1e-9);
  EXPECT_NEAR(rows[1].jdStation, 1000, 1e-9);
}

TEST(CurveTable, ElementRouteListsQdTheJdsReadBackAndZd) {
  const Route jd = CurveTableRoute();
  std::vector<ElementShape> shapes;
  for (const Element& e : jd.Elements()) shapes.push_back({e.kind, e.length, e.startCurvature, e.endCurvature});
  const Route elements = BuildRouteFromElements(jd.Elements().front().start, 10000, shapes, {});
  const std::vector<ElementCurveRow> got = ElementCurveRows(elements);
  const std::vector<CurveTableRow> want = CurveRows(jd);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(got[i].jd);
    EXPECT_EQ(got[i].jd->kind, want[i].kind);
    EXPECT_NEAR(got[i].jd->jdStation, want[i].jdStation, 1e-6);
    EXPECT_EQ(got[i].jd->jdDistance.has_value(), want[i].jdDistance.has_value());
    if (want[i].jdDistance) {
      EXPECT_NEAR(*got[i].jd->jdDistance, *want[i].jdDistance, 1e-6);
    }
    EXPECT_EQ(got[i].jd->straightAfter.has_value(), want[i].straightAfter.has_value());
    if (want[i].straightAfter) {
      EXPECT_NEAR(*got[i].jd->straightAfter, *want[i].straightAfter, 1e-6);
    }
  }
}

// The machine form the command line prints, and the display form of the window's grids, cell
// by cell for the same rows.
TEST(CurveTable, MachineAndDisplayCells) {
  ResultTable table(ResultTable::Kind::Curves, layout::CurveKeys(), CellFormat{3, AngleUnit::PackedDms});
  table.curves = CurveRows(CurveTableRoute());
  const std::vector<std::string>& keys = table.Keys();
  const auto at = [&](const std::vector<std::string>& cells, const std::string& key) {
    return cells[static_cast<std::size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin())];
  };
  ASSERT_EQ(table.Cells(0).size(), keys.size());
  ASSERT_EQ(table.Cells(1).size(), keys.size());
  const std::vector<std::string> qd = table.Cells(0), qdShown = table.DisplayCells(0);
  for (const char* key : {"turn", "alpha", "r", "t1", "zh", "hy", "qz", "hz"}) {
    EXPECT_EQ(at(qd, key), "") << key;
    EXPECT_EQ(at(qdShown, key), "") << key;
  }
  EXPECT_EQ(at(qd, "jd_station"), "10000.000");
  EXPECT_EQ(at(qdShown, "jd_station"), "K10+000.000");
  EXPECT_EQ(at(qd, "azimuth"), "0.000000");
  EXPECT_EQ(at(qdShown, "azimuth"), "0°00′00.00″");
  const std::vector<std::string> jd1 = table.Cells(1), jd1Shown = table.DisplayCells(1);
  EXPECT_EQ(at(jd1, "name"), "JD1");
  EXPECT_EQ(at(jd1, "turn"), "right");
  EXPECT_EQ(at(jd1Shown, "turn"), "右");
  EXPECT_EQ(at(table.DisplayCells(2), "turn"), "左");
  // 50.194428907734...° = 50°11′39.94″.
  EXPECT_EQ(at(jd1, "alpha"), "50.113994");
  EXPECT_EQ(at(jd1Shown, "alpha"), "50°11′39.94″");
  EXPECT_EQ(at(jd1, "azimuth"), "50.113994");
  EXPECT_EQ(at(jd1, "jd_station"), "11000.000");
  EXPECT_EQ(at(jd1Shown, "jd_station"), "K11+000.000");
  EXPECT_EQ(at(jd1, "jd_distance"), "781.025");
  EXPECT_EQ(at(jd1Shown, "jd_distance"), "781.025");
  EXPECT_EQ(at(jd1Shown, "x"), "1000.000");
  EXPECT_EQ(at(jd1Shown, "zh").rfind("K10+", 0), 0u);
  EXPECT_EQ(at(table.DisplayCells(3), "jd_distance"), "");

  ResultTable degrees(ResultTable::Kind::Curves, layout::CurveKeys(), CellFormat{2, AngleUnit::Degrees});
  degrees.curves = table.curves;
  EXPECT_EQ(at(degrees.DisplayCells(1), "alpha"), "50.19442891°");
  EXPECT_EQ(at(degrees.DisplayCells(1), "jd_station"), "K11+000.00");
}

TEST(ResultCells, LocateStatusAndStationsInBothForms) {
  const RouteDesign design = Straight();
  ResultTable table(ResultTable::Kind::Locate, layout::LocateKeys(false, false), CellFormat{3, AngleUnit::PackedDms});
  const std::vector<SurveyedPoint> points = {{"P1", 469.8254, 2, std::nullopt}, {"P2", 1300, 0, std::nullopt}};
  ForEachLocateRow(design, points, false, [&](const LocateRow& row) { table.located.push_back(row); });
  ASSERT_EQ(table.RowCount(), 2u);
  EXPECT_EQ(table.Cells(0), (std::vector<std::string>{"P1", "469.825", "2.000", "469.825", "2.000", "ok"}));
  EXPECT_EQ(table.DisplayCells(0), (std::vector<std::string>{"P1", "469.825", "2.000", "K0+469.825", "2.000", "正常"}));
  EXPECT_EQ(table.Cells(1), (std::vector<std::string>{"P2", "1300.000", "0.000", "", "", "outside"}));
  EXPECT_EQ(table.DisplayCells(1), (std::vector<std::string>{"P2", "1300.000", "0.000", "", "", "超出路线"}));
}

}  // namespace
}  // namespace survey::alignment
