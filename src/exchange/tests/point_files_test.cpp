// CASS point lists, names made unique, the format told by content, files kept on failure.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/atomic_file.h"
#include "exchange/cass_points.h"
#include "exchange/exchange_error.h"
#include "exchange/exchange_files.h"
#include "exchange/point_format.h"
#include "exchange/unique_names.h"

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

std::string Refusal(const std::function<void()>& run) {
  try {
    run();
  } catch (const ExchangeError& e) {
    return e.what();
  }
  return "(accepted)";
}

// The issue's own line: north 2936912.007 and east 365760.368 differ in every digit, so a
// swapped order cannot pass.
TEST(CassPoints, WritesEastBeforeNorthInGbkWithCrLf) {
  const std::string bytes = WriteCassPoints({Point("K10+020左5", 2936912.007, 365760.368, 1118.852),
                                             Point("JD3", 2936000.5, 365000.25, std::nullopt, "JD")});
  // 左 is D7 F3 in GBK.
  EXPECT_EQ(bytes,
            "K10+020\xD7\xF3" "5,,365760.368,2936912.007,1118.852\r\n"
            "JD3,JD,365000.250,2936000.500,\r\n");
}

TEST(CassPoints, RoundTripKeepsNamesCodesAndCoordinatesToTheWrittenPrecision) {
  const std::vector<PointRecord> written = {Point("K0+000", 3000.0004, 5000.0006, 12.3456),
                                            Point("K10+020右7.5", -12.5, 0.0001, std::nullopt, "边桩"),
                                            Point("QD", 123456789.123, 987654321.987, -3.2)};
  const PointFile read = ReadCassPoints(WriteCassPoints(written));
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
    EXPECT_EQ(read.points[i].line, static_cast<int>(i) + 1);
  }
  EXPECT_TRUE(read.notes.empty());
}

TEST(CassPoints, ReadsEastAsYAndNorthAsX) {
  const PointFile f = ReadCassPoints("P1,,500.25,3000.75,10\n");
  ASSERT_EQ(f.points.size(), 1u);
  EXPECT_EQ(f.points[0].x, 3000.75);  // north
  EXPECT_EQ(f.points[0].y, 500.25);   // east
}

TEST(CassPoints, ReadsUtf8AndGbkAlikeAndSkipsBlankLines) {
  const std::string gbk = "\r\n\xD7\xF3" "1,\xB1\xDF,1,2,\r\n\r\n";
  const std::string utf8 = "\xEF\xBB\xBF" "左1,边,1,2\n";
  for (const std::string& bytes : {gbk, utf8}) {
    const PointFile f = ReadCassPoints(bytes);
    ASSERT_EQ(f.points.size(), 1u);
    EXPECT_EQ(f.points[0].name, "左1");
    EXPECT_EQ(f.points[0].code, "边");
    EXPECT_FALSE(f.points[0].z.has_value());
  }
}

TEST(CassPoints, RefusesBadLinesNamingThem) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"A,,1,2,3\nB,,1,2\r\n", nullptr},
      {"A,,1,2,3\nB,,1\n", "第 2 行：CASS 点文件每行应为“点名,编码,Y(东),X(北),高程”，这一行只有 3 个字段。"},
      {"A,,1,2,3,4\n", "第 1 行：CASS 点文件每行应为“点名,编码,Y(东),X(北),高程”，这一行的字段多于 5 个。"},
      {"\n\nA,,1,x2,3\n", "第 3 行：X(北)坐标不是数字：“x2”。"},
      {"A,,1e3,2\n", "第 1 行：Y(东)坐标不是数字：“1e3”。"},
      {"A,,nan,2\n", "第 1 行：Y(东)坐标不是数字：“nan”。"},
      {"A,,1,2,-\n", "第 1 行：高程不是数字：“-”。"},
      {"A,,1,2000000000\n", "第 1 行：X(北)坐标超出范围：“2000000000”。"},
      {" ,,1,2\n", "第 1 行：点名为空。"},
      {"A,,1,2\n\xFF\xFF,,1,2\n", "第 2 行：既不是 UTF-8 也不是 GBK 编码的文字（第 1 个字节）。"},
      {"\r\n  \n", "CASS 点文件中没有点。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string got = Refusal([&] { ReadCassPoints(c.text); });
    EXPECT_EQ(got, c.message ? c.message : "(accepted)");
  }
}

