// GSI-16 blocks: the word layout position by position, round trips and refusals.
#include <gtest/gtest.h>

#include "exchange/exchange_error.h"
#include "exchange/gsi16.h"

namespace survey::exchange {
namespace {

PointRecord Point(std::string name, double north, double east, std::optional<double> z = std::nullopt,
                  std::string code = "") {
  PointRecord p;
  p.name = std::move(name);
  p.code = std::move(code);
  p.x = north;
  p.y = east;
  p.z = z;
  return p;
}

// Each word checked against the documented positions: 1-2 index, 3-6 information (block
// number for 11; input mode and unit "0" = metres with 1 mm last digit for 81-83), 7 sign,
// 8-23 the data right-aligned with "0" padding, 24 a blank.
TEST(Gsi16, WordsFollowTheDocumentedLayoutDigitByDigit) {
  const std::string text = WriteGsi16({Point("K10+020", 2936912.007, 365760.368, -1118.852, "ZD")});
  ASSERT_TRUE(text.ends_with("\r\n"));
  ASSERT_EQ(text[0], '*');
  const std::string words = text.substr(1, text.size() - 3);
  ASSERT_EQ(words.size(), 5u * 24u);
  const struct {
    const char* index;
    const char* info;
    char sign;
    const char* data;
  } expected[] = {
      {"11", "0001", '+', "000000000K10+020"},
      {"71", "....", '+', "00000000000000ZD"},
      {"81", "..00", '+', "0000000365760368"},  // easting first
      {"82", "..00", '+', "0000002936912007"},
      {"83", "..00", '-', "0000000001118852"},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const std::string w = words.substr(i * 24, 24);
    EXPECT_EQ(w.substr(0, 2), expected[i].index);  // positions 1-2
    EXPECT_EQ(w.substr(2, 4), expected[i].info);   // positions 3-6
    EXPECT_EQ(w[6], expected[i].sign);             // position 7
    EXPECT_EQ(w.substr(7, 16), expected[i].data);  // positions 8-23
    EXPECT_EQ(w[23], ' ');                         // position 24
  }
}

TEST(Gsi16, BlockNumbersCountUpAndWrapAfter9999) {
  std::vector<PointRecord> points(10001, Point("P", 1, 2));
  const std::string text = WriteGsi16(points);
  EXPECT_TRUE(text.starts_with("*110001+"));
  const std::size_t lineBytes = text.find('\n') + 1;
  EXPECT_EQ(text.substr(lineBytes * 9998, 8), "*119999+");
  EXPECT_EQ(text.substr(lineBytes * 9999, 8), "*110001+");
}

TEST(Gsi16, RoundTripKeepsNamesCodesAndCoordinatesToTheMillimetre) {
  const std::vector<PointRecord> written = {Point("K0+000", 3000.0004, 5000.0006, 12.3456),
                                            Point("JD12", -12.5, 0.0001, std::nullopt, "JD"),
                                            Point("BIG", 123456789.123, 987654321.987, -3.2)};
  const PointFile read = ReadGsi16(WriteGsi16(written));
  ASSERT_EQ(read.points.size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read.points[i].name, written[i].name);
    EXPECT_EQ(read.points[i].code, written[i].code);
    EXPECT_NEAR(read.points[i].x, written[i].x, 0.0005);
    EXPECT_NEAR(read.points[i].y, written[i].y, 0.0005);
    ASSERT_EQ(read.points[i].z.has_value(), written[i].z.has_value());
    if (written[i].z) {
      EXPECT_NEAR(*read.points[i].z, *written[i].z, 0.0005);
    }
  }
  EXPECT_TRUE(read.notes.empty());
}

TEST(Gsi16, ReadsFinerUnitsAndSkipsUnknownWordsWithOneNoteEach) {
  const PointFile f = ReadGsi16(
      "*110001+0000000000000A12 21.324+0000000018000000 81..06+0000000000012345 82..08+0000000000012345 \n"
      "*110002+000000000000A013 21.324+0000000009000000 87..10+0000000000001500 81..00-0000000000001000 "
      "82..00+0000000000002000\r\n");
  ASSERT_EQ(f.points.size(), 2u);
  EXPECT_EQ(f.points[0].name, "A12");
  EXPECT_DOUBLE_EQ(f.points[0].y, 1.2345);   // 1/10 mm
  EXPECT_DOUBLE_EQ(f.points[0].x, 0.12345);  // 1/100 mm
  EXPECT_EQ(f.points[1].name, "A013");
  EXPECT_EQ(f.points[1].y, -1.0);
  EXPECT_EQ(f.points[1].x, 2.0);
  EXPECT_EQ(f.points[1].line, 2);
  EXPECT_EQ(f.notes, (std::vector<std::string>{"跳过了未知的字索引 21（第 1 行起，共 2 处）。",
                                                "跳过了未知的字索引 87（第 2 行起，共 1 处）。"}));
}

TEST(Gsi16, RefusesBrokenBlocksNamingTheLine) {
  const std::string good = "*110001+0000000000000001 81..00+0000000000001000 82..00+0000000000002000 \n";
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {good + "*110002+0000000000000002 81..00+0000000000001000 82..00+00000000000", "第 2 行：GSI-16 数据块被截断：第 3 个字只有 18 个字符（应为 24 个）。"},
      {good + "110002+00000002 81..00+00001000 \n", "第 2 行：不是 GSI-16 数据块（应以“*”开头）。"},
      {"\n*110001+0000000000000001 82..00+0000000000002000 \n", "第 2 行：数据块缺少东坐标（字 81）。"},
      {"*81..00+0000000000001000 82..00+0000000000002000 \n", "第 1 行：数据块缺少点号（字 11）。"},
      {"*110001+0000000000000001 81..00+0000000000001000 \n", "第 1 行：数据块缺少北坐标（字 82）。"},
      {"*110001+0000000000000001 81..01+0000000000001000 82..00+0000000000002000 \n", "第 1 行：字 81 的单位是英尺，只能读取以米为单位的数据。"},
      {"*110001+0000000000000001 81..0x+0000000000001000 \n", "第 1 行：字 81 的单位标志“x”无法识别。"},
      {"*110001+0000000000000001 81..00+00000000000010.0 \n", "第 1 行：字 81 的数值不是数字：“00000000000010.0”。"},
      {"*110001+0000000000000001 81..00+0000000000001000 81..00+0000000000001000 \n", "第 1 行：字索引 81 在一个数据块中出现了两次。"},
      {"*110001+0000000000000001_81..00+0000000000001000 \n", "第 1 行：第 1 个字后应为空格。"},
      {"*110001 0000000000000001 \n", "第 1 行：第 1 个字不是 GSI 字：“110001 0000000000000001”。"},
      {"*A10001+0000000000000001 \n", "第 1 行：第 1 个字不是 GSI 字：“A10001+0000000000000001”。"},
      {"*110001+0000000000000001 81..00+9999999999999999 82..00+0000000000002000 \n", "第 1 行：字 81 的数值超出范围。"},
      {"\r\n\r\n", "GSI 文件中没有点。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      ReadGsi16(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const ExchangeError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

TEST(Gsi16, RefusesNamesTheWordCannotCarry) {
  for (const char* name : {"", "K10+020左5", "with blank", "12345678901234567", "007"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(WriteGsi16({Point(name, 1, 2)}), ExchangeError);
  }
  EXPECT_NO_THROW(WriteGsi16({Point("0", 1, 2), Point("1234567890123456", 1, 2)}));
  EXPECT_THROW(WriteGsi16({Point("A", 1, 2, std::nullopt, "边")}), ExchangeError);
}

}  // namespace
}  // namespace survey::exchange
