#include "alignment/table_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "alignment/alignment_error.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

const char* const kJdTable =
    "name,x,y,r,ls1,ls2\n"
    "QD,1000,2000,,,\n"
    "JD1,1500,2200,600,120,\n"
    "JD2,1800,2900,800,100,150\n"
    "ZD,2300,3100,,,\n";

// name, x, y, r, ls1, ls2 of every row.
using JdRow = std::tuple<std::string, double, double, double, double, double>;
std::vector<JdRow> Rows(const std::vector<JdInput>& rows) {
  std::vector<JdRow> out;
  for (const JdInput& r : rows) out.emplace_back(r.name, r.x, r.y, r.r, r.ls1, r.ls2);
  return out;
}

void ExpectTheJdTable(const std::vector<JdInput>& rows) {
  // A blank Ls2 is Ls1.
  EXPECT_EQ(Rows(rows), (std::vector<JdRow>{{"QD", 1000, 2000, 0, 0, 0},
                                           {"JD1", 1500, 2200, 600, 120, 120},
                                           {"JD2", 1800, 2900, 800, 100, 150},
                                           {"ZD", 2300, 3100, 0, 0, 0}}));
}

TEST(JdTable, EncodingsSeparatorsAndHeadersAllReadAlike) {
  const std::string chineseBody =
      "QD,1000,2000,,,\nJD1,1500,2200,600,120,\nJD2,1800,2900,800,100,150\nZD,2300,3100,,,\n";
  const std::string variants[] = {
      kJdTable,
      std::string("\xEF\xBB\xBF") + kJdTable,                         // UTF-8 with BOM
      "点名,X,Y,R,Ls1,Ls2\n" + chineseBody,                           // Chinese header, UTF-8
      "\xB5\xE3\xC3\xFB,X,Y,R,Ls1,Ls2\r\n" + chineseBody,            // the same in GBK, CR LF
      "NAME, X ,Y,R,LS1,LS2\n" + chineseBody,                         // case and blanks
      "ls2,ls1,r,y,x,name\n,,,2000,1000,QD\n,120,600,2200,1500,JD1\n150,100,800,2900,1800,JD2\n,,,3100,2300,ZD\n",
      "name\tx\ty\tr\tls1\tls2\nQD\t1000\t2000\nJD1\t1500\t2200\t600\t120\nJD2\t1800\t2900\t800\t100\t150\n"
      "ZD\t2300\t3100\n",                                             // tabs, short rows
      "# route of the test\n\nname,x,y,r,ls1,ls2\n  # a comment\nQD,1000,2000\n\n\"JD1\",1500,2200,600,120\n"
      "JD2,1800,2900,800,100,150\nZD,2300,3100,,,,\n",               // comments, blanks, quotes, trailing comma
      "name,x,y,r,ls1,ls2\rQD,1000,2000,,,\rJD1,1500,2200,600,120,\rJD2,1800,2900,800,100,150\rZD,2300,3100,,,",  // CR only
      "\xB5\xE3\xC3\xFB,X,Y,R,Ls1,Ls2\r" + chineseBody,             // GBK, a CR line end among LF ones
  };
  for (const std::string& bytes : variants) ExpectTheJdTable(ReadJdTable(bytes));
}

// GBK names become UTF-8, blank names are filled in, R and Ls of QD and ZD are not read.
TEST(JdTable, NamesAndEndRows) {
  EXPECT_EQ(Rows(ReadJdTable("name,x,y,r,ls1,ls2\nQD,0,0,-,x,\n\xBD\xBB\xB5\xE3\xD2\xBB,100,100,300,0\nZD,200,0,0\n")),
            (std::vector<JdRow>{{"QD", 0, 0, 0, 0, 0}, {"交点一", 100, 100, 300, 0, 0}, {"ZD", 200, 0, 0, 0, 0}}));
  const std::vector<JdInput> rows = ReadJdTable("x,y,r,name\n0,0\n100,100,300\n# skip\n200,0\n");
  EXPECT_EQ(Rows(rows), (std::vector<JdRow>{{"QD", 0, 0, 0, 0, 0}, {"JD1", 100, 100, 300, 0, 0}, {"ZD", 200, 0, 0, 0, 0}}));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].line, 3);
  EXPECT_EQ(rows[2].line, 5);
}

