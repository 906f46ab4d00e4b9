#include "quenby/vertical_curve_form.h"

#include <cmath>

#include "common/number_reading.h"
#include "common/report_lines.h"

namespace quenby {

std::string UsageNote() {
  return "    使用说明：\r\n"
         "    输入i1和i2时，确保在前进方向上i1和i2的次序，交点高程为变坡点的原始高程，待测点的间距可以自己设定，"
         "特殊点可以在加桩桩号内输入，再次声明，本软件计算时桩号是递增的，所以不要把“第一纵坡”和“第二纵坡”颠倒。";
}

survey::Message QuenbyMessage(const std::string& text) {
  survey::Message m;
  m.text = text;
  m.title = "Quenby";
  m.refusal = true;
  return m;
}

VerticalCurveForm::VerticalCurveForm(survey::Host& host, survey::TextPrinter& printer)
    : host_(host), printer_(printer), listing_(UsageNote()), insertionPoint_(listing_.size()) {}

bool VerticalCurveForm::FieldsFilled(bool withExtraStake) const {
  const VerticalCurveFields& f = fields_;
  bool filled = !withExtraStake || !survey::IsEmptyField(f.extra);
  for (const std::string* text : {&f.radius, &f.i1, &f.i2, &f.jd, &f.elevation, &f.spacing})
    filled = filled && !survey::IsEmptyField(*text);
  if (!filled) host_.ShowMessage(QuenbyMessage("原始数据不能为空！"));
  return filled;
}

CurveInput VerticalCurveForm::ReadInput() const {
  CurveInput in;
  in.r = survey::ReadLeadingNumberIgnoringBlanks(fields_.radius);
  in.i1 = survey::ReadLeadingNumberIgnoringBlanks(fields_.i1);
  in.i2 = survey::ReadLeadingNumberIgnoringBlanks(fields_.i2);
  in.jd = survey::ReadLeadingNumberIgnoringBlanks(fields_.jd);
  in.h = survey::ReadLeadingNumberIgnoringBlanks(fields_.elevation);
  return in;
}

survey::Outcome VerticalCurveForm::ComputeListing() {
  if (!FieldsFilled(false)) return survey::Outcome::Refused();  // it has told the user
  const CurveInput in = ReadInput();
  const double spacing = survey::ReadLeadingNumberIgnoringBlanks(fields_.spacing);
  // The stake loop only ends with a positive spacing.
  if (!(spacing > 0)) {
    return survey::Refuse(host_, QuenbyMessage("待测点间距必须大于零！"));
  }
  CurveState probe = state_;
  if (!ComputeElements(in, probe).Finite()) {
    return survey::Refuse(host_, QuenbyMessage("原始数据超出计算范围！"));
  }
  std::string text;
  const ListingOutcome outcome = BuildListing(in, spacing, state_, text, kMaxListingLines);
  if (outcome == ListingOutcome::TooManyLines) {
    return survey::Refuse(host_, QuenbyMessage("计算结果超过" + std::to_string(kMaxListingLines) + "行，请加大待测点间距！"));
  }
  if (outcome == ListingOutcome::NotFinite) {
    return survey::Refuse(host_, QuenbyMessage("原始数据超出计算范围！"));
  }
  listing_ = std::move(text);
  insertionPoint_ = listing_.size();
  return survey::Outcome::Done();
}

survey::Outcome VerticalCurveForm::AddExtraStake() {
  if (!FieldsFilled(true)) return survey::Outcome::Refused();  // it has told the user
  const auto s = survey::ReadStrictNumber(fields_.extra);
  if (!s) {
    return survey::Refuse(host_, QuenbyMessage("加桩桩号必须是数字！"));
  }
  const CurveInput in = ReadInput();
  CurveState next = state_;
  const CurveElements e = ComputeElements(in, next);
  const double elevation = StakeElevation(in, e, next, *s);
  if (!e.Finite() || !std::isfinite(RoundElevation(elevation))) {
    return survey::Refuse(host_, QuenbyMessage("原始数据超出计算范围！"));
  }
  PadAfterStation(next, fields_.extra);
  state_ = next;
  // The user clicks where the stake belongs in station order; a click inside a line must not
  // split it, so the lines go to the start of the next one.
  const std::string lines = ExtraStakeLine(fields_.extra, state_.kg, elevation) + SolidRule();
  insertionPoint_ = survey::InsertLines(listing_, insertionPoint_, lines).End();
  return survey::Outcome::Done();
}

survey::Outcome VerticalCurveForm::PrintListing() {
  const survey::Outcome printed = printer_.Print(listing_);
  if (printed != survey::Outcome::Status::Failed) return printed;
  survey::Message m = QuenbyMessage(printed.error);
  m.icon = survey::MessageIcon::Exclamation;
  return survey::Refuse(host_, m);
}

void VerticalCurveForm::SetListingFromBox(std::string_view text) { listing_ = survey::LfToCrLf(text); }

void VerticalCurveForm::SetCursorFromBox(std::size_t cursorCharacters) {
  insertionPoint_ = survey::ByteOffsetOfBoxPosition(listing_, cursorCharacters);
}

std::size_t VerticalCurveForm::InsertionCharacters() const {
  return survey::BoxPositionOfByteOffset(listing_, insertionPoint_);
}

}  // namespace quenby
