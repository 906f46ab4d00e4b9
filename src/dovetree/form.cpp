#include "dovetree/form.h"

#include "common/batch_cli.h"
#include "common/report_lines.h"
#include "dovetree/report.h"
#include "dovetree/station_deflections.h"

namespace dovetree {

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
  // The user clicks where the stake belongs in station order; a click inside a row must not
  // split it, so the line goes to the start of the next one.
  insertion_ = survey::InsertLines(report_, insertion_, ExtraStakeLine(*row)).End();
}

void HhForm::Command3_Click(survey::Host& host) {
  if (!printText) return;
  const PrintResult r = printText("   " + report_);
  if (!r.ok && !r.cancelled) host.ShowMessage(PrintFailedMessage(r.error, r.code));
}

std::string HhForm::ReportWithLf() const { return survey::CrLfToLf(report_); }

std::size_t HhForm::InsertionCharacters() const { return survey::BoxPositionOfByteOffset(report_, insertion_); }

void HhForm::SetReportFromBox(std::string_view text, std::size_t cursorCharacters) {
  report_ = survey::LfToCrLf(text);
  insertion_ = survey::ByteOffsetOfBoxPosition(report_, cursorCharacters);
}

}  // namespace dovetree
