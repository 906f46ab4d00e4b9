#include "coordinates/parameter_file.h"

#include <gtest/gtest.h>

namespace coordinates {
namespace {

using Outcome = ParameterFileContent::Outcome;

const std::vector<std::string> kMarlowbyDefaults = {"46276.097", "-4532.808", "44992.796", "-1906.348", "10",
                                                    "0",         "1810.791",  "4734",      "",          "0"};

std::vector<std::string> CurveValues(const std::string& turn) {
  return {"项目", "张三", "46722.855", "-7619.616", "47307.8854", "-7992.9398", "875.262",
          "55.5659", "1250", "0", "0", turn, ""};
}

TEST(ParameterFileWrite, MarlowbyDefaultsGiveElevenCrLfLines) {
  EXPECT_EQ(ParameterFileText(ParameterKind::StraightLine, kMarlowbyDefaults),
            "[zxzb]\r\n46276.097\r\n-4532.808\r\n44992.796\r\n-1906.348\r\n10\r\n0\r\n1810.791\r\n4734\r\n\r\n0\r\n");
}

TEST(ParameterFileWrite, CurveBlockHasFourteenLinesWithTheTurnAsPrinted) {
  const std::string text = ParameterFileText(ParameterKind::Curve, CurveValues(TurnLineText(true)));
  EXPECT_EQ(text.rfind("[qxzb]\r\n项目\r\n张三\r\n", 0), 0u);
  EXPECT_NE(text.find("\r\n 1 \r\n\r\n"), std::string::npos);
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 14u);
  EXPECT_EQ(TurnLineText(false), " 0 ");
}

TEST(ParameterFileRead, RoundTripRestoresEveryFieldIncludingEmptyOnes) {
  const auto content = ReadParameterFileText(ParameterKind::StraightLine,
                                             ParameterFileText(ParameterKind::StraightLine, kMarlowbyDefaults));
  EXPECT_EQ(content.outcome, Outcome::Ok);
  EXPECT_EQ(content.values, kMarlowbyDefaults);
  EXPECT_FALSE(content.turnLeft.has_value());
}

TEST(ParameterFileRead, HeaderMustMatchExactly) {
  std::string text = ParameterFileText(ParameterKind::StraightLine, kMarlowbyDefaults);
  for (const std::string header : {"[ZXZB]", "[zxzb] ", " [zxzb]", "[qxzb]", ""}) {
    const std::string changed = header + text.substr(6);
    EXPECT_EQ(ReadParameterFileText(ParameterKind::StraightLine, changed).outcome, Outcome::WrongHeader) << header;
  }
  EXPECT_EQ(ReadParameterFileText(ParameterKind::StraightLine, ParameterFileText(ParameterKind::Curve, CurveValues(" 1 "))).outcome,
            Outcome::WrongHeader);
  EXPECT_EQ(ReadParameterFileText(ParameterKind::Curve, text).outcome, Outcome::WrongHeader);
}

TEST(ParameterFileRead, TheLastOfSeveralBlocksWins) {
  std::vector<std::string> second = kMarlowbyDefaults;
  second[0] = "1";
  second[8] = "2000";
  const std::string text = ParameterFileText(ParameterKind::StraightLine, kMarlowbyDefaults) +
                           ParameterFileText(ParameterKind::StraightLine, second);
  const auto content = ReadParameterFileText(ParameterKind::StraightLine, text);
  EXPECT_EQ(content.outcome, Outcome::Ok);
  EXPECT_EQ(content.values, second);
}

TEST(ParameterFileRead, FileCutShortInsideABlockIsIncomplete) {
  const auto content = ReadParameterFileText(ParameterKind::StraightLine, "[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n");
  EXPECT_EQ(content.outcome, Outcome::Incomplete);
  EXPECT_TRUE(content.values.empty());
  // A complete block followed by a cut second block changes nothing either.
  const std::string text = ParameterFileText(ParameterKind::StraightLine, kMarlowbyDefaults) + "[zxzb]\r\n1\r\n";
  EXPECT_EQ(ReadParameterFileText(ParameterKind::StraightLine, text).outcome, Outcome::Incomplete);
  // An empty file of either kind is damaged, not a file that blanks every field.
  for (const ParameterKind kind : {ParameterKind::StraightLine, ParameterKind::Curve}) {
    const auto empty = ReadParameterFileText(kind, "");
    EXPECT_EQ(empty.outcome, Outcome::Incomplete);
    EXPECT_TRUE(empty.values.empty());
  }
}

TEST(ParameterFileRead, OtherLineEndsAndAMissingLastEndAreAccepted) {
  const auto lf = ReadParameterFileText(ParameterKind::StraightLine,
                                        "[zxzb]\n46276.097\n-4532.808\n44992.796\n-1906.348\n10\n0\n1810.791\n4734\n\n0");
  EXPECT_EQ(lf.outcome, Outcome::Ok);
  EXPECT_EQ(lf.values, kMarlowbyDefaults);
  // A blank line after the block is read where a header belongs.
  const std::string extra = ParameterFileText(ParameterKind::StraightLine, kMarlowbyDefaults) + "\r\n";
  EXPECT_EQ(ReadParameterFileText(ParameterKind::StraightLine, extra).outcome, Outcome::WrongHeader);
}

TEST(ParameterFileRead, TurnLineIsReadAsANumber) {
  const auto read = [](const std::string& turn) {
    return ReadParameterFileText(ParameterKind::Curve, ParameterFileText(ParameterKind::Curve, CurveValues(turn)));
  };
  EXPECT_EQ(read("0").turnLeft, std::optional<bool>(false));
  EXPECT_EQ(read("1").turnLeft, std::optional<bool>(true));
  EXPECT_EQ(read(" 1 ").turnLeft, std::optional<bool>(true));
  EXPECT_EQ(read("2").turnLeft, std::optional<bool>(false));
  const auto content = read(" 1 ");
  EXPECT_EQ(content.values[0], "项目");
  EXPECT_EQ(content.values[12], "");
  EXPECT_EQ(read("左").outcome, Outcome::Incomplete);
}

TEST(ParameterFileRead, CurveFileEndingAfterTheTurnLineChangesNothing) {
  std::string text = ParameterFileText(ParameterKind::Curve, CurveValues("0"));
  text.resize(text.size() - 2);  // drop the empty last line and its end
  text.resize(text.rfind("\r\n") + 2);
  const auto content = ReadParameterFileText(ParameterKind::Curve, text);
  EXPECT_EQ(content.outcome, Outcome::Incomplete);
  EXPECT_FALSE(content.turnLeft.has_value());
}

}  // namespace
}  // namespace coordinates
