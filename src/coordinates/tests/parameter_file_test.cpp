#include "coordinates/parameter_file.h"

#include <gtest/gtest.h>

namespace coordinates {
namespace {

using Outcome = ParameterFileContent::Outcome;
using enum ParameterKind;

const std::vector<std::string> kStraight = {"46276.097", "-4532.808", "44992.796", "-1906.348", "10",
                                            "0",         "1810.791",  "4734",      "",          "0"};
constexpr char kStraightText[] =
    "[zxzb]\r\n46276.097\r\n-4532.808\r\n44992.796\r\n-1906.348\r\n10\r\n0\r\n1810.791\r\n4734\r\n\r\n0\r\n";

std::vector<std::string> CurveValues(const std::string& turn) {
  return {"项目", "张三", "46722.855", "-7619.616", "47307.8854", "-7992.9398", "875.262", "55.5659", "1250", "0", "0", turn, ""};
}

TEST(ParameterFileWrite, HeaderThenEveryValueOnACrLfLine) {
  EXPECT_EQ(ParameterFileText(StraightLine, kStraight), kStraightText);
  EXPECT_EQ(ParameterFileText(Curve, CurveValues(TurnLineText(true))),
            "[qxzb]\r\n项目\r\n张三\r\n46722.855\r\n-7619.616\r\n47307.8854\r\n-7992.9398\r\n875.262\r\n55.5659\r\n1250\r\n"
            "0\r\n0\r\n 1 \r\n\r\n");
  EXPECT_EQ(TurnLineText(false), " 0 ");
}

TEST(ParameterFileRead, OnlyCompleteBlocksOfTheKindAreRead) {
  const std::string straight = kStraightText;
  std::vector<std::string> second = kStraight;
  second[0] = "1";
  second[8] = "2000";
  const struct {
    ParameterKind kind;
    std::string text;
    Outcome outcome;
    std::vector<std::string> values;
  } cases[] = {
      {StraightLine, straight, Outcome::Ok, kStraight},
      {StraightLine, straight + ParameterFileText(StraightLine, second), Outcome::Ok, second},  // the last block wins
      {StraightLine, "[zxzb]\n46276.097\n-4532.808\n44992.796\n-1906.348\n10\n0\n1810.791\n4734\n\n0", Outcome::Ok, kStraight},
      {StraightLine, "[zxzb]\r46276.097\r-4532.808\r44992.796\r-1906.348\r10\r0\r1810.791\r4734\r\r0\r", Outcome::Ok, kStraight},
      {StraightLine, "[ZXZB]" + straight.substr(6), Outcome::WrongHeader, {}},
      {StraightLine, "[zxzb] " + straight.substr(6), Outcome::WrongHeader, {}},
      {StraightLine, straight + "\r\n", Outcome::WrongHeader, {}},  // a blank line where a header belongs
      {StraightLine, ParameterFileText(Curve, CurveValues("1")), Outcome::WrongHeader, {}},
      {Curve, straight, Outcome::WrongHeader, {}},
      {StraightLine, "[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n", Outcome::Incomplete, {}},
      {StraightLine, straight + "[zxzb]\r\n1\r\n", Outcome::Incomplete, {}},  // a cut second block changes nothing either
      {Curve, "", Outcome::Incomplete, {}},  // an empty file is damaged, not one that blanks every field
      {Curve, ParameterFileText(Curve, CurveValues("左")), Outcome::Incomplete, {}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const ParameterFileContent content = ReadParameterFileText(cases[i].kind, cases[i].text);
    EXPECT_EQ(content.outcome, cases[i].outcome) << i;
    EXPECT_EQ(content.values, cases[i].values) << i;
    EXPECT_FALSE(content.turnLeft.has_value()) << i;
  }
}

TEST(ParameterFileRead, TheCurveTurnLineIsANumberAndOneMeansLeft) {
  for (const auto& [turn, left] : {std::pair{"0", false}, {"1", true}, {" 1 ", true}, {"2", false}}) {
    const ParameterFileContent content = ReadParameterFileText(Curve, ParameterFileText(Curve, CurveValues(turn)));
    EXPECT_EQ(content.turnLeft, std::optional<bool>(left)) << turn;
    EXPECT_EQ(content.values, CurveValues(turn));
  }
  // A file ending after the turn line, without the extra station, changes nothing.
  std::string text = ParameterFileText(Curve, CurveValues("0"));
  text.resize(text.size() - 2);
  const ParameterFileContent cut = ReadParameterFileText(Curve, text);
  EXPECT_EQ(cut.outcome, Outcome::Incomplete);
  EXPECT_FALSE(cut.turnLeft.has_value());
}

}  // namespace
}  // namespace coordinates
