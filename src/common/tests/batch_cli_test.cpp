#include "common/batch_cli.h"

#include <gtest/gtest.h>

#include <sstream>

namespace survey {
namespace {

const std::vector<AcceptedOption> kAccepted = {
    {"jd", true, false}, {"alpha", true, false}, {"extra", true, true}, {"left", false, false}};

// The reasons reach the user on stderr, behind the program's name, by StartBatch.
TEST(StartBatch, HelpMistakesAndRuns) {
  const BatchProgram program{"probe", "usage: probe --jd N\n", kAccepted};
  const struct { std::vector<std::string> args; std::optional<int> status; const char *out, *err; } cases[] = {
      {{"--help"}, 0, "usage: probe --jd N\n", ""},
      {{"--nope"}, 2, "", "probe: unknown option: --nope\nusage: probe --jd N\n"},
      {{"--jd"}, 2, "", "probe: option --jd needs a value\nusage: probe --jd N\n"},
      {{"--jd", "1", "--jd", "2"}, 2, "", "probe: option --jd given twice\nusage: probe --jd N\n"},
      {{"--left=1"}, 2, "", "probe: option --left takes no value\nusage: probe --jd N\n"},
      {{"stray"}, 2, "", "probe: unexpected argument: stray\nusage: probe --jd N\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    std::ostringstream out, err;
    ParsedOptions parsed;
    EXPECT_EQ(StartBatch(program, c.args, parsed, out, err), c.status);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
  }
  std::ostringstream out, err;
  ParsedOptions o;
  ASSERT_EQ(StartBatch(program, {"--jd", "1000", "--alpha=-30.1", "--extra", "-5", "--extra=7", "--left"}, o, out, err),
            std::nullopt);
  EXPECT_EQ(o.Value("jd") + " " + o.Value("alpha") + " " + o.Value("radius", "0"), "1000 -30.1 0");
  EXPECT_EQ(o.Values("extra"), (std::vector<std::string>{"-5", "7"}));
  EXPECT_TRUE(o.Has("left") && !o.Has("radius"));
  EXPECT_EQ(ParseOptions({"--jd="}, kAccepted).Value("jd", "x"), "");  // given, though empty
}

TEST(FinishBatch, OutputWithLfOrRefusalsWithStatus2) {
  EXPECT_EQ(CrLfToLf("a\rb"), "a\rb");
  RecordingHost host;
  Message info;
  info.text = "计算成功！";
  host.ShowMessage(info);
  std::ostringstream out, err;
  EXPECT_EQ(FinishBatch(host, "a\r\nb\r\n", out, err), 0);
  EXPECT_EQ(out.str() + "|" + err.str(), "a\nb\n|");
  host.ShowMessage(DataErrorMessage());
  std::ostringstream out2, err2;
  EXPECT_EQ(FinishBatch(host, "ignored", out2, err2), 2);
  EXPECT_EQ(out2.str() + "|" + err2.str(), "|你输入所有数据了吗？\n请重新输入。\n");
}

}  // namespace
}  // namespace survey
