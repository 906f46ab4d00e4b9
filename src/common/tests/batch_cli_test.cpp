#include "common/batch_cli.h"

#include <gtest/gtest.h>

#include <sstream>

namespace survey {
namespace {

const std::vector<AcceptedOption> kAccepted = {
    {"jd", true, false}, {"alpha", true, false}, {"extra", true, true}, {"left", false, false}};

TEST(Options, ValuesFlagsAndRepeats) {
  const ParsedOptions o = ParseOptions({"--jd", "1000", "--alpha=-30.1", "--extra", "-5", "--extra=7", "--left"}, kAccepted);
  ASSERT_EQ(o.error, "");
  EXPECT_EQ(o.Value("jd"), "1000");
  EXPECT_EQ(o.Value("alpha"), "-30.1");
  EXPECT_EQ(o.Values("extra"), (std::vector<std::string>{"-5", "7"}));
  EXPECT_TRUE(o.Has("left"));
  EXPECT_FALSE(o.Has("radius"));
  EXPECT_EQ(o.Value("radius", "0"), "0");
  EXPECT_EQ(ParseOptions({"--jd="}, kAccepted).Value("jd", "x"), "");  // given, though empty
}

TEST(Options, Mistakes) {
  EXPECT_NE(ParseOptions({"--nope"}, kAccepted).error, "");
  EXPECT_NE(ParseOptions({"--jd"}, kAccepted).error, "");
  EXPECT_NE(ParseOptions({"--jd", "1", "--jd", "2"}, kAccepted).error, "");
  EXPECT_NE(ParseOptions({"--left=1"}, kAccepted).error, "");
  EXPECT_NE(ParseOptions({"stray"}, kAccepted).error, "");
}

TEST(Options, LineEnds) {
  EXPECT_EQ(CrLfToLf("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(CrLfToLf("a\rb"), "a\rb");
}

}  // namespace
}  // namespace survey

namespace survey {
namespace {

TEST(FinishBatch, RefusalGoesToStderrWithStatus2) {
  RecordingHost host;
  Message info;
  info.text = "计算成功！";
  host.ShowMessage(info);
  std::ostringstream out, err;
  EXPECT_EQ(FinishBatch(host, "a\r\nb\r\n", out, err), 0);
  EXPECT_EQ(out.str(), "a\nb\n");
  EXPECT_EQ(err.str(), "");

  host.ShowMessage(DataErrorMessage());
  std::ostringstream out2, err2;
  EXPECT_EQ(FinishBatch(host, "ignored", out2, err2), 2);
  EXPECT_EQ(out2.str(), "");
  EXPECT_EQ(err2.str(), "你输入所有数据了吗？\n请重新输入。\n");
}

}  // namespace
}  // namespace survey
