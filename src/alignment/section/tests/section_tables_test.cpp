#include "alignment/section/section_tables.h"

#include <gtest/gtest.h>

#include "alignment/tests/refusal.h"

namespace survey::alignment::section {
namespace {

TEST(TypicalSectionTable, ReadsBothSidesInOrderWithTheDefaultWideningPart) {
  const TypicalSection t = ReadTypicalSection(
      "# two-lane road\n"
      "side,part,width,slope,super,widen\n"
      "left,行车道,3.5,-2,1,\n"
      "right,行车道,3.5,-2,1\n"
      "left,土路肩,0.75,-4,0,\n"
      "right,硬路肩,0.75,-2,1,1\n"
      "right,土路肩,0.5,-4\n",
      "section.csv");
  ASSERT_EQ(t.left.size(), 2u);
  ASSERT_EQ(t.right.size(), 3u);
  EXPECT_EQ(t.left[1].name, "土路肩");
  EXPECT_DOUBLE_EQ(t.left[1].width, 0.75);
  EXPECT_DOUBLE_EQ(t.left[1].slope, -4);
  EXPECT_EQ(t.left[1].line, 5);
  // Left names no widening part: its first super part takes it. Right names its own.
  EXPECT_TRUE(t.left[0].widen);
  EXPECT_FALSE(t.left[1].widen);
  EXPECT_FALSE(t.right[0].widen);
  EXPECT_TRUE(t.right[1].widen);
  EXPECT_FALSE(t.right[2].super);  // a row that ends early: super blank is 0
}

TEST(TypicalSectionTable, ReadsGbkTabsAndChineseHeadersAndFindsTheMedianByName) {
  // 侧 名称 宽度 横坡 超高 加宽 / 左 行车道 3.5 -2 1, in GBK.
  const TypicalSection t = ReadTypicalSection(
      "\xB2\xE0\t\xC3\xFB\xB3\xC6\t\xBF\xED\xB6\xC8\t\xBA\xE1\xC6\xC2\t\xB3\xAC\xB8\xDF\t\xBC\xD3\xBF\xED\n"
      "\xD7\xF3\t\xD0\xD0\xB3\xB5\xB5\xC0\t3.5\t-2\t1\t\n",
      "gbk.csv");
  ASSERT_EQ(t.left.size(), 1u);
  EXPECT_EQ(t.left[0].name, "行车道");
  EXPECT_TRUE(t.left[0].super);
  EXPECT_TRUE(t.right.empty());

  const TypicalSection divided = ReadTypicalSection(
      "侧,名称,宽度,横坡,超高\n左,中央分隔带,1,-2,0\n左,行车道,7.5,-2,1\n右,中分带,1,-2,0\n", "d.csv");
  EXPECT_TRUE(divided.left[0].median);
  EXPECT_FALSE(divided.left[1].median);
  EXPECT_FALSE(divided.right[0].median);  // only the name 中央分隔带 or the column say so
  EXPECT_TRUE(ReadTypicalSection("side,part,width,slope,median\nright,m,1,-2,1\n", "m.csv").right[0].median);
}

TEST(TypicalSectionTable, RefusesNamingFileLineAndWhat) {
  const auto refusal = [](const std::string& rows) {
    return RefusalOf([&] { ReadTypicalSection("side,part,width,slope,super,widen,median\n" + rows, "sec.csv"); });
  };
  const struct {
    const char* rows;
    const char* message;
  } cases[] = {
      {"left,a,0,-2\n", "“sec.csv” 第 2 行：宽度 必须大于 0：“0”。"},
      {"left,a,-1,-2\n", "“sec.csv” 第 2 行：宽度 必须大于 0：“-1”。"},
      {"left,a,3.5,-2\nleft,b,wide,-2\n", "“sec.csv” 第 3 行：width 不是数字：“wide”。"},
      {"left,a,3.5,-20.5\n", "“sec.csv” 第 2 行：横坡 超出 ±20 %：“-20.5”（横坡以百分数填写，如 -2）。"},
      {"left,a,3.5,-2,2\n", "“sec.csv” 第 2 行：超高 应为 1 或 0（是 或 否）：“2”。"},
      {"up,a,3.5,-2\n", "“sec.csv” 第 2 行：侧“up”应为 left 或 right（左 或 右）。"},
      {"left,,3.5,-2\n", "“sec.csv” 第 2 行：名称不能为空。"},
      {"left,a,3.5,-2,1,1\nright,a,3.5,-2,1,1\nleft,b,1,-2,1,1\n",
       "“sec.csv” 第 4 行：左侧有两个加宽的部分：“a”（第 2 行）和“b”。"},
      {"left,a,3.5,-2\nleft,中央分隔带,1,-2\n",
       "“sec.csv” 第 3 行：中央分隔带“中央分隔带”须是该侧的第一个部分（各部分自设计线向外排列）。"},
  };
  for (const auto& c : cases) EXPECT_EQ(refusal(c.rows), c.message) << c.rows;
  // The table reader's own refusals get the file too.
  EXPECT_EQ(RefusalOf([] { ReadTypicalSection("side,part,width\nleft,a,1\n", "x.csv"); }),
            "“x.csv” 第 1 行：表头缺少 slope 列；列名为 side,part,width,slope,super,widen,median（或 "
            "侧,名称,宽度,横坡,超高,加宽,中央分隔带）。");
  EXPECT_EQ(refusal("left,a,3.5,20\nright,a,3.5,-20\n"), "(accepted)");  // ±20 % itself is a slope
  // The refusal carries its line for a window to mark, the reader's own ones included.
  for (const char* rows : {"left,a,3.5,-2\nleft,b,-1,-2\n", "left,a,3.5,-2\nleft,b,x,-2\n"}) {
    try {
      ReadTypicalSection(std::string("side,part,width,slope\n") + rows, "sec.csv");
      ADD_FAILURE() << rows;
    } catch (const AlignmentError& e) {
      EXPECT_EQ(e.Line(), 3) << rows;
    }
  }
}

TEST(SideValuesTables, KeepStationsAsTypedAndRefuseSlopesBeyondTwentyPercent) {
  const std::vector<SideValuesRow> rows =
      ReadSuperelevationTable("\xD7\xAE\xBA\xC5,\xD7\xF3,\xD3\xD2\nK1+100,-2,-2\n1200.5,6,-6\n", "super.csv");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_DOUBLE_EQ(rows[0].station, 1100);
  EXPECT_EQ(rows[0].stationText, "K1+100");
  EXPECT_DOUBLE_EQ(rows[1].station, 1200.5);
  EXPECT_DOUBLE_EQ(rows[1].left, 6);
  EXPECT_DOUBLE_EQ(rows[1].right, -6);
  EXPECT_EQ(rows[1].line, 3);

  EXPECT_EQ(RefusalOf([] { ReadSuperelevationTable("station,left,right\nK0+000,-2,-2\nK0+100,8,-21\n", "s.csv"); }),
            "“s.csv” 第 3 行：右侧超高横坡 超出 ±20 %：“-21”（横坡以百分数填写，如 -2）。");
  EXPECT_EQ(RefusalOf([] { ReadSuperelevationTable("station,left,right\nK0+1x0,-2,-2\n", "s.csv"); }),
            "“s.csv” 第 2 行：station 不是桩号（如 K12+345.678 或 12345.678）：“K0+1x0”。");
  // Widening is in metres: 25 m is odd but no slope; a negative width is refused where it is used.
  EXPECT_DOUBLE_EQ(ReadWideningTable("桩号\t左\t右\nK0+000\t25\t-0.5\n", "w.csv")[0].left, 25);
}

}  // namespace
}  // namespace survey::alignment::section
