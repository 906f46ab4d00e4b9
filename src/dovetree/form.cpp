#include "dovetree/form.h"

#include "common/batch_cli.h"
#include "dovetree/report.h"
#include "dovetree/station_deflections.h"

namespace dovetree {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

survey::Message PrintFailedMessage(const std::string& description, int code) {
  survey::Message m;
  m.text = description + " " + std::to_string(code);
  m.title = kProgramTitle;
  m.refusal = true;
  return m;
}

HhForm::HhForm() : report_(HelpText()), insertion_(report_.size()) {}

void HhForm::Command1_Click(survey::Host& host) {
  for (const std::string* field : {&Text1, &Text2, &Text3, &Text4, &Text5}) {
    if (field->empty()) {
      host.ShowMessage(survey::DataErrorMessage());
      return;
    }
  }
  const auto input = ReadStationInput(Text1, Text2, Text3, Text4, Text5);
  const auto result = input ? ComputeStationDeflections(*input) : std::nullopt;
  if (!result) {
    host.ShowMessage(survey::DataErrorMessage());
    return;
  }
  report_ = MainReport({Text1, Text3, Text4}, *result);
  insertion_ = report_.size();
}

void HhForm::Command2_Click(survey::Host& host) {
  for (const std::string* field : {&Text1, &Text2, &Text3, &Text4, &Text5, &Text6}) {
    if (field->empty()) {
      host.ShowMessage(survey::DataErrorMessage());
      return;
    }
  }
  const auto input = ReadStationInput(Text1, Text2, Text3, Text4, Text5);
  const auto JZ = ReadStationText(Text6);
  const auto row = input && JZ ? ComputeExtraStakeDeflection(*input, *JZ) : std::nullopt;
  if (!row) {
    host.ShowMessage(survey::DataErrorMessage());
    return;
  }
  const std::string line = ExtraStakeLine(*row);
  report_.insert(insertion_, line);
  insertion_ += line.size();
}

void HhForm::Command3_Click(survey::Host& host) {
  if (!printText) return;
  const PrintResult r = printText("   " + report_);
  if (!r.ok && !r.cancelled) host.ShowMessage(PrintFailedMessage(r.error, r.code));
}

std::string HhForm::ReportWithLf() const { return survey::CrLfToLf(report_); }

std::size_t HhForm::InsertionCharacters() const {
  std::size_t n = 0;
  for (std::size_t i = 0; i < insertion_; ++i) {
    if (IsContinuationByte(report_[i])) continue;
    if (report_[i] == '\r' && i + 1 < report_.size() && report_[i + 1] == '\n') continue;
    ++n;
  }
  return n;
}

void HhForm::SetReportFromBox(std::string_view text, std::size_t cursorCharacters) {
  report_ = WithCrLf(text);
  std::size_t i = 0;
  for (std::size_t n = 0; i < report_.size() && n < cursorCharacters; ++n) {
    if (report_[i] == '\r' && i + 1 < report_.size() && report_[i + 1] == '\n') {
      i += 2;
      continue;
    }
    ++i;
    while (i < report_.size() && IsContinuationByte(report_[i])) ++i;
  }
  insertion_ = i;
}

}  // namespace dovetree
