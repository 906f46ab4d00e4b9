// The coordinate calculators' stake tables as CASS points: names, side stakes, the export.
#include <gtest/gtest.h>

#include "coordinates/testing/memory_stores.h"
#include "exchange/stake_table_points.h"
#include "exchange/station_names.h"

namespace survey::exchange {
namespace {

using coordinates::StakeRecord;

TEST(StakeTablePoints, StationNames) {
  const struct {
    const char* metres;
    const char* name;
  } cases[] = {{"1810.791", "K1+810.791"}, {"1830", "K1+830"},     {"20", "K0+020"},       {"0", "K0+000"},
               {"10020.5", "K10+020.5"},   {"999.9999", "K0+999.9999"}, {" 875.262 ", "K0+875.262"},
               {"加桩1100.5", "加桩K1+100.5"}, {"-5", "-5"},               {"abc", "abc"},          {"", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.metres);
    EXPECT_EQ(StationName(c.metres), c.name);
  }
}

TEST(StakeTablePoints, CentreAndSideStakesWithTheirOffsets) {
  // Marlowby writes " " into side fields without a stake, the curve window no value at all.
  const std::vector<StakeRecord> rows = {
      {"1810.791", " ", " ", "46276.097", "-4532.808", " ", " "},
      {"1830", "46270.0", "-4515.549", "46273.0", "-4515.549", "46280.5", "-4515.549"},
      {"1830", std::nullopt, std::nullopt, "46300", "-4500", std::nullopt, std::nullopt},
      {"1850", std::nullopt, std::nullopt, "", "", std::nullopt, std::nullopt},
  };
  const std::vector<PointRecord> points = StakeTablePoints(rows, "7.50");
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[0].name, "K1+810.791");
  EXPECT_EQ(points[0].x, 46276.097);
  EXPECT_EQ(points[0].y, -4532.808);
  EXPECT_EQ(points[1].name, "K1+830");
  EXPECT_EQ(points[2].name, "K1+830左7.5");  // the design offset, whatever the distance
  EXPECT_EQ(points[2].x, 46270.0);
  EXPECT_EQ(points[3].name, "K1+830右7.5");
  EXPECT_EQ(points[3].x, 46280.5);
  EXPECT_EQ(points[3].y, -4515.549);
  EXPECT_EQ(StakeTablePoints({rows[1]}, "")[1].name, "K1+830左");
  EXPECT_EQ(StakeTablePoints({rows[1]}, "-5")[2].name, "K1+830右");
  // The repeated station (an extra stake on an existing one) keeps a name of its own.
  EXPECT_EQ(points[4].name, "K1+830_2");
  EXPECT_EQ(points[4].x, 46300.0);
}

TEST(StakeTablePoints, ExportAsksForADatFileAndWritesEastBeforeNorth) {
  RecordingHost host;
  coordinates::testing::MemoryTextFiles files;
  const std::vector<StakeRecord> rows = {{"1830", "46270", "-4515", "46273", "-4515", " ", " "}};
  EXPECT_TRUE(ExportStakeRowsAsCass(host, files, rows, "3", "曲线坐标导出文件", "T").cancelled());
  EXPECT_TRUE(files.files.empty());
  ASSERT_EQ(host.saveRequests.size(), 1u);
  EXPECT_EQ(host.saveRequests[0].filters.at(0).pattern, "*.dat");

  host.savePath = "/out/stakes.dat";
  EXPECT_TRUE(ExportStakeRowsAsCass(host, files, rows, "3", "曲线坐标导出文件", "T").ok());
  EXPECT_EQ(files.files.at("/out/stakes.dat"), "K1+830,,-4515.000,46273.000,\r\nK1+830左3,,-4515.000,46270.000,\r\n");
  EXPECT_EQ(host.messages.back().text, "导出成功");
  EXPECT_FALSE(host.busy);

  host.savePath = "/readonly/stakes.dat";
  EXPECT_EQ(ExportStakeRowsAsCass(host, files, rows, "3", "曲线坐标导出文件", "T").status, Outcome::Status::Refused);
  EXPECT_TRUE(host.messages.back().refusal);
  EXPECT_NE(host.messages.back().text.find("/readonly/stakes.dat"), std::string::npos);
}

}  // namespace
}  // namespace survey::exchange
