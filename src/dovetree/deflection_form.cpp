#include "dovetree/deflection_form.h"

#include "common/batch_cli.h"
#include "common/report_lines.h"
#include "dovetree/report.h"
#include "dovetree/station_deflections.h"

namespace dovetree {

survey::Message PrintFailedMessage(const std::string& reason, int code) {
  survey::Message m;
  m.text = reason + " " + std::to_string(code);
  m.title = kProgramTitle;
  m.refusal = true;
  return m;
}

StationDeflectionForm::StationDeflectionForm(survey::Host& host, survey::TextPrinter& printer)
    : host_(host), printer_(printer), report_(HelpText()), insertion_(report_.size()) {}

bool StationDeflectionForm::Overlapping(const StationInput& input) {
  const survey::curve::CurveInput& c = input.curve;
  if (!survey::curve::TransitionsOverlap(survey::PackedAngleToDegrees(c.alpha).degrees, c.R, c.Ls)) return false;
  host_.ShowMessage(survey::OverlappingTransitionsMessage());
  return true;
}

bool StationDeflectionForm::FieldsFilled(bool withExtraStake) const {
  const DeflectionFields& f = fields_;
  for (const std::string* text : {&f.jd, &f.alpha, &f.radius, &f.ls, &f.station})
    if (text->empty()) return false;
  return !withExtraStake || !f.extra.empty();
}

survey::Outcome StationDeflectionForm::ComputeDeflections() {
  const DeflectionFields& f = fields_;
  if (!FieldsFilled(false)) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  const auto input = ReadStationInput(f.jd, f.alpha, f.radius, f.ls, f.station);
  if (input && Overlapping(*input)) return survey::Outcome::Refused(survey::OverlappingTransitionsMessage().text);
  const auto result = input ? ComputeStationDeflections(*input) : std::nullopt;
  if (!result) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  report_ = MainReport({f.jd, f.radius, f.ls}, *result);
  insertion_ = report_.size();
  return survey::Outcome::Done();
}

survey::Outcome StationDeflectionForm::AddExtraStake() {
  const DeflectionFields& f = fields_;
  if (!FieldsFilled(true)) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  const auto input = ReadStationInput(f.jd, f.alpha, f.radius, f.ls, f.station);
  if (input && Overlapping(*input)) return survey::Outcome::Refused(survey::OverlappingTransitionsMessage().text);
  const auto JZ = ReadStationText(f.extra);
  const auto row = input && JZ ? ComputeExtraStakeDeflection(*input, *JZ) : std::nullopt;
  if (!row) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  // The user clicks where the stake belongs in station order; a click inside a row must not
  // split it, so the line goes to the start of the next one.
  insertion_ = survey::InsertLines(report_, insertion_, ExtraStakeLine(*row)).End();
  return survey::Outcome::Done();
}

survey::Outcome StationDeflectionForm::PrintReport() {
  const survey::Outcome printed = printer_.Print("   " + report_);
  if (printed != survey::Outcome::Status::Failed) return printed;
  host_.ShowMessage(PrintFailedMessage(printed.error, printed.code));
  return survey::Outcome::Refused(printed.error);
}

std::string StationDeflectionForm::ReportWithLf() const { return survey::CrLfToLf(report_); }

std::size_t StationDeflectionForm::InsertionCharacters() const {
  return survey::BoxPositionOfByteOffset(report_, insertion_);
}

void StationDeflectionForm::SetReportFromBox(std::string_view text, std::size_t cursorCharacters) {
  report_ = survey::LfToCrLf(text);
  insertion_ = survey::ByteOffsetOfBoxPosition(report_, cursorCharacters);
}

}  // namespace dovetree
