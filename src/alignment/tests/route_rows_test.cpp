// The typed route API under the command line and the window: the route value with its profile
// and import notes, the rows of the queries, and refusals that name their table line.
#include "alignment/route_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
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

}  // namespace
}  // namespace survey::alignment