TEST(TableRefusals, EachNamesItsLine) {
  struct Case { std::string bytes; const char* message; };
  const std::string h = "name,x,y,r,ls1,ls2\n";
  const Case cases[] = {
      {"QD,0,0\nZD,100,0\n", "第 1 行：表头的列名“QD”不认识"},
      {"name,y,r\nQD,0\n", "第 1 行：表头缺少 x 列"},
      {"name,x,X,y,r\n", "第 1 行：表头中“X”出现了两次"},
      {"", "表格是空的"},
      {"# only a comment\n\n", "表格是空的"},
      {"\n" + h + "\n", "第 2 行：表头后面没有数据行"},
      {h + "QD,abc,0\nZD,1,1\n", "第 2 行：x 不是数字：“abc”"},
      {h + "QD,0,0\nZD,nan,1\n", "第 3 行：x 不是数字：“nan”"},
      {h + "QD,0,inf\nZD,1,1\n", "第 2 行：y 不是数字：“inf”"},
      {h + "QD,0,1e300\nZD,1,1\n", "第 2 行：y 超出范围"},
      {h + "QD,0,,\nZD,1,1\n", "第 2 行：y 不能为空"},
      {h + "QD,0,0\nJD1,1,1,0,10\nZD,2,0\n", "第 3 行：JD1：r 必须大于 0"},
      {h + "QD,0,0\nJD1,1,1,-5\nZD,2,0\n", "第 3 行：JD1：r 必须大于 0"},
      {h + "QD,0,0\nJD1,1,1,\nZD,2,0\n", "第 3 行：r 不能为空"},
      {h + "QD,0,0\nJD1,1,1,300,-10\nZD,2,0\n", "第 3 行：ls1 不能为负"},
      {h + "QD,0,0\nJD1,1,1,300,10,abc\nZD,2,0\n", "第 3 行：ls2 不是数字"},
      {h + "QD,0,0,,,,7\nZD,1,1\n", "第 2 行：单元格比表头多：“7”"},
      {"name,x,,y,r\nQD,0,5,0\nZD,1,,1\n", "第 2 行：第 3 列有数据但表头没有列名"},
      {h + "\"QD,0,0\nZD,1,1\n", "第 2 行：引号没有配对"},
      {h + "\"QD\"x,0,0\nZD,1,1\n", "第 2 行：引号后面应是分隔符"},
      {h + "QD,0,0\n" + std::string(70000, '1') + "\n", "第 3 行：一行超过 65536 个字节"},
      {"\xEF\xBB\xBF" + h + "QD,0,0\nZ\xC3\x28,1,1\n", "第 3 行：文件标明为 UTF-8"},
      {h + "QD,0,0\n\n\xFF\xFE,1,1\n", "第 4 行：既不是 UTF-8 也不是 GBK"},
      {h + "QD,0,0\nZD,1,1\xB5\n", "第 3 行：既不是 UTF-8 也不是 GBK"},  // a lead byte cut off by the line end
      {h + "QD,\x1b[2J\x1b]0;x\x07,0\nZD,1,1\n", "第 2 行：x 不是数字：“\\x1B[2J\\x1B]0;x\\x07”"},  // shown escaped
      {h + "QD,0,0\nZD,1,\"1\xE2\x80\xAE\x7f\"\n", "第 3 行：y 不是数字：“1\\u202E\\x7F”"},
  };
  for (const Case& c : cases) {
    const std::string message = RefusalOf([&] { ReadJdTable(c.bytes); });
    EXPECT_NE(message.find(c.message), std::string::npos) << c.bytes.substr(0, 80) << "\n -> " << message;
  }
}

TEST(TableRefusals, AMegabyteLineOrNaNTextEndsCleanly) {
  EXPECT_NE(RefusalOf([] { ReadPointTable("name,x,y\n" + std::string(1 << 20, 'x') + "\n"); }).find("第 2 行"),
            std::string::npos);
  std::string nans = "name,x,y\n";
  for (int i = 0; i < 1000; ++i) nans += "p,NaN,NaN\n";
  EXPECT_NE(RefusalOf([&] { ReadPointTable(nans); }).find("第 2 行：x 不是数字"), std::string::npos);
}

