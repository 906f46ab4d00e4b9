#include <gtest/gtest.h>

#include <set>

#include "tallyfen/launcher/menu_model.h"

namespace tallyfen {
namespace {

TEST(CreditsScroll, StartsBelowAPanelOf1200TwipsAndClimbs25PerTick) {
  CreditsScroll s;
  s.Load(/*width*/ 1500, /*height*/ 1200);
  EXPECT_EQ(s.LabelHeight(), 2300);  // panel width + 800
  EXPECT_EQ(s.Position(), 1200);
  EXPECT_EQ(s.Tick(), 1200);  // the first tick places the label at the panel height
  EXPECT_EQ(s.Tick(), 1175);
  EXPECT_EQ(s.Tick(), 1150);
  EXPECT_EQ(s.Position(), 1125);
}

TEST(CreditsScroll, WrapsOnlyOnceTheBottomHasPassedThePanelTop) {
  CreditsScroll s;
  s.Load(1500, 1200);
  // After 140 ticks the position is 1200 - 3500 = -2300: the label's bottom (height 2300) sits
  // exactly on the panel's top, which is not yet "passed".
  for (int i = 0; i < 140; ++i) s.Tick();
  EXPECT_EQ(s.Position(), -2300);
  // The next tick shows it there, then the position would be -2325: the label is gone, so the
  // text enters again from below.
  EXPECT_EQ(s.Tick(), -2300);
  EXPECT_EQ(s.Position(), 1200);
  EXPECT_EQ(s.Tick(), 1200);
  EXPECT_EQ(s.Tick(), 1175);
}

TEST(CreditsScroll, KeepsCyclingWithTheSamePeriod) {
  CreditsScroll s;
  s.Load(1500, 1200);
  std::set<int> firstTicksAt1200;
  for (int i = 0; i < 3 * 141 + 1; ++i)
    if (s.Tick() == 1200) firstTicksAt1200.insert(i);
  EXPECT_EQ(firstTicksAt1200, (std::set<int>{0, 141, 282, 423}));
}

TEST(CreditsScroll, AnEmptyPanelStillWraps) {
  CreditsScroll s;
  s.Load(0, 0);  // label 800 high
  int ticks = 0;
  while (s.Tick() != 0 || ticks == 0) ++ticks;
  EXPECT_EQ(ticks, 33);  // 0, -25, ..., -800 then back to 0
}

TEST(Twips, FifteenToAPixelRoundingToNearest) {
  EXPECT_EQ(TwipsToPixels(1200), 80);
  EXPECT_EQ(TwipsToPixels(4680), 312);
  EXPECT_EQ(TwipsToPixels(3090), 206);
  EXPECT_EQ(TwipsToPixels(25), 2);
  EXPECT_EQ(TwipsToPixels(-25), -2);
  EXPECT_EQ(TwipsToPixels(7), 0);
  EXPECT_EQ(TwipsToPixels(8), 1);
  EXPECT_EQ(PixelsToTwips(80), 1200);
}

TEST(MenuButtons, CaptionsActionsAndProgramsOfTheSevenButtons) {
  ASSERT_EQ(kMenuButtons.size(), 7u);
  std::set<std::string_view> controls;
  for (const auto& b : kMenuButtons) controls.insert(b.control);
  EXPECT_EQ(controls, (std::set<std::string_view>{"Command1", "Command2", "Command3", "Command4", "Command5",
                                                  "Command7", "Command8"}));
  EXPECT_EQ(kMenuButtons[0].caption, "曲线坐标");
  EXPECT_EQ(kMenuButtons[0].action, MenuAction::CurveWindow);
  EXPECT_EQ(kMenuButtons[1].program, "rillford");
  EXPECT_EQ(kMenuButtons[1].caption, "坐标正反算");
  EXPECT_EQ(kMenuButtons[2].program, "quenby");
  EXPECT_EQ(kMenuButtons[3].program, "brannock");
  EXPECT_EQ(kMenuButtons[4].program, "dovetree");
  EXPECT_EQ(kMenuButtons[5].control, "Command8");
  EXPECT_EQ(kMenuButtons[5].program, "marlowby");
  EXPECT_EQ(kMenuButtons[6].caption, "关  于");  // two blanks
  EXPECT_EQ(kMenuButtons[6].action, MenuAction::AboutBox);
}

TEST(MenuButtons, OnlyTheFiveCalculatorsCanBeStarted) {
  for (const char* name : {"rillford", "quenby", "brannock", "dovetree", "marlowby"}) EXPECT_TRUE(IsMenuProgram(name));
  for (const char* name : {"tallyfen", "", "rillford.exe", "../rillford", "/bin/sh", "Rillford", "fennick"})
    EXPECT_FALSE(IsMenuProgram(name)) << name;
}

TEST(Credits, HeadingEmptyLineThenCreditsWithCrLf) {
  const std::string text = CreditsText();
  EXPECT_EQ(text.rfind("        花    絮\r\n\r\n", 0), 0u);
  EXPECT_NE(text.find("\r\n", 30), std::string::npos);
  // Every line feed follows a carriage return.
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') {
      EXPECT_EQ(text[i - 1], '\r');
    }
  EXPECT_NE(text.back(), '\n');
}

TEST(Messages, StartFailureNamesTheProgramAndTheReason) {
  const survey::Message m = ProgramStartFailedMessage("quenby", "找不到程序文件。");
  EXPECT_EQ(m.text, "无法启动程序“quenby”：\r\n找不到程序文件。");
  EXPECT_EQ(m.title, "Tallyfen");
  EXPECT_TRUE(m.refusal);
  EXPECT_EQ(CurveWindowMissingMessage().text, "曲线坐标窗口尚未安装");
}

}  // namespace
}  // namespace tallyfen
