#include "brannock/curve_deflection_form.h"

#include "common/project_info.h"
#include "curve/report.h"

namespace brannock {

using survey::curve::ComputeCurveListing;
using survey::curve::ComputeExtraStake;
using survey::curve::ReadCurveInput;

std::string HelpText() {
  return std::string("调用WORD打印时应选择否才可以打印，否则会退出。") +
         "    使用声明：本窗口为阅览窗口。如果你想打印的话，可以按“打印”。\r\n" +
         "    在原始数据输入时，偏交输入方法为：88．2222（如果要输入：88度22分22秒）。如果没有缓和曲线，则LS中为0。\r\n" +
         "    使用中发现问题或有改进建议，欢迎来信告诉我们：" + survey::kContactAddress;
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

CurveDeflectionForm::CurveDeflectionForm(survey::Host& host, survey::TextFileStore& files,
                                         survey::TextPrinter& printer)
    : host_(host), files_(files), printer_(printer) {}

bool CurveDeflectionForm::Overlapping(const survey::curve::CurveInput& input) {
  if (!survey::curve::TransitionsOverlap(survey::PackedAngleToDegrees(input.alpha).degrees, input.R, input.Ls))
    return false;
  host_.ShowMessage(survey::OverlappingTransitionsMessage());
  return true;
}

bool CurveDeflectionForm::FieldsFilled() const {
  return !fields_.jd.empty() && !fields_.alpha.empty() && !fields_.radius.empty() && !fields_.ls.empty();
}

survey::Outcome CurveDeflectionForm::ComputeReport() {
  const auto input = FieldsFilled() ? ReadCurveInput(fields_.jd, fields_.alpha, fields_.radius, fields_.ls)
                                     : std::nullopt;
  if (input && Overlapping(*input)) return survey::Outcome::Refused(survey::OverlappingTransitionsMessage().text);
  const auto listing = input ? ComputeCurveListing(*input) : std::nullopt;
  if (!listing) return survey::Refuse(host_, survey::DataErrorMessage());
  const auto head = survey::curve::MakeReportHead(survey::curve::BrannockBanner(), fields_.jd, fields_.radius,
                                                  fields_.ls, listing->elements);
  report_ = survey::curve::WriteMainReport(head, listing->rows, fields_.printDate);
  insertionPoint_ = report_.size();
  return survey::Outcome::Done();
}

survey::Outcome CurveDeflectionForm::AddExtraStake() {
  lastInserted_.reset();
  const auto input = FieldsFilled() && !fields_.extraStation.empty()
                         ? ReadCurveInput(fields_.jd, fields_.alpha, fields_.radius, fields_.ls)
                         : std::nullopt;
  if (input && Overlapping(*input)) return survey::Outcome::Refused(survey::OverlappingTransitionsMessage().text);
  const auto row = input ? ComputeExtraStake(*input, fields_.extraStation) : std::nullopt;
  if (!row) return survey::Refuse(host_, survey::DataErrorMessage());
  // The surveyor clicks where the stake belongs in station order; a click inside a row must
  // not split it, so the line goes to the start of the next one.
  lastInserted_ = survey::InsertLines(report_, insertionPoint_, survey::curve::ExtraStakeLine(*row));
  insertionPoint_ = lastInserted_->End();
  return survey::Outcome::Done();
}

void CurveDeflectionForm::SetReportFromBox(std::string_view text, std::size_t boxPosition) {
  report_ = survey::LfToCrLf(text);
  insertionPoint_ = survey::ByteOffsetOfBoxPosition(report_, boxPosition);
}

survey::Outcome CurveDeflectionForm::PrintReport() {
  // The printed report starts three blanks in; the box and the saved file do not.
  const survey::Outcome o = printer_.Print("   " + report_);
  if (o.ok() || o.cancelled()) return o;
  host_.ShowMessage(PrintFailedMessage(o.error, o.code));
  return survey::Outcome::Refused(o.error);
}

void CurveDeflectionForm::ResetReport() {
  report_ = HelpText();
  insertionPoint_ = report_.size();
}

survey::FileRequest CurveDeflectionForm::SaveRequest() {
  survey::FileRequest r;
  r.initialName = "Brannock";
  r.filters = {{"text files(*.txt)", "*.txt"}, {"all files(*.*)", "*"}};
  r.defaultSuffix = "";  // a name typed without ".txt" is used as typed
  return r;
}

survey::Outcome CurveDeflectionForm::SaveReport() {
  const auto path = host_.AskSaveFile(SaveRequest());
  if (!path) return survey::Outcome::Cancelled();
  const survey::Outcome o = files_.Write(*path, survey::curve::SavedReportRecord(report_));
  if (!o.ok()) {
    host_.ShowMessage(SaveFailedMessage(*path, o.error));
    return survey::Outcome::Refused(o.error);
  }
  title_ = *path;
  return o;
}

}  // namespace brannock
