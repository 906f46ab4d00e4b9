#include "tallyfen/curve/curve_input.h"

#include <cmath>

#include "common/number_reading.h"
#include "curve/curve_elements.h"

namespace tallyfen {

InputReading ReadCurveInput(const CurveFields& f) {
  InputReading out;
  const auto zhX = survey::ReadStrictNumber(f.zhX);
  const auto zhY = survey::ReadStrictNumber(f.zhY);
  const auto jdX = survey::ReadStrictNumber(f.jdX);
  const auto jdY = survey::ReadStrictNumber(f.jdY);
  const auto station = survey::ReadStrictNumber(f.zhStation);
  const auto alpha = survey::ReadStrictNumber(f.alpha);
  const auto radius = survey::ReadStrictNumber(f.radius);
  const auto ls = f.ls.empty() ? std::optional<double>(0) : survey::ReadStrictNumber(f.ls);
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
  if (survey::curve::TransitionsOverlap(survey::PackedAngleToDegrees(*alpha).degrees, *radius, lsRounded)) {
    out.refusal = InputRefusal::OverlappingTransitions;
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
  in.offset = survey::ReadLeadingNumberIgnoringBlanks(f.offset);
  in.turn = f.turnLeft ? Turn::Left : Turn::Right;
  return out;
}

double ReadExtraStation(const CurveFields& fields) { return survey::ReadLeadingNumberIgnoringBlanks(fields.extraStation); }

CurveEcho MakeCurveEcho(const CurveFields& fields, const CurveCoordInput& input, const CurveStationsResult& curve) {
  using survey::SignedNumberText;
  CurveEcho e;
  e.projectName = fields.projectName;
  e.tabulator = fields.tabulator;
  e.deflection = survey::DmsText(input.alpha.D, input.alpha.M, static_cast<int>(input.alpha.S), survey::TextForm::Signed);
  e.zhStation = SignedNumberText(curve.stations.ZH);
  e.tangentLength = SignedNumberText(curve.elements.T);
  e.zhPoint = "x:" + SignedNumberText(input.zhX) + "  y:" + SignedNumberText(input.zhY);
  e.jdPoint = "x:" + SignedNumberText(input.jdX) + "  y:" + SignedNumberText(input.jdY);
  e.sideOffset = fields.offset;
  e.r = input.R;
  e.ls = input.ls;
  return e;
}

std::string StationText(const StakePoint& p) {
  if (p.kind == StakeKind::Extra) return "加桩" + survey::PlainNumberText(p.station);
  return survey::PlainNumberText(static_cast<float>(p.station));
}

}  // namespace tallyfen