TEST(CassPoints, RefusesWhatTheFileCannotHold) {
  EXPECT_EQ(Refusal([] { WriteCassPoints({Point("A,B", 1, 2)}); }), "点名“A,B”中有逗号或换行，CASS 点文件不能表示。");
  EXPECT_EQ(Refusal([] { WriteCassPoints({Point("B", 1, 2), Point("A😀", 1, 2)}); }), "点“A😀”（编码“”）中有 GBK 编码不能表示的字符，无法写入。");
  EXPECT_EQ(Refusal([] { WriteCassPoints({Point("A", 1, std::nan(""))}); }), "坐标值无效或超出范围，无法写入。");
  EXPECT_EQ(Refusal([] { WriteCassPoints({Point("A", 1, 2)}, 7); }), "小数位数应在 0 到 6 之间。");
}

TEST(CassPoints, WritesNoNegativeZeroAndRoundsToTheDecimals) {
  EXPECT_EQ(WriteCassPoints({Point("A", -0.0001, 2.0005, -0.0004)}, 3), "A,,2.001,0.000,0.000\r\n");
  EXPECT_EQ(WriteCassPoints({Point("A", 1.26, 2, 0)}, 1), "A,,2.0,1.3,0.0\r\n");
}

TEST(UniqueNames, SuffixesLaterRepeatsAndNeverTakesAGivenName) {
  std::vector<PointRecord> points = {Point("K10+020", 0, 0), Point("K10+020", 1, 1), Point("K10+020_2", 2, 2),
                                     Point("K10+020", 3, 3), Point("B", 4, 4)};
  EXPECT_EQ(MakeNamesUnique(points), 2u);
  std::vector<std::string> names;
  for (const PointRecord& p : points) names.push_back(p.name);
  EXPECT_EQ(names, (std::vector<std::string>{"K10+020", "K10+020_3", "K10+020_2", "K10+020_4", "B"}));
}

TEST(PointFormat, ToldByContent) {
  const struct {
    const char* text;
    PointFormat format;
  } cases[] = {
      {"*110001+0000000000000001 81..00+0000000000001000 82..00+0000000000002000 \r\n", PointFormat::kGsi16},
      {"\r\n  *110001+0000000000000001 ", PointFormat::kGsi16},
      {"K10+020,,365760.368,2936912.007,1118.852\r\n", PointFormat::kCass},
      {"\xEF\xBB\xBF" "A,code,1,2\n", PointFormat::kCass},
      {"name,x,y\nP1,3000,5000\n", PointFormat::kCsv},
      {"点名,编码,Y,X,H\n", PointFormat::kCsv},
      {"P1,3000,5000\n", PointFormat::kCsv},
      {"A,,1,2,3,4\n", PointFormat::kCsv},
      {"", PointFormat::kCsv},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DetectPointFormat(c.text), c.format);
  }
  EXPECT_EQ(PointFormatNamed("gsi16"), PointFormat::kGsi16);
  EXPECT_EQ(PointFormatNamed("dat"), std::nullopt);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ExchangeFiles, AFailedWriteOrARefusedPointLeavesTheOldFile) {
  const std::string path = (std::filesystem::temp_directory_path() / "exchange_points_test.dat").string();
  ASSERT_TRUE(SavePointFile(path, {Point("A", 1, 2), Point("A", 3, 4)}, PointFileKind::kCass).ok);
  const std::string first = ReadAll(path);
  EXPECT_EQ(first, "A,,2.000,1.000,\r\nA_2,,4.000,3.000,\r\n");  // names made unique on the way
  {
    ScopedFileSystemCalls disk(FailingWritesAfter(5, ENOSPC));
    const WriteOutcome o = SavePointFile(path, {Point("B", 1, 2)}, PointFileKind::kGsi16);
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.error.find("磁盘空间不足"), std::string::npos) << o.error;
  }
  EXPECT_EQ(ReadAll(path), first);
  const WriteOutcome refused = SavePointFile(path, {Point("桩1", 1, 2)}, PointFileKind::kGsi16);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(ReadAll(path), first);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace survey::exchange
