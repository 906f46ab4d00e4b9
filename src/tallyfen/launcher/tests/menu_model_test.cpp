#include "tallyfen/launcher/menu_model.h"

#include <gtest/gtest.h>

#include "common/testing/batch_capture.h"
#include "tallyfen/launcher/launcher_batch.h"

namespace tallyfen {
namespace {

// The label climbs 25 twips a tick from just below the panel and starts again from there only
// once its bottom edge (it is as high as the panel is wide, plus 800) has passed the panel's top.
TEST(CreditsScroll, ClimbsAndWraps) {
  const std::array<int, 5> cases[] = {
      // panel width, height, ticks, the top the last tick placed the label at, the position after it
      {1500, 1200, 2, 1175, 1150},
      {1500, 1200, 141, -2300, 1200},  // the bottom on the panel's top: gone only after this tick
      {1500, 1200, 283, 1200, 1175},   // the same period each time
      {0, 0, 33, -800, 0},
  };
  for (const auto& [width, height, ticks, lastTop, position] : cases) {
    CreditsScroll scroll;
    scroll.Restart(width, height);
    for (int i = 1; i < ticks; ++i) scroll.Tick();
    EXPECT_EQ(scroll.Tick(), lastTop) << ticks;
    EXPECT_EQ(scroll.Position(), position) << ticks;
  }
}

// Starts rillford and the others; quenby cannot be started.
struct FakeStarter : ProgramStarter {
  survey::Outcome Start(std::string_view name) override {
    started += std::string(name) + ";";
    return name == "quenby" ? survey::Outcome::Failed("在文件夹 /x 中找不到程序文件。") : survey::Outcome::Done();
  }
  std::string started;
};

int FakeCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
  for (const std::string& a : args) out << a << ';';
  return 7;
}

TEST(Batch, StartsOnlyTheSuitesCalculatorsAndHandsOnTheCurveOptions) {
  const std::string kNotOfTheSuite = "：\n不是本系统的计算程序 (not a program of the suite).\n";
  struct Case { std::vector<std::string> args; bool withCurve; int status; std::string out, err, started; };
  const Case cases[] = {
      {{"--start", "rillford"}, true, 0, "", "", "rillford;"},
      {{"--start", "quenby"}, true, 2, "", "Tallyfen: 无法启动程序“quenby”：\n在文件夹 /x 中找不到程序文件。\n", "quenby;"},
      {{"--start", "../rillford"}, true, 2, "", "Tallyfen: 无法启动程序“../rillford”" + kNotOfTheSuite, ""},
      {{"--start", "alignment"}, true, 2, "", "Tallyfen: 无法启动程序“alignment”" + kNotOfTheSuite, ""},
      {{"--curve", "--help", "x"}, true, 7, "--help;x;", "", ""},
      {{"--curve", "--help"}, false, 2, "", "Tallyfen: 曲线坐标窗口尚未安装\n", ""},
      {{}, true, 2, "", "用法 / usage:", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    FakeStarter starter;
    const LauncherBatchServices services{starter, c.withCurve ? &FakeCurveBatch : nullptr};
    const auto r = survey::testing::CaptureBatch(
        [&](const auto& args, std::ostream& out, std::ostream& err) { return RunLauncherBatch(args, out, err, services); },
        c.args);
    EXPECT_EQ(r.status, c.status);
    // Whole texts, or up to the start of the usage that follows.
    for (const auto& [got, want] : {std::pair(r.out, c.out), std::pair(r.err, c.err)})
      EXPECT_EQ(want.ends_with("usage:") ? got.substr(0, want.size()) : got, want);
    EXPECT_EQ(starter.started, c.started);
  }
}

}  // namespace
}  // namespace tallyfen
