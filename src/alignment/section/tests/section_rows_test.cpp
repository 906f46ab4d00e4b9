#include "alignment/section/section_rows.h"

#include <gtest/gtest.h>

namespace survey::alignment::section {
namespace {

// A straight route heading north (+x) from (1000, 2000), stations from K0+000: a side stake d
// metres right lies at y = 2000 + d.
Route NorthRoute() { return BuildRouteFromJd({{"QD", 1000, 2000}, {"ZD", 2000, 2000}}, 0, {}); }

SectionModel Model(const Route& route) {
  SectionTables t;
  t.section = ReadTypicalSection(
      "side,part,width,slope,super\nleft,行车道,3.5,-2,1\nleft,土路肩,0.75,-4,0\nright,行车道,3.5,-2,1\n", "s.csv");
  t.superelevation = ReadSuperelevationTable("station,left,right\nK0+100,-2,-2\nK0+200,6,-6\n", "e.csv");
  t.widening = ReadWideningTable("station,left,right\nK0+100,0,0\nK0+200,0,1\n", "w.csv");
  return SectionModel(std::move(t), route.Stations());
}

TEST(SectionRows, BreakPointsWithTheirSideStakesAndTheProfileThatReachesThem) {
  const Route route = NorthRoute();
  const SectionModel model = Model(route);
  // The profile rises 1 % from 50.00 at chainage 100 to 51.00 at chainage 200.
  const Profile profile({{"", 100, 50, 0}, {"", 200, 51, 0}});
  std::vector<SectionRow> rows;
  AppendSectionRows(route, SectionAt(model, &profile, 150), 150, rows);
  ASSERT_EQ(rows.size(), 4u);
  // Design line at the profile's 50.50; left lane +2 % over 3.5 m, its shoulder -4 % over 0.75;
  // the right lane widened by 0.5 m at -4 %.
  const struct {
    bool line;
    const char* part;
    double offset, width, slope, z, y;
  } expected[] = {{true, nullptr, 0, 0, 0, 50.50, 2000},
                  {false, "行车道", -3.5, 3.5, 2, 50.57, 1996.5},
                  {false, "土路肩", -4.25, 0.75, -4, 50.54, 1995.75},
                  {false, "行车道", 4.0, 4.0, -4, 50.34, 2004}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(rows[i].designLine, expected[i].line) << i;
    if (expected[i].part) {
      EXPECT_EQ(rows[i].part->name, expected[i].part) << i;
    }
    EXPECT_NEAR(rows[i].offset, expected[i].offset, 1e-12) << i;
    EXPECT_NEAR(rows[i].width, expected[i].width, 1e-12) << i;
    EXPECT_NEAR(rows[i].slope, expected[i].slope, 1e-12) << i;
    EXPECT_NEAR(*rows[i].elevation, expected[i].z, 1e-9) << i;
    EXPECT_NEAR(rows[i].x, 1150, 1e-9) << i;
    EXPECT_NEAR(rows[i].y, expected[i].y, 1e-9) << i;
  }
  EXPECT_EQ(rows[3].side, Side::Right);

  // Where the profile does not reach, nothing is known of the elevations; the rows stay.
  rows.clear();
  const SectionAtStation beyond = SectionAt(model, &profile, 250);
  AppendSectionRows(route, beyond, 250, rows);
  ASSERT_EQ(rows.size(), 4u);
  for (const SectionRow& row : rows) EXPECT_FALSE(row.elevation);
  EXPECT_FALSE(beyond.ElevationAt(-1));
  // Without a profile they are relative to the design line.
  EXPECT_NEAR(*SectionAt(model, nullptr, 150).ElevationAt(4), -0.16, 1e-12);
}

TEST(SectionRows, EdgeStakesAreNamedByPartAndFollowTheWidening) {
  const Route route = NorthRoute();
  const SectionModel model = Model(route);
  EXPECT_EQ(EdgeNames(model.Template()), (std::vector<std::string>{"左 行车道", "左 土路肩", "右 行车道"}));
  std::vector<double> offsets;
  EdgeOffsets(model.At(150, std::nullopt), offsets);
  EXPECT_EQ(offsets, (std::vector<double>{-3.5, -4.25, 4.0}));
  EdgeOffsets(model.At(50, std::nullopt), offsets);
  EXPECT_EQ(offsets, (std::vector<double>{-3.5, -4.25, 3.5}));
}

}  // namespace
}  // namespace survey::alignment::section
