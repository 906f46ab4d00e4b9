#include "alignment/section/subgrade_table.h"

#include <gtest/gtest.h>

namespace survey::alignment::section {
namespace {

TEST(SubgradeTable, OneRowPerStakeWithEachPartsWidthSlopeAndEdgeElevation) {
  const Route route = BuildRouteFromJd({{"QD", 1000, 2000}, {"ZD", 2000, 2000}}, 1000, {});
  SectionTables t;
  t.section = ReadTypicalSection("side,part,width,slope,super\nleft,行车道,3.5,-2,1\nright,行车道,3.5,-2,1\nright,土路肩,0.75,-4,0\n",
                                 "s.csv");
  t.superelevation = ReadSuperelevationTable("station,left,right\nK1+100,-2,-2\nK1+200,6,-6\n", "e.csv");
  t.widening = ReadWideningTable("station,left,right\nK1+100,0,0\nK1+200,0,1\n", "w.csv");
  const SectionModel model(std::move(t), route.Stations());
  // 1 % up from 50.00 at chainage 100 (K1+100).
  const Profile profile({{"", 100, 50, 0}, {"", 200, 51, 0}});
  StakeOptions stakes;
  stakes.interval = 50;
  stakes.fromStation = 1100;
  stakes.toStation = 1250;

  const SubgradeTable table = MakeSubgradeTable(route, model, &profile, stakes, 3);
  EXPECT_EQ(table.title, "路基设计表");
  EXPECT_EQ(table.headers,
            (std::vector<std::string>{"桩号", "设计高程 (m)", "左 行车道 宽度 (m)", "左 行车道 横坡 (%)",
                                      "左 行车道 边缘高程 (m)", "右 行车道 宽度 (m)", "右 行车道 横坡 (%)",
                                      "右 行车道 边缘高程 (m)", "右 土路肩 宽度 (m)", "右 土路肩 横坡 (%)",
                                      "右 土路肩 边缘高程 (m)"}));
  ASSERT_EQ(table.rows.size(), 4u);
  // K1+100: normal crown. K1+150: +2/-4, right lane 4.0 m: 50.50 + 0.07; 50.50 - 0.16, - 0.03.
  EXPECT_EQ(table.rows[0], (std::vector<std::string>{"K1+100.000", "50.000", "3.500", "-2.00", "49.930", "3.500",
                                                     "-2.00", "49.930", "0.750", "-4.00", "49.900"}));
  EXPECT_EQ(table.rows[1], (std::vector<std::string>{"K1+150.000", "50.500", "3.500", "2.00", "50.570", "4.000",
                                                     "-4.00", "50.340", "0.750", "-4.00", "50.310"}));
  // K1+250, past the last superelevation row (template slopes again) and past the profile: the
  // geometry stays, the elevations are empty.
  EXPECT_EQ(table.rows[3], (std::vector<std::string>{"K1+250.000", "", "3.500", "-2.00", "", "3.500", "-2.00", "",
                                                     "0.750", "-4.00", ""}));
  // Without a profile the header says the elevations are relative.
  const SubgradeTable relative = MakeSubgradeTable(route, model, nullptr, stakes, 2);
  EXPECT_TRUE(relative.relative);
  EXPECT_EQ(relative.headers[1], "设计相对高程 (m)");
  EXPECT_EQ(relative.rows[1][1], "0.00");
  EXPECT_EQ(relative.rows[1][7], "-0.16");
}

}  // namespace
}  // namespace survey::alignment::section