TEST(TableRefusals, RowsBeyondWhatARouteMayHaveStopTheReading) {
  std::string jds = "name,x,y,r\n";
  for (std::size_t i = 0; i <= kMaxJdRows; ++i) jds += "J," + std::to_string(i) + ",0,100\n";
  EXPECT_NE(RefusalOf([&] { ReadJdTable(jds); }).find("第 100002 行：JD 表超过 100000 行"), std::string::npos);
  jds.resize(jds.rfind("J,"));
  EXPECT_EQ(ReadJdTable(jds).size(), kMaxJdRows);

  // The points and profile tables stop at their own caps, naming the first row beyond.
  std::string points = "name,x,y\r\n";
  points.reserve(12 * (kMaxPointRows + 2));
  for (std::size_t i = 0; i < kMaxPointRows; ++i) points += "p,1,2\r\n";
  EXPECT_EQ(ReadPointTable(points).rows.size(), kMaxPointRows);
  EXPECT_EQ(RefusalOf([&] { ReadPointTable(points + "p,1,2\r\n"); }), "第 1000002 行：点表超过 1000000 行。");
  const std::vector<ColumnHeading> xy = {{"x", {"x"}}, {"y", {"y"}}};
  EXPECT_EQ(ReadTable("x,y\n1,2\n3,4\n", xy, {2, "纵断面表"}).RowCount(), 2u);
  EXPECT_EQ(RefusalOf([&] { ReadTable("x,y\n1,2\n# c\n3,4\n5,6\n", xy, {2, "纵断面表"}); }), "第 5 行：纵断面表超过 2 行。");
}

TEST(ElementTable, TypesRadiiAndTurnsInBothLanguages) {
  const std::vector<ElementShape> shapes = ReadElementTable(
      "type,length,r_start,r_end,turn\n"
      "line,100,,,\n"
      "spiral,80,inf,500,right\n"
      "ARC,200,500,,Right\n"
      "spiral,60,500,1000,right\n"  // egg-shaped, 1/500 -> 1/1000
      "spiral,40,1000,0,right\n"
      "line,50,0,∞,left\n"
      "arc,30,400,400,left\n");
  std::vector<std::tuple<ElementKind, double, double, double, int>> got;
  for (const ElementShape& e : shapes) got.emplace_back(e.kind, e.length, e.startCurvature, e.endCurvature, e.line);
  const ElementKind L = ElementKind::Line, S = ElementKind::Spiral, A = ElementKind::Arc;
  EXPECT_EQ(got, (std::vector<std::tuple<ElementKind, double, double, double, int>>{
                     {L, 100, 0, 0, 2}, {S, 80, 0, 1.0 / 500, 3}, {A, 200, 1.0 / 500, 1.0 / 500, 4},
                     {S, 60, 1.0 / 500, 1.0 / 1000, 5}, {S, 40, 1.0 / 1000, 0, 6}, {L, 50, 0, 0, 7},
                     {A, 30, -1.0 / 400, -1.0 / 400, 8}}));
  const std::vector<ElementShape> chinese = ReadElementTable(
      "\xCF\xDF\xD4\xAA,\xB3\xA4\xB6\xC8,\xC6\xF0\xB5\xE3\xB0\xEB\xBE\xB6,\xD6\xD5\xB5\xE3\xB0\xEB\xBE\xB6,"
      "\xD7\xAA\xCF\xF2\n"
      "\xD4\xB2\xC7\xFA\xCF\xDF,120,300,,\xD3\xD2\n");  // 圆曲线,120,300,,右 in GBK
  ASSERT_EQ(chinese.size(), 1u);
  EXPECT_EQ(chinese[0].kind, ElementKind::Arc);
  EXPECT_EQ(chinese[0].startCurvature, 1.0 / 300);
  const std::vector<ElementShape> left = ReadElementTable("线元,长度,起点半径,终点半径,转向\n缓和曲线,50,,200,左\n直线,10\n");
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].endCurvature, -1.0 / 200);
  EXPECT_EQ(left[1].kind, ElementKind::Line);
}

