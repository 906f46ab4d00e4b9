#include "dovetree/report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace dovetree {
namespace {

const std::string b15(15, ' ');

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

std::string WorkedReport(const char* m = "870") {
  const auto in = ReadStationInput("1000", "30.0000", "500", "60", m);
  const auto r = ComputeStationDeflections(*in);
  return MainReport({"1000", "500", "60"}, *r);
}

TEST(MainReport, HeadingEchoesTheTypedDataAndSinglePrecisionElements) {
  const auto lines = Lines(WorkedReport());
  ASSERT_EQ(lines.size(), 14u + 9u);
  EXPECT_NE(lines[0].find("Dovetree"), std::string::npos);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], std::string(25, ' ') + "－－－原 始 数 据－－－");
  EXPECT_EQ(lines[3], b15 + "交点桩号JD=1000     偏角角度α＝30°0′0″");
  EXPECT_EQ(lines[4], b15 + "曲线半径R ＝500     DovetreeLS＝60");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], std::string(25, ' ') + "－－－曲 线 要 素－－－");
  // p and q are single precision here: 0.3 and 29.9964, not 0.3 and 29.9964 with 15 digits.
  EXPECT_EQ(lines[7], b15 + "P=0.3     Q=29.9964     L=321.7994");
  EXPECT_EQ(lines[8], b15 + "T=164.0514     E=17.94867     QZ=996.8483");
  EXPECT_EQ(lines[9], b15 + "ZH=835.9486     HY=895.9486");
  EXPECT_EQ(lines[10], b15 + "YH=1097.748     HZ=1157.748");
  EXPECT_EQ(lines[11], "");
  EXPECT_EQ(lines[12], std::string(25, ' ') + "－－－加桩计算结果－－－");
  EXPECT_EQ(lines[13], b15 + "加桩桩号＝     偏角Pj＝        反偏角=");
}

TEST(MainReport, WorkedExampleRows) {
  const auto lines = Lines(WorkedReport());
  const std::vector<std::string> rows(lines.begin() + 14, lines.end());
  const std::vector<std::string> expected = {
      b15 + " 835.9486(zh)    " + " 0° 44′ 18″    " + "359°15′42″",
      b15 + " 840             " + " 0° 41′ 21″    " + "359°18′39″",
      b15 + " 850             " + " 0° 31′ 23″    " + "359°28′37″",
      b15 + " 860             " + " 0° 17′ 36″    " + "359°42′24″",
      b15 + " 870             " + " 0° 0′ 0″      " + "360°0′0″",
      b15 + " 870(置镜)       " + " 0° 0′ 0″      " + "360°0′0″",
      b15 + " 880             " + " 0° 21′ 25″    " + "359°38′35″",
      b15 + " 890             " + " 0° 46′ 40″    " + "359°13′20″",
      b15 + " 895.9486(hy)    " + " 1° 3′ 29″     " + "358°56′31″",
  };
  EXPECT_EQ(rows, expected);
}

// Display columns of a UTF-8 text in the report font: CJK characters (three-byte sequences
// here, apart from the angle signs) are two columns wide.
std::size_t Columns(const std::string& text) {
  std::size_t cols = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    const std::string ch = text.substr(i, len);
    cols += (len == 3 && ch != "′" && ch != "″") ? 2 : 1;
    i += len;
  }
  return cols;
}

TEST(MainReport, RowColumnsLineUp) {
  // Station part 17 columns and deflection field 15 after the 15 blanks, whatever the row:
  // the reverse text always starts at column 47.
  for (const char* m : {"870", "865.25", "861.5", "838"}) {
    const auto lines = Lines(WorkedReport(m));
    for (std::size_t i = 14; i < lines.size(); ++i) {
      const std::string& l = lines[i];
      EXPECT_EQ(Columns(l.substr(0, l.rfind(' ') + 1)), 47u) << l;
    }
  }
  EXPECT_NE(WorkedReport("865.25").find(b15 + " 865.25(置镜)    " + " 0° 0′ 0″      360°0′0″\r\n"), std::string::npos);
}

TEST(ExtraStakeLine, DoubleStationSignedAngles) {
  const auto in = ReadStationInput("1000", "30.0000", "500", "60", "870");
  const auto row = ComputeExtraStakeDeflection(*in, 700);
  EXPECT_EQ(ExtraStakeLine(*row), b15 + " 700(加桩)       " + "-3°-40′-18″    " + "363°40′18″\r\n");
  // The station is a double: all its typed digits up to 15 significant ones are printed.
  const auto precise = ComputeExtraStakeDeflection(*in, 870.123456789);
  EXPECT_TRUE(StartsWith(ExtraStakeLine(*precise), b15 + " 870.123456789(加桩)" + " 0° "));
}

TEST(ExtraStakeLine, OverlongNumbersGetNoPaddingAndNoStaleText) {
  const auto in = ReadStationInput("1000", "30.0000", "500", "60", "870");
  const auto row = ComputeExtraStakeDeflection(*in, 870.12345678901);  // 16 characters signed
  EXPECT_TRUE(StartsWith(ExtraStakeLine(*row), b15 + " 870.12345678901(加桩)" + " 0° "));
}

TEST(MainReport, NegativeStationsAndShortNumbers) {
  // A ZH below zero prints its minus sign in place of the blank; "(zh)" padding counts it.
  const auto in = ReadStationInput("100", "30", "500", "60", "-40");
  const auto r = ComputeStationDeflections(*in);
  ASSERT_TRUE(r);
  const auto lines = Lines(MainReport({"100", "500", "60"}, *r));
  EXPECT_EQ(lines[14], b15 + "-64.05138(zh)    " + " 0° 22′ 6″     359°37′54″");
  EXPECT_EQ(lines[15], b15 + "-50" + std::string(14, ' ') + " 0° 11′ 52″    359°48′8″");
  EXPECT_EQ(lines[16], b15 + "-40" + std::string(14, ' ') + " 0° 0′ 0″      360°0′0″");
  EXPECT_EQ(lines[17], b15 + "-40(置镜)" + std::string(8, ' ') + " 0° 0′ 0″      360°0′0″");
  EXPECT_EQ(lines.back(), b15 + "-4.051376(hy)    " + " 1° 14′ 14″    358°45′46″");
}

TEST(HelpText, ThreeLinesNoFinalLineEnd) {
  const std::string help = HelpText();
  EXPECT_EQ(help.rfind("    使用声明：本窗口为阅览窗口。如果你想打印的话，可以按“打印”。\r\n", 0), 0u);
  EXPECT_NE(help.find("\r\n    在原始数据输入时，偏交输入方法为：如果要输入：88度22分22秒，就输入88．2222。\r\n    "),
            std::string::npos);
  EXPECT_NE(help.substr(help.size() - 2), "\r\n");
}

}  // namespace
}  // namespace dovetree
