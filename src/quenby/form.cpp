#include "quenby/form.h"

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

SqxForm1::SqxForm1() : listing(UsageNote()), insertionPoint(listing.size()) { Text(6) = "5"; }

bool SqxForm1::CheckEmpty(survey::Host& host, int lastField) const {
  for (int i = 1; i <= lastField; ++i) {
    if (survey::IsEmptyField(Text(i))) {
      host.ShowMessage(QuenbyMessage("原始数据不能为空！"));
      return false;
    }
  }
  return true;
}

CurveInput SqxForm1::ReadInput() const {
  CurveInput in;
  in.r = survey::ReadLeadingNumberIgnoringBlanks(Text(1));
  in.i1 = survey::ReadLeadingNumberIgnoringBlanks(Text(2));
  in.i2 = survey::ReadLeadingNumberIgnoringBlanks(Text(3));
  in.jd = survey::ReadLeadingNumberIgnoringBlanks(Text(4));
  in.h = survey::ReadLeadingNumberIgnoringBlanks(Text(5));
  return in;
}

void SqxForm1::Command1_Click(survey::Host& host) {
  if (!CheckEmpty(host, 6)) return;
  const CurveInput in = ReadInput();
  const double spacing = survey::ReadLeadingNumberIgnoringBlanks(Text(6));
  // The stake loop only ends with a positive spacing.
  if (!(spacing > 0)) {
    host.ShowMessage(QuenbyMessage("待测点间距必须大于零！"));
    return;
  }
  CurveState probe = state;
  if (!ComputeElements(in, probe).Finite()) {
    host.ShowMessage(QuenbyMessage("原始数据超出计算范围！"));
    return;
  }
  std::string text;
  const ListingOutcome outcome = BuildListing(in, spacing, state, text, maxLines);
  if (outcome == ListingOutcome::TooManyLines) {
    host.ShowMessage(QuenbyMessage("计算结果超过" + std::to_string(maxLines) + "行，请加大待测点间距！"));
    return;
  }
  if (outcome == ListingOutcome::NotFinite) {
    host.ShowMessage(QuenbyMessage("原始数据超出计算范围！"));
    return;
  }
  listing = std::move(text);
  insertionPoint = listing.size();
}

void SqxForm1::Command2_Click(survey::Host& host) {
  if (!CheckEmpty(host, 7)) return;
  const auto s = survey::ReadStrictNumber(Text(7));
  if (!s) {
    host.ShowMessage(QuenbyMessage("加桩桩号必须是数字！"));
    return;
  }
  const CurveInput in = ReadInput();
  CurveState next = state;
  const CurveElements e = ComputeElements(in, next);
  const double elevation = StakeElevation(in, e, next, *s);
  if (!e.Finite() || !std::isfinite(RoundElevation(elevation))) {
    host.ShowMessage(QuenbyMessage("原始数据超出计算范围！"));
    return;
  }
  PadAfterStation(next, Text(7));
  state = next;
  // The user clicks where the stake belongs in station order; a click inside a line must not
  // split it, so the lines go to the start of the next one.
  insertionPoint = survey::InsertLines(listing, insertionPoint, ExtraStakeLine(Text(7), state.kg, elevation) + SolidRule()).End();
}

}  // namespace quenby
