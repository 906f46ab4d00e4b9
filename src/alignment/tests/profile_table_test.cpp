#include "alignment/profile_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "alignment/table_reader.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

TEST(ProfileTableTest, ReadsBothHeaderLanguagesAndKStations) {
  const auto rows = ReadProfileTable("桩号,高程,竖曲线半径\nK0+000,100,\nK0+300,106,4000\n600.5,100,0\n");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].station, 300);
  EXPECT_EQ(rows[1].r, 4000);
  EXPECT_EQ(rows[0].r, 0);
  EXPECT_EQ(rows[2].station, 600.5);
  EXPECT_EQ(rows[2].line, 4);
  EXPECT_EQ(ReadProfileTable("station,elevation\n0,1\n10,2\n").size(), 2u);
}

// An asymmetric curve by its halves, in either header language, reaches the profile.
TEST(ProfileTableTest, AsymmetricCurvesByTheirHalves) {
  for (const char* text : {"station,elevation,length_in,length_out\n0,100,,\nK0+300,106,100,50\n600,100,,\n",
                           "桩号,高程,前半长,后半长\n0,100,,\nK0+300,106,100,50\n600,100,,\n"}) {
    const auto rows = ReadProfileTable(text);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].lengthIn, 100);
    EXPECT_EQ(rows[1].lengthOut, 50);
    std::vector<double> given;
    const Profile profile = ProfileOnRoute(rows, StationLine(0, {}), given);
    EXPECT_TRUE(profile.Rows()[1].asymmetric);
    EXPECT_NEAR(profile.Rows()[1].curveStart, 200, 1e-12);
    EXPECT_NEAR(profile.Rows()[1].curveEnd, 350, 1e-12);
  }
}

TEST(ProfileTableTest, RefusalsNameTheLine) {
  const std::string cases[] = {
      "station,elevation,r\n0,100,\n300,106,-4000\n",
      "station,elevation,r\n0,100,\n300,abc,\n",
      "station,elevation,r\n0,100,\nK1+2x,106,\n",
      "station,elevation,r\n0,100,\n300,1e300,\n",
      "station,elevation,r,length_in,length_out\n0,100,,,\n300,106,,80,\n",
      "station,elevation,r,length_in,length_out\n0,100,,,\n300,106,4000,80,60\n",
      "station,elevation,r,length_in,length_out\n0,100,,,\n300,106,,-80,60\n",
  };
  for (const std::string& text : cases) EXPECT_NE(RefusalOf([&] { ReadProfileTable(text); }).find("第 3 行"), std::string::npos) << text;
}

TEST(ProfileTableTest, StopsAtItsRowCap) {
  std::string table = "station,elevation\n";
  for (std::size_t i = 0; i < kMaxProfileRows; ++i) table += std::to_string(i) + ",1\n";
  EXPECT_EQ(ReadProfileTable(table).size(), kMaxProfileRows);
  EXPECT_EQ(RefusalOf([&] { ReadProfileTable(table + "1e6,1\n"); }), "第 100002 行：纵断面表超过 100000 行。");
}

TEST(ProfileTableTest, StationsBecomeChainagesAcrossAnEquation) {
  // Stations 1180..1200 occur twice; 1190 is the later one, 1250 is after the equation.
  const StationLine stations(1000, {{1200, 1180}});
  std::vector<double> given;
  const Profile profile = ProfileOnRoute({{1100, 10, 0, 2}, {1190, 11, 0, 3}, {1250, 12, 0, 4}}, stations, given);
  ASSERT_EQ(profile.Rows().size(), 3u);
  EXPECT_NEAR(profile.Rows()[1].measure, 210, 1e-9);
  EXPECT_NEAR(profile.Rows()[2].measure, 270, 1e-9);
  EXPECT_EQ(given, (std::vector<double>{1100, 1190, 1250}));
  // Before the start the profile continues straight on.
  const Profile early = ProfileOnRoute({{990, 10, 0, 2}, {1100, 11, 0, 3}}, stations, given);
  ASSERT_EQ(early.Rows().size(), 2u);
  EXPECT_NEAR(early.Rows()[0].measure, -10, 1e-9);
  // A station in a gap exists nowhere.
  const StationLine gap(1000, {{1200, 1250}});
  EXPECT_THROW(ProfileOnRoute({{1100, 10, 0, 2}, {1220, 11, 0, 3}}, gap, given), AlignmentError);
}

}  // namespace
}  // namespace survey::alignment
