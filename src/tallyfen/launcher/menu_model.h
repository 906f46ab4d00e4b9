// What the launcher menu knows without a window: its buttons and what each one does, the
// credits text, the scrolling arithmetic of the credits panel, and the message shown when a
// calculator cannot be started.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/twips.h"

namespace tallyfen {

enum class MenuAction { CurveWindow, StartProgram, AboutBox };

// A button or menu entry of the launcher, by the object name it is found by.
struct MenuEntry {
  std::string_view objectName;
  std::string_view caption;
  MenuAction action;
  std::string_view program;  // bare file name of the started program, empty otherwise
};

// In the order the buttons stand in the menu, top to bottom.
inline constexpr std::array<MenuEntry, 7> kMenuButtons{{
    {"Command1", "曲线坐标", MenuAction::CurveWindow, ""},
    {"Command2", "坐标正反算", MenuAction::StartProgram, "rillford"},
    {"Command3", "竖曲线高程", MenuAction::StartProgram, "quenby"},
    {"Command4", "曲线偏角", MenuAction::StartProgram, "brannock"},
    {"Command5", "缓和线偏角", MenuAction::StartProgram, "dovetree"},
    {"Command8", "直线坐标", MenuAction::StartProgram, "marlowby"},
    {"Command7", "关  于", MenuAction::AboutBox, ""},
}};

// The whole-route program came after the seven buttons; it is reached from the menu's context
// menu so that the buttons keep their places.
inline constexpr std::array<MenuEntry, 2> kContextMenuEntries{{
    {"alignmentAction", "路线平面计算（全线逐桩坐标、平面图）…", MenuAction::StartProgram, "alignment"},
    {"transformAction", "坐标转换（高斯投影、换带、四参数 / 七参数）…", MenuAction::StartProgram, "transform"},
}};

// True for the file names of the five calculators the buttons start, and nothing else: the
// launcher never starts an arbitrary file.
bool IsMenuProgram(std::string_view name);

// The caption of `Label1`: the heading "花絮" spaced out, an empty line, then the credit
// lines; lines end with CR LF.
std::string CreditsText();

// Layout sizes are kept in twips (common/twips.h), the unit the scrolling steps are given in.
inline constexpr int kScrollStepTwips = 25;
inline constexpr int kScrollIntervalMs = 70;
// The credits label is as high as the panel is wide, plus this much.
inline constexpr int kLabelExtraHeightTwips = 800;

// The credits label enters the panel from below, climbs 25 twips a tick and starts again from
// below once its bottom edge has passed the panel's top.
class CreditsScroll {
 public:
  // Starts over: the label is as high as the panel is wide plus a margin, and waits just below
  // the panel.
  void Restart(int panelWidthTwips, int panelHeightTwips);
  // One timer tick: returns the top at which the label is placed now, then moves the scroll
  // position on (wrapping it back to the panel height when the label is gone).
  int Tick();

  int Position() const { return position_; }
  int LabelHeight() const { return labelHeight_; }
  int PanelHeight() const { return panelHeight_; }

 private:
  int panelHeight_ = 0;
  int labelHeight_ = 0;
  int position_ = 0;
};

// The message of a menu button whose program cannot be started; `reason` says why.
survey::Message ProgramStartFailedMessage(std::string_view program, std::string_view reason);

// The message of "曲线坐标" in a build without the curve coordinate window.
survey::Message CurveWindowMissingMessage();

}  // namespace tallyfen
