#include "curve/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace survey::curve {
namespace {

std::string B(std::size_t n) { return std::string(n, ' '); }

// Columns of a text in a monospaced CJK face: CJK characters and full-width forms take two.
std::size_t Columns(std::string_view s) {
  std::size_t cols = 0;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    cols += (cp >= 0x3000 && cp <= 0x9FFF) || (cp >= 0xFF00 && cp <= 0xFF60) ? 2 : 1;
    i += len;
  }
  return cols;
}

struct Worked {
  CurveInput in{1000, 30.0000, 500, 60};
  CurveElements e = ComputeCurveElementsDoublePQ(in);
  std::vector<StakeRow> rows = BuildStakeRows(in, e);
  ReportHead head = MakeReportHead(BrannockBanner(), "1000", "500", "60", e);
  std::vector<std::string> lines = MainReportLines(head, rows, "26-12-6");
};

TEST(ReportFields, StationFields) {
  EXPECT_EQ(StakeStationField(840), " 840" + B(13));
  EXPECT_EQ(MainStationField(835.9486f, RowKind::Start), " 835.9486(起点)  ");
  EXPECT_EQ(MainStationField(1097.748f, RowKind::YH), " 1097.748(圆缓)  ");
  EXPECT_EQ(MainStationField(-5, RowKind::Extra), "-5(加桩)" + B(9));
  // Stake and main station fields take the same 17 columns.
  EXPECT_EQ(Columns(StakeStationField(840)), 17u);
  EXPECT_EQ(Columns(MainStationField(835.9486f, RowKind::Start)), 17u);
}

TEST(ReportFields, OverlongNumbersGetNoBlanks) {
  EXPECT_EQ(SuffixedStationField("12345678901", "(加桩)"), "12345678901(加桩)");
  EXPECT_EQ(SuffixedStationField("123456789012", "(加桩)"), "123456789012(加桩)");
  EXPECT_EQ(SuffixedStationField(" 835.9486", "(zh)", 13), " 835.9486(zh)    ");
  EXPECT_EQ(StakeStationField(-1.234567e6f), "-1234567" + B(9));
  EXPECT_EQ(PadRight("12345678901234567890", kStakeStationWidth), "12345678901234567890");
}

TEST(ReportFields, AngleFields) {
  EXPECT_EQ(DeflectionField(0), " 0° 0′ 0″" + B(6));
  EXPECT_EQ(ReverseText(0), "360°0′0″");
  EXPECT_EQ(kFixedReverseText, "360°0′0″");
  // Negative deflections keep their signs and the reverse passes 360.
  EXPECT_EQ(DeflectionField(-1.5), "-1°-30′ 0″" + B(5));
  EXPECT_EQ(ReverseText(-1.5), "361°30′0″");
}

TEST(MainReport, WorkedExampleLines) {
  const Worked w;
  const auto& L = w.lines;
  EXPECT_EQ(L[1], "");
  EXPECT_EQ(L[2], B(25) + "－－－原 始 数 据－－－");
  EXPECT_EQ(L[3], B(15) + "交点桩号JD=1000" + B(5) + "偏角角度α＝30°0′0″");
  EXPECT_EQ(L[4], B(15) + "曲线半径R ＝500" + B(5) + "DovetreeLS＝60");
  EXPECT_EQ(L[5], "");
  EXPECT_EQ(L[6], B(25) + "－－－曲 线 要 素－－－");
  EXPECT_EQ(L[7], B(15) + "P=0.3" + B(5) + "Q=29.9964" + B(5) + "L=321.7994");
  EXPECT_EQ(L[8], B(15) + "T=164.0514" + B(5) + "E=17.94867" + B(5) + "QZ=996.8483");
  EXPECT_EQ(L[9], B(15) + "ZH=835.9486" + B(5) + "HY=895.9486");
  EXPECT_EQ(L[10], B(15) + "YH=1097.748" + B(5) + "HZ=1157.748");
  EXPECT_EQ(L[11], "");
  EXPECT_EQ(L[12], B(25) + "－－－加桩计算结果－－－");
  EXPECT_EQ(L[13], B(15) + "加桩桩号＝" + B(5) + "偏角Pj＝" + B(8) + "反偏角=");
  EXPECT_EQ(L[14], B(15) + " 835.9486(起点)  " + " 0° 0′ 0″" + B(6) + "360°0′0″" + B(4));
  EXPECT_EQ(L[15], B(15) + " 840" + B(13) + " 0° 0′ 19″" + B(5) + "359°59′41″");
  EXPECT_EQ(L[21], B(15) + " 895.9486(缓圆)  " + " 1° 8′ 45″" + B(5) + "358°51′15″");
  EXPECT_EQ(L[32], B(15) + " 996.8483(曲中)  " + " 5° 46′ 52″" + B(4) + "354°13′8″");
  EXPECT_EQ(L[50], B(15) + " 1157.748(终点)  " + " 0° 0′ 0″" + B(6) + "360°0′0″" + B(5));
  EXPECT_EQ(L[51], B(5));
  EXPECT_EQ(L[52], B(15) + "软件制作：2002年1月14日" + B(2) + "打印日期：2026-12-6");
  EXPECT_EQ(L.size(), 53u);
}

