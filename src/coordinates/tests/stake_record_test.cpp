#include "coordinates/stake_record.h"

#include <gtest/gtest.h>

namespace coordinates {
namespace {

StakeRecord Row(std::string zh, StakeField zbx, StakeField zby, std::string zx, std::string zy, StakeField ybx,
                StakeField yby) {
  return {std::move(zh), std::move(zbx), std::move(zby), std::move(zx), std::move(zy), std::move(ybx), std::move(yby)};
}

TEST(StakeRecord, FieldsFollowTableOrder) {
  const StakeRecord r = Row("1850", "1", "2", "3", "4", "5", "6");
  for (std::size_t i = 0; i < kStakeFieldCount; ++i) {
    ASSERT_TRUE(r.Field(i).has_value());
  }
  EXPECT_EQ(*r.Field(0), "1850");
  EXPECT_EQ(*r.Field(1), "1");
  EXPECT_EQ(*r.Field(3), "3");
  EXPECT_EQ(*r.Field(6), "6");
  EXPECT_EQ(kStakeFieldNames[5], "ybx");
  EXPECT_EQ(kStakeHeadings[0], "桩号(m)");
}

TEST(LyExport, LineWithSideStakesHasNoBlanks) {
  const StakeRecord r = Row("1850", "46262.109", "-4492.791", "46258.884", "-4497.579", "46255.659", "-4502.368");
  EXPECT_EQ(LyLine(r), "1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368");
}

TEST(LyExport, StraightLineRowWithoutSideStakesKeepsTheBlanks) {
  const std::string b(kNoSideStake);
  const StakeRecord r = Row("1810.791", b, b, "46276.097", "-4532.808", b, b);
  EXPECT_EQ(LyLine(r), "1810.791, , ,46276.097,-4532.808, , ");
}

TEST(LyExport, CurveRowWithoutValuesGivesDoubleCommas) {
  const StakeRecord r = Row("加桩900", std::nullopt, std::nullopt, "46722.855", "-7619.616", std::nullopt, std::nullopt);
  // Seven fields on every line: three commas after the station, two at the end.
  EXPECT_EQ(LyLine(r), "加桩900,,,46722.855,-7619.616,,");
  EXPECT_NE(r, Row("加桩900", " ", std::nullopt, "46722.855", "-7619.616", std::nullopt, std::nullopt));
}

TEST(LyExport, EveryLineEndsWithCrLf) {
  const std::string b(kNoSideStake);
  const std::vector<StakeRecord> rows = {Row("1", b, b, "2", "3", b, b), Row("4", b, b, "5", "6", b, b)};
  EXPECT_EQ(LyText(rows), "1, , ,2,3, , \r\n4, , ,5,6, , \r\n");
  EXPECT_EQ(LyText({}), "");
}

TEST(RowColours, AlternateFromGreenOnTheFirstRow) {
  EXPECT_EQ(StakeRowColour(0), (RowColour{128, 255, 128}));
  EXPECT_EQ(StakeRowColour(1), (RowColour{192, 255, 255}));
  EXPECT_EQ(StakeRowColour(2), (RowColour{128, 255, 128}));
  EXPECT_EQ(StakeRowColour(293), (RowColour{192, 255, 255}));
}

TEST(MemoryStakeTable, ReplaceAppendClearKeepOrder) {
  MemoryStakeTable table;
  std::size_t reported = 0;
  ASSERT_TRUE(table.Replace({Row("a", {}, {}, "1", "1", {}, {}), Row("b", {}, {}, "2", "2", {}, {})},
                            [&](std::size_t done, std::size_t) {
                              reported = done;
                              return true;
                            }));
  EXPECT_EQ(reported, 2u);
  // A cancel leaves the rows as they were.
  EXPECT_FALSE(table.Replace({Row("x", {}, {}, "9", "9", {}, {})}, [](std::size_t, std::size_t) { return false; }));
  ASSERT_EQ(table.rows.size(), 2u);
  ASSERT_TRUE(table.Append(Row("c", {}, {}, "3", "3", {}, {})));
  std::vector<StakeRecord> rows;
  ASSERT_TRUE(table.ReadRows(rows));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(*rows[0].zh, "a");
  EXPECT_EQ(*rows[2].zh, "c");
  ASSERT_TRUE(table.Clear());
  ASSERT_TRUE(table.ReadRows(rows));
  EXPECT_TRUE(rows.empty());
}

}  // namespace
}  // namespace coordinates
