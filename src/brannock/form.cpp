#include "brannock/form.h"

#include "common/project_info.h"
#include "curve/report.h"

namespace brannock {

using survey::curve::ComputeCurveListing;
using survey::curve::ComputeExtraStake;
using survey::curve::ReadCurveInput;

std::string HelpText() {
  return std::string("调用WORD打印时应选择否才可以打印，否则会退出。") +
         "    使用声明：本窗口为阅览窗口。如果你想打印的话，可以按“打印”。\r\n" +
         "    在原始数据输入时，偏交输入方法为：88．2222（如果要输入：88度22分22秒）。如果没有Dovetree，则LS中为0。\r\n" +
         "    使用中发现问题或有改进建议，欢迎来信告诉我们：" + survey::kContactAddress;
}

ToolbarAction ActionForKey(std::string_view key) {
  if (key == "qk") return ToolbarAction::Reset;
  if (key == "js") return ToolbarAction::Compute;
  if (key == "cr") return ToolbarAction::ExtraStake;
  if (key == "bc") return ToolbarAction::Save;
  if (key == "sz") return ToolbarAction::Font;
  if (key == "dy") return ToolbarAction::Print;
  if (key == "bz") return ToolbarAction::Help;
  if (key == "zy") return ToolbarAction::HomePage;
  if (key == "tc") return ToolbarAction::Exit;
  return ToolbarAction::None;
}

std::string DateFieldText(int year, int month, int day) {
  const int yy = ((year % 100) + 100) % 100;
  std::string text = yy < 10 ? "0" : "";
  text += std::to_string(yy) + "-" + std::to_string(month) + "-" + std::to_string(day);
  return text;
}

survey::Message SaveFailedMessage(const std::string& path, const std::string& reason) {
  survey::Message m;
  m.text = "报告没有保存：" + path + "\r\n" + reason;
  m.title = std::string(kProgramTitle);
  m.icon = survey::MessageIcon::Critical;
  m.refusal = true;
  return m;
}

survey::Message PrintFailedMessage(const std::string& description, int code) {
  survey::Message m;
  m.text = description + " " + std::to_string(code);
  m.title = std::string(kProgramTitle);
  m.icon = survey::MessageIcon::None;
  m.refusal = true;
  return m;
}

bool Form::Command1_Click(survey::Host& host) {
  if (Text1.empty() || Text2.empty() || Text3.empty() || Text4.empty()) {
    host.ShowMessage(survey::DataErrorMessage());
    return false;
  }
  const auto input = ReadCurveInput(Text1, Text2, Text3, Text4);
  const auto listing = input ? ComputeCurveListing(*input) : std::nullopt;
  if (!listing) {
    host.ShowMessage(survey::DataErrorMessage());
    return false;
  }
  const auto head =
      survey::curve::MakeReportHead(survey::curve::BrannockBanner(), Text1, Text3, Text4, listing->elements);
  report = survey::curve::WriteMainReport(head, listing->rows, Text7);
  insertionPoint = report.size();
  return true;
}

std::optional<survey::InsertedLines> Form::Command2_Click(survey::Host& host) {
  if (Text1.empty() || Text2.empty() || Text3.empty() || Text4.empty() || Text5.empty()) {
    host.ShowMessage(survey::DataErrorMessage());
    return std::nullopt;
  }
  const auto input = ReadCurveInput(Text1, Text2, Text3, Text4);
  const auto row = input ? ComputeExtraStake(*input, Text5) : std::nullopt;
  if (!row) {
    host.ShowMessage(survey::DataErrorMessage());
    return std::nullopt;
  }
  // The surveyor clicks where the stake belongs in station order; a click inside a row must
  // not split it, so the line goes to the start of the next one.
  survey::InsertedLines done = survey::InsertLines(report, insertionPoint, survey::curve::ExtraStakeLine(*row));
  insertionPoint = done.End();
  return done;
}

void Form::SetReportFromBox(std::string_view text, std::size_t boxPosition) {
  report = survey::LfToCrLf(text);
  insertionPoint = survey::ByteOffsetOfBoxPosition(report, boxPosition);
}

std::string Form::PrintedText(std::string_view r) { return "   " + std::string(r); }

void Form::Command4_Click(survey::Host& host) {
  if (!printText) return;
  const Outcome o = printText(PrintedText(report));
  if (!o.ok && !o.cancelled) host.ShowMessage(PrintFailedMessage(o.error, o.code));
}

void Form::Command5_Click() {
  report = HelpText();
  insertionPoint = report.size();
}

survey::FileRequest Form::SaveRequest() {
  survey::FileRequest r;
  r.initialName = "Brannock";
  r.filters = {{"text files(*.txt)", "*.txt"}, {"all files(*.*)", "*"}};
  r.defaultSuffix = "";  // a name typed without ".txt" is used as typed
  return r;
}

bool Form::Command7_Click(survey::Host& host) {
  const auto path = host.AskSaveFile(SaveRequest());
  if (!path) return false;
  Outcome o;
  if (writeTextFile) {
    o = writeTextFile(*path, survey::curve::SavedReportRecord(report));
  } else {
    o.error = "无法写入文件";
  }
  if (!o.ok) {
    host.ShowMessage(SaveFailedMessage(*path, o.error));
    return false;
  }
  title = *path;
  return true;
}

}  // namespace brannock
