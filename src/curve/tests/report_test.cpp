#include "curve/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace survey::curve {
namespace {

std::string B(std::size_t n) { return std::string(n, ' '); }

TEST(ReportFields, Cases) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const std::pair<std::string, std::string> cases[] = {
      {StakeStationField(840), " 840" + B(13)}, {StakeStationField(-1.234567e6f), "-1234567" + B(9)},
      {MainStationField(1097.748f, RowKind::YH), " 1097.748(圆缓)  "},  // 17 columns, like a stake
      {MainStationField(-5, RowKind::Extra), "-5(加桩)" + B(9)},
      {SuffixedStationField("12345678901", "(加桩)"), "12345678901(加桩)"},  // overlong: no blanks
      {SuffixedStationField("123456789012", "(加桩)"), "123456789012(加桩)"},
      {SuffixedStationField(" 835.9486", "(zh)", 13), " 835.9486(zh)    "},
      {DeflectionField(0), " 0° 0′ 0″" + B(6)}, {DeflectionField(-1.5), "-1°-30′ 0″" + B(5)},
      {ReverseText(0), "360°0′0″"}, {ReverseText(-1.5), "361°30′0″"},  // passes 360
      {ExtraStakeLine(*ComputeExtraStake(in, "850")), B(15) + " 850(加桩)" + B(7) + " 0° 3′ 46″" + B(5) + "359°56′14″\r\n"},
      {HeadLines(MakeReportHead("x", "1000.000", "500", "0", ComputeCurveElementsDoublePQ({0, 88.2222, 500, 0})))[3],
       B(15) + "交点桩号JD=1000.000" + B(5) + "偏角角度α＝88°22′22″"},  // the station as typed, alpha as parsed
      {SavedReportRecord("a\r\nb\"c\r\n"), "\"a\r\nb\"c\r\n\"\r\n"}, {SavedReportRecord(""), "\"\"\r\n"},
  };
  for (const auto& [field, expected] : cases) EXPECT_EQ(field, expected);
}

// Golden lines: a snapshot of the report's layout; its elements agree with the hand-worked
// example of curve_elements_test.cpp.
TEST(MainReport, WorkedExampleLines) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const CurveElements e = ComputeCurveElementsDoublePQ(in);
  const std::vector<StakeRow> rows = BuildStakeRows(in, e);
  const ReportHead head = MakeReportHead(BrannockBanner(), "1000", "500", "60", e);
  const std::vector<std::string> lines = MainReportLines(head, rows, "26-12-6");
  ASSERT_EQ(lines.size(), 53u);
  EXPECT_EQ(WriteMainReport(head, rows, "26-12-6"), JoinCrLf(lines));
  EXPECT_EQ(JoinCrLf({"a", "b"}), "a\r\nb\r\n");
  const std::pair<std::size_t, std::string> expected[] = {
      {1, ""}, {5, ""}, {11, ""}, {51, B(5)},
      {2, B(25) + "－－－原 始 数 据－－－"},
      {3, B(15) + "交点桩号JD=1000" + B(5) + "偏角角度α＝30°0′0″"},
      {4, B(15) + "曲线半径R ＝500" + B(5) + "缓和曲线LS＝60"},
      {6, B(25) + "－－－曲 线 要 素－－－"},
      {7, B(15) + "P=0.3" + B(5) + "Q=29.9964" + B(5) + "L=321.7994"},
      {8, B(15) + "T=164.0514" + B(5) + "E=17.94867" + B(5) + "QZ=996.8483"},
      {9, B(15) + "ZH=835.9486" + B(5) + "HY=895.9486"},
      {10, B(15) + "YH=1097.748" + B(5) + "HZ=1157.748"},
      {12, B(25) + "－－－加桩计算结果－－－"},
      {13, B(15) + "加桩桩号＝" + B(5) + "偏角Pj＝" + B(8) + "反偏角="},
      {14, B(15) + " 835.9486(起点)  " + " 0° 0′ 0″" + B(6) + "360°0′0″" + B(4)},
      {15, B(15) + " 840" + B(13) + " 0° 0′ 19″" + B(5) + "359°59′41″"},
      {21, B(15) + " 895.9486(缓圆)  " + " 1° 8′ 45″" + B(5) + "358°51′15″"},
      {32, B(15) + " 996.8483(曲中)  " + " 5° 46′ 52″" + B(4) + "354°13′8″"},
      {43, B(15) + " 1097.748(圆缓)  " + " 1° 8′ 45″" + B(5) + "358°51′15″"},
      {50, B(15) + " 1157.748(终点)  " + " 0° 0′ 0″" + B(6) + "360°0′0″" + B(5)},
      {52, B(15) + "软件制作：2002年1月14日" + B(2) + "打印日期：2026-12-6"},
  };
  for (const auto& [index, line] : expected) EXPECT_EQ(lines[index], line) << index;
  // Every deflection of the list, row by row, as the stake column prints it.
  std::string deflections;
  for (const StakeRow& r : rows) deflections += DmsText(SplitDms(r.deflection), TextForm::Plain) + " ";
  EXPECT_EQ(deflections,
            "0°0′0″ 0°0′19″ 0°3′46″ 0°11′3″ 0°22′9″ 0°37′4″ 0°55′48″ 1°8′45″ 0°13′56″ 0°48′18″ 1°22′41″ 1°57′4″ "
            "2°31′26″ 3°5′49″ 3°40′12″ 4°14′34″ 4°48′57″ 5°23′19″ 5°46′52″ 5°36′2″ 5°1′39″ 4°27′17″ 3°52′54″ "
            "3°18′31″ 2°44′9″ 2°9′46″ 1°35′23″ 1°1′1″ 0°26′38″ 1°8′45″ 1°3′41″ 0°43′33″ 0°27′13″ 0°14′42″ 0°6′1″ "
            "0°1′9″ 0°0′0″ ");
}

}  // namespace
}  // namespace survey::curve
