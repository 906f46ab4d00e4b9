#include "tallyfen/launcher/menu_model.h"

#include <cmath>

namespace tallyfen {

bool IsMenuProgram(std::string_view name) {
  for (const auto& b : kMenuButtons)
    if (b.action == MenuAction::StartProgram && b.program == name) return true;
  return false;
}

std::string CreditsText() {
  static constexpr std::string_view kLines[] = {
      "公路路线测量计算系统",
      "",
      "曲线坐标、直线坐标",
      "曲线偏角、缓和线偏角",
      "竖曲线高程",
      "坐标正反算",
      "",
      "设计与编程：路线测量软件组",
      "测试：各测量队试用人员",
      "",
      "感谢所有提出建议的同事！",
  };
  std::string text = "        花    絮\r\n\r\n";
  bool first = true;
  for (std::string_view line : kLines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

void CreditsScroll::Restart(int panelWidthTwips, int panelHeightTwips) {
  panelHeight_ = panelHeightTwips;
  labelHeight_ = panelWidthTwips + kLabelExtraHeightTwips;
  position_ = panelHeightTwips;
}

int CreditsScroll::Tick() {
  const int top = position_;
  position_ -= kScrollStepTwips;
  if (labelHeight_ + position_ < 0) position_ = panelHeight_;
  return top;
}

survey::Message ProgramStartFailedMessage(std::string_view program, std::string_view reason) {
  survey::Message m;
  m.text = "无法启动程序“" + std::string(program) + "”：\r\n" + std::string(reason);
  m.title = "Tallyfen";
  m.icon = survey::MessageIcon::Critical;
  m.refusal = true;
  return m;
}

survey::Message CurveWindowMissingMessage() {
  survey::Message m;
  m.text = "曲线坐标窗口尚未安装";
  m.title = "Tallyfen";
  m.icon = survey::MessageIcon::Exclamation;
  m.refusal = true;
  return m;
}

}  // namespace tallyfen
