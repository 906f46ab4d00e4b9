#include "rillford/form.h"

#include <gtest/gtest.h>

#include "common/testing/batch_capture.h"
#include "rillford/batch.h"

namespace rillford {
namespace {

struct Forward {
  std::string x, y;
  survey::RecordingHost host;
};

Forward RunForward(const std::string& ax, const std::string& ay, const std::string& d, const std::string& m,
                   const std::string& s, const std::string& dist) {
  Form4 form;
  form.Text(1) = ax;
  form.Text(2) = ay;
  form.Text(3) = d;
  form.Text(4) = m;
  form.Text(5) = s;
  form.Text(6) = dist;
  Forward f;
  form.Command1_Click(f.host);
  f.x = form.Text(7);
  f.y = form.Text(8);
  return f;
}

std::string RunInverse(const std::string& ax, const std::string& ay, const std::string& bx, const std::string& by) {
  Form4 form;
  form.Text(9) = ax;
  form.Text(10) = ay;
  form.Text(11) = bx;
  form.Text(12) = by;
  survey::RecordingHost host;
  form.Command3_Click(host);
  EXPECT_TRUE(host.messages.empty());
  return form.Text(13) + " " + form.Text(14) + " " + form.Text(15) + " " + form.Text(16);
}

TEST(Forward, AxisDirectionsAndDiagonal) {
  Forward f = RunForward("0", "0", "0", "0", "0", "100");
  EXPECT_EQ(f.x, "100");
  EXPECT_EQ(f.y, "0");
  // cos 90 degrees with the survey constant is about -2e-10: it rounds away, no "-0".
  f = RunForward("0", "0", "90", "0", "0", "100");
  EXPECT_EQ(f.x, "0");
  EXPECT_EQ(f.y, "100");
  f = RunForward("0", "0", "45", "0", "0", "100");
  EXPECT_EQ(f.x, "70.711");
  EXPECT_EQ(f.y, "70.711");
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(Forward, PartsNeedNoRangeAndNoCarry) {
  const Forward a = RunForward("0", "0", "0", "90", "0", "100");
  const Forward b = RunForward("0", "0", "1", "30", "0", "100");
  EXPECT_EQ(a.x, b.x);
  EXPECT_EQ(a.y, b.y);
  const Forward c = RunForward("0", "0", "0", "0", "5400", "100");
  EXPECT_EQ(c.x, b.x);
  EXPECT_EQ(c.y, b.y);
  // Negative parts subtract: 31 degrees minus 60 minutes is 30 degrees.
  const Forward d = RunForward("0", "0", "31", "-60", "0", "1");
  EXPECT_EQ(d.x, "0.866");
  EXPECT_EQ(d.y, "0.5");
}

TEST(Forward, ShowsPlainMillimetreTexts) {
  // 1234.5 shows without trailing zeros; the offset is exact on the X axis.
  Forward f = RunForward("1000", "500.25", "0", "0", "0", "234.5");
  EXPECT_EQ(f.x, "1234.5");
  EXPECT_EQ(f.y, "500.25");
  // A half millimetre goes toward +infinity on both sides of zero.
  f = RunForward("1.0625", "-1.0625", "0", "0", "0", "0");
  EXPECT_EQ(f.x, "1.063");
  EXPECT_EQ(f.y, "-1.062");
}

TEST(Forward, EmptyFieldGivesDataErrorAndKeepsOutputs) {
  for (int empty = 1; empty <= 6; ++empty) {
    Form4 form;
    for (int i = 1; i <= 6; ++i) form.Text(i) = "1";
    form.Text(empty).clear();
    form.Text(7) = "old x";
    form.Text(8) = "old y";
    survey::RecordingHost host;
    form.Command1_Click(host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "你输入所有数据了吗？\r\n请重新输入。");
    EXPECT_EQ(host.messages[0].title, "输入数据出错");
    EXPECT_EQ(host.messages[0].icon, survey::MessageIcon::Question);
    EXPECT_EQ(form.Text(7), "old x");
    EXPECT_EQ(form.Text(8), "old y");
  }
}

TEST(Forward, TextThatIsNotANumberIsRefusedByName) {
  for (const char* bad : {"12a", "1,5", "abc", "1.2.3"}) {
    Form4 form;
    for (int i = 1; i <= 6; ++i) form.Text(i) = "1";
    form.Text(4) = bad;
    form.Text(7) = "keep";
    survey::RecordingHost host;
    form.Command1_Click(host);
    ASSERT_EQ(host.messages.size(), 1u) << bad;
    EXPECT_TRUE(host.messages[0].refusal);
    EXPECT_NE(host.messages[0].text.find("方位角（分）"), std::string::npos);
    EXPECT_NE(host.messages[0].text.find(bad), std::string::npos);
    EXPECT_EQ(form.Text(7), "keep");
    EXPECT_EQ(form.Text(8), "");
  }
  // Blanks around a number are not part of the number's trouble.
  EXPECT_EQ(RunForward(" 0", "0 ", "0", "0", "0", "100").x, "100");
  // A blank-only field is not empty, but it is not a number either.
  EXPECT_FALSE(RunForward("0", "0", " ", "0", "0", "100").host.messages.empty());
}

TEST(Forward, OverflowIsRefusedNotShownAsInf) {
  const Forward f = RunForward("1e308", "0", "0", "0", "0", "1e308");
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_TRUE(f.host.messages[0].refusal);
  EXPECT_EQ(f.x, "");
}

TEST(Inverse, DiagonalCarriesSixtySecondsIntoTheMinute) {
  EXPECT_EQ(RunInverse("0", "0", "100", "100"), "45 0 0 141.421");
  EXPECT_EQ(RunInverse("0", "0", "-1", "-1"), "225 0 0 1.414");
  EXPECT_EQ(RunInverse("0", "0", "1", "-1"), "315 0 0 1.414");
  EXPECT_EQ(RunInverse("0", "0", "-1", "1"), "135 0 0 1.414");
}

TEST(Inverse, AxisCases) {
  EXPECT_EQ(RunInverse("0", "0", "0", "9"), "90 0 0 9");
  EXPECT_EQ(RunInverse("0", "0", "0", "-9"), "270 0 0 9");
  EXPECT_EQ(RunInverse("0", "0", "-5", "0"), "180 0 0 5");
  EXPECT_EQ(RunInverse("0", "0", "5", "0"), "0 0 0 5");
  // The order of the points decides, not how their numbers are written.
  EXPECT_EQ(RunInverse("0", "9", "0.0", "10"), "90 0 0 1");
  EXPECT_EQ(RunInverse("3", "4", "3", "4"), "0 0 0 0");
}

TEST(Inverse, JustBelowAFullCircleShows360) {
  EXPECT_EQ(RunInverse("0", "0", "1000", "-0.000001"), "360 0 0 1000");
}

TEST(Inverse, EmptyOrBadFieldKeepsOutputs) {
  for (int empty = 9; empty <= 12; ++empty) {
    Form4 form;
    for (int i = 9; i <= 12; ++i) form.Text(i) = "2";
    for (int i = 13; i <= 16; ++i) form.Text(i) = "was";
    form.Text(empty) = empty == 12 ? "x" : "";
    survey::RecordingHost host;
    form.Command3_Click(host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "输入数据出错");
    for (int i = 13; i <= 16; ++i) EXPECT_EQ(form.Text(i), "was");
  }
  Form4 form;
  form.Text(9) = "-1e308";
  form.Text(10) = "0";
  form.Text(11) = "1e308";
  form.Text(12) = "1e308";
  survey::RecordingHost host;
  form.Command3_Click(host);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(form.Text(16), "");
}

TEST(Clear, EachButtonEmptiesOnlyItsOwnFrame) {
  Form4 form;
  for (int i = 1; i <= 16; ++i) form.Text(i) = std::to_string(i);
  form.Command2_Click();
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(form.Text(i), "");
  for (int i = 9; i <= 16; ++i) EXPECT_EQ(form.Text(i), std::to_string(i));
  form.Command4_Click();
  for (int i = 9; i <= 16; ++i) EXPECT_EQ(form.Text(i), "");
}

TEST(Frames, ComputingOneFrameLeavesTheOtherAlone) {
  Form4 form;
  for (int i = 1; i <= 6; ++i) form.Text(i) = "0";
  form.Text(13) = "stay";
  survey::RecordingHost host;
  form.Command1_Click(host);
  EXPECT_EQ(form.Text(13), "stay");
  EXPECT_EQ(form.Text(7), "0");
}

using survey::testing::BatchRun;
BatchRun Batch(const std::vector<std::string>& args) {
  return survey::testing::CaptureBatch(
      [](const std::vector<std::string>& a, std::ostream& out, std::ostream& err) { return RunBatch(a, out, err); }, args);
}

TEST(Batch, ForwardAndInversePrintTheirFields) {
  BatchRun r = Batch({"--forward", "--ax", "0", "--ay", "0", "--deg", "45", "--min", "0", "--sec", "0", "--dist", "100"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "70.711 70.711\n");
  r = Batch({"--inverse", "--ax=0", "--ay=0", "--bx=-1", "--by=-1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "225 0 0 1.414\n");
}

TEST(Batch, RefusalGoesToStderrWithStatus2) {
  BatchRun r = Batch({"--inverse", "--ax", "0", "--ay", "0", "--bx", "1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "你输入所有数据了吗？\n请重新输入。\n");
  r = Batch({"--forward", "--inverse"});
  EXPECT_EQ(r.status, 2);
  r = Batch({"--forward", "--bx", "1"});
  EXPECT_EQ(r.status, 2);
  r = Batch({"--inverse", "--nonsense", "1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(Batch({"--help"}).status, 0);
}

}  // namespace
}  // namespace rillford
