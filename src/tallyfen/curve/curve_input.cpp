#include "tallyfen/curve/curve_input.h"

#include <cmath>

#include "common/number_reading.h"

namespace tallyfen {

InputReading ReadCurveInput(const CurveFields& f) {
  InputReading out;
  const auto zhX = survey::ReadStrictNumber(f.Text1);
  const auto zhY = survey::ReadStrictNumber(f.Text2);
  const auto jdX = survey::ReadStrictNumber(f.Text3);
  const auto jdY = survey::ReadStrictNumber(f.Text4);
  const auto station = survey::ReadStrictNumber(f.Text5);
  const auto alpha = survey::ReadStrictNumber(f.Text6);
  const auto radius = survey::ReadStrictNumber(f.Text7);
  const auto ls = f.Text8.empty() ? std::optional<double>(0) : survey::ReadStrictNumber(f.Text8);
  if (!zhX || !zhY || !jdX || !jdY || !station || !alpha || !radius || !ls) {
    out.refusal = InputRefusal::DataError;
    return out;
  }
  if (*alpha == 0 || *radius == 0) {
    out.refusal = InputRefusal::ZeroAngleOrRadius;
    return out;
  }
  const double lsRounded = survey::RoundHalfEven(*ls);
  if (std::fabs(lsRounded) > kMaxTransitionLength) {
    out.refusal = InputRefusal::DataError;
    return out;
  }
  // A deflection of 180 degrees or more either way is no curve but a typing error (275659 for
  // 27.5659), which would list hundreds of thousands of stakes.
  if (!(std::fabs(survey::PackedAngleToDegrees(*alpha).degrees) < 180)) {
    out.refusal = InputRefusal::DataError;
    return out;
  }
  CurveCoordInput& in = out.input;
  in.zhX = *zhX;
  in.zhY = *zhY;
  in.jdX = *jdX;
  in.jdY = *jdY;
  in.zhStation = *station;
  in.alpha = survey::PackedAngleToDegrees(*alpha);
  in.R = *radius;
  in.ls = static_cast<std::int16_t>(lsRounded);
  in.offset = survey::ReadLeadingNumberIgnoringBlanks(f.Text10);
  in.turn = f.Option1 ? Turn::Left : Turn::Right;
  return out;
}

double ReadExtraStation(const CurveFields& fields) { return survey::ReadLeadingNumberIgnoringBlanks(fields.Text9); }

CurveEcho MakeCurveEcho(const CurveFields& fields, const CurveCoordInput& input, const CurveStationsResult& curve) {
  using survey::SignedNumberText;
  CurveEcho e;
  e.varc = fields.Text11;
  e.zbname = fields.Text12;
  e.alf = survey::DmsText(input.alpha.D, input.alpha.M, static_cast<int>(input.alpha.S), survey::TextForm::Signed);
  e.zhydzh = SignedNumberText(curve.stations.ZH);
  e.tt = SignedNumberText(curve.elements.T);
  e.zhydxy = "x:" + SignedNumberText(input.zhX) + "  y:" + SignedNumberText(input.zhY);
  e.jdxy = "x:" + SignedNumberText(input.jdX) + "  y:" + SignedNumberText(input.jdY);
  e.bzjl = fields.Text10;
  e.r = input.R;
  e.ls = input.ls;
  return e;
}

std::string StationText(const StakePoint& p) {
  if (p.kind == StakeKind::Extra) return "加桩" + survey::PlainNumberText(p.station);
  return survey::PlainNumberText(static_cast<float>(p.station));
}

}  // namespace tallyfen