TEST(ElementTable, Refusals) {
  const std::string h = "type,length,r_start,r_end,turn\nline,10\n";
  const std::pair<std::string, const char*> cases[] = {
      {h + "curve,10,100,,right\n", "第 3 行：线元类型“curve”不认识"},
      {h + "arc,-10,100,,right\n", "第 3 行：length 必须大于 0"},
      {h + "arc,0,100,,right\n", "第 3 行：length 必须大于 0"},
      {h + "arc,ten,100,,right\n", "第 3 行：length 不是数字"},
      {h + "arc,10,-100,,right\n", "第 3 行：r_start 不能为负"},
      {h + "arc,10,abc,,right\n", "第 3 行：r_start 不是数字"},
      {h + "arc,10,nan,,right\n", "第 3 行：r_start 不是数字"},
      {h + "arc,10,,,right\n", "第 3 行：圆曲线须有起点半径"},
      {h + "arc,10,100,200,right\n", "第 3 行：圆曲线的终点半径须与起点半径相同"},
      {h + "line,10,100\n", "第 3 行：直线的半径须为空"},
      {h + "spiral,10,100,100,right\n", "第 3 行：缓和曲线两端的半径须不同"},
      {h + "spiral,10,,,right\n", "第 3 行：缓和曲线两端的半径须不同"},
      {h + "spiral,10,,100,\n", "第 3 行：转向“”应为 left 或 right"},
      {h + "arc,10,100,,up\n", "第 3 行：转向“up”应为 left 或 right"},
      {"type,length,r,turn\n", "第 1 行：表头的列名“r”不认识"},
  };
  for (const auto& [bytes, message] : cases) {
    const std::string got = RefusalOf([&] { ReadElementTable(bytes); });
    EXPECT_NE(got.find(message), std::string::npos) << bytes << "\n -> " << got;
  }
}

TEST(PointTable, NamesAreKeptAndQuotesUndone) {
  const PointTable table = ReadPointTable("点名,X,Y\nP1,10.5,-3\n\"P,2\",1,2\n\"say \"\"3\"\"\",0,0\n,7,8\n");
  std::vector<std::tuple<std::string, double, double, int>> rows;
  for (const auto& r : table.rows) rows.emplace_back(r.name, r.x, r.y, r.line);
  EXPECT_EQ(rows, (std::vector<std::tuple<std::string, double, double, int>>{
                      {"P1", 10.5, -3, 2}, {"P,2", 1, 2, 3}, {"say \"3\"", 0, 0, 4}, {"", 7, 8, 5}}));
  // The name column may be left out.
  const PointTable noNames = ReadPointTable("x,y\n1,2\n");
  ASSERT_EQ(noNames.rows.size(), 1u);
  EXPECT_EQ(noNames.rows[0].y, 2);
  // name,x,y,h as the transform program writes it; the height may be blank.
  const PointTable withHeight = ReadPointTable("name,x,y,h\nK1,3404079.3582,528680.0889,12.0000\nK2,1,2,\n");
  ASSERT_EQ(withHeight.rows.size(), 2u);
  EXPECT_EQ(withHeight.rows[0].y, 528680.0889);
  EXPECT_EQ(withHeight.rows[1].name, "K2");
}

TEST(GenericTable, ReadsAProfileTable) {
  const std::vector<ColumnHeading> profile = {{"station", {"station", "桩号"}},
                                           {"elevation", {"elevation", "高程"}},
                                           {"r", {"r", "竖曲线半径"}, false}};
  const Table table = ReadTable("桩号\t高程\t竖曲线半径\nK0+000\t100.5\t\nK0+450.25\t104.2\t8000\n900\t101\n", profile);
  ASSERT_EQ(table.RowCount(), 3u);
  EXPECT_EQ(table.Station(1, 0), 450.25);
  EXPECT_EQ(table.Number(1, 1), 104.2);
  EXPECT_EQ(table.NumberOr(0, 2, 0), 0);
  EXPECT_EQ(table.NumberOr(1, 2, 0), 8000);
  EXPECT_EQ(table.Station(2, 0), 900);
  EXPECT_EQ(table.LineNumber(2), 4);
  EXPECT_TRUE(table.HasColumn(2));
  EXPECT_FALSE(ReadTable("station,elevation\n0,1\n", profile).HasColumn(2));
  // The cells outlive the copies of the table.
  const Table copy = table;
  EXPECT_EQ(copy.Cell(1, 0), "K0+450.25");
  const Table bad = ReadTable("station,elevation\nK0+1000,1\n0,x\n", profile);
  EXPECT_NE(RefusalOf([&] { bad.Station(0, 0); }).find("第 2 行：station 不是桩号"), std::string::npos);
  EXPECT_NE(RefusalOf([&] { bad.Number(1, 1); }).find("第 3 行：elevation 不是数字：“x”"), std::string::npos);
}

}  // namespace
}  // namespace survey::alignment