TEST(MainReport, WithoutTransitionsEchoesTheInputAsTyped) {
  const CurveInput in{1000, 30.0000, 500, 0};
  const CurveElements e = ComputeCurveElementsDoublePQ(in);
  const auto lines =
      MainReportLines(MakeReportHead(BrannockBanner(), "1000.000", "500", "0", e), BuildStakeRows(in, e), "1-2-3");
  EXPECT_EQ(lines[3], B(15) + "交点桩号JD=1000.000" + B(5) + "偏角角度α＝30°0′0″");
  EXPECT_EQ(lines[7], B(15) + "P=0" + B(5) + "Q=0" + B(5) + "L=261.7994");
  EXPECT_EQ(lines[8], B(15) + "T=133.9746" + B(5) + "E=17.63809" + B(5) + "QZ=996.925");
  EXPECT_EQ(lines[9], B(15) + "ZH=866.0254" + B(5) + "HY=866.0254");
  EXPECT_EQ(lines[10], B(15) + "YH=1127.825" + B(5) + "HZ=1127.825");
}

TEST(MainReport, AlphaEchoUsesParsedComponents) {
  const CurveElements e = ComputeCurveElementsDoublePQ({0, 88.2222, 500, 0});
  const auto lines = HeadLines(MakeReportHead("x", "0", "500", "0", e));
  EXPECT_EQ(lines[0], "x");
  EXPECT_EQ(lines[3], B(15) + "交点桩号JD=0" + B(5) + "偏角角度α＝88°22′22″");
}

TEST(MainReport, RowColumnsLineUp) {
  const Worked w;
  for (std::size_t i = 14; i + 2 < w.lines.size(); ++i) {
    const std::string& line = w.lines[i];
    // Station fields end at column 32 and deflection fields at column 47, whatever the row.
    const StakeRow& r = w.rows[i - 14];
    EXPECT_EQ(Columns(B(15) + StationField(r)), 32u) << line;
    EXPECT_EQ(Utf8Length(DeflectionField(r.deflection)), 15u) << line;
  }
}

TEST(MainReport, TextEndsEveryLineWithCrLf) {
  const Worked w;
  const std::string text = WriteMainReport(w.head, w.rows, "26-12-6");
  EXPECT_EQ(text, JoinCrLf(w.lines));
  EXPECT_TRUE(text.ends_with("打印日期：2026-12-6\r\n"));
  std::size_t crlf = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) crlf += text[i] == '\r' && text[i + 1] == '\n';
  EXPECT_EQ(crlf, w.lines.size());
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

TEST(ExtraStakeLine, AppendsOneLineEachTime) {
  const Worked w;
  std::string report = WriteMainReport(w.head, w.rows, "26-12-6");
  const std::string before = report;
  const auto extra = ComputeExtraStake(w.in, "850");
  ASSERT_TRUE(extra);
  AppendExtraStakeLine(report, *extra);
  AppendExtraStakeLine(report, *extra);
  const std::string line = B(15) + " 850(加桩)" + B(7) + " 0° 3′ 46″" + B(5) + "359°56′14″\r\n";
  EXPECT_EQ(ExtraStakeLine(*extra), line);
  EXPECT_EQ(report, before + line + line);
}

TEST(SavedRecord, QuotesTheReportUnchanged) {
  EXPECT_EQ(SavedReportRecord("a\r\nb\"c\r\n"), "\"a\r\nb\"c\r\n\"\r\n");
  EXPECT_EQ(SavedReportRecord(""), "\"\"\r\n");
}

}  // namespace
}  // namespace survey::curve
