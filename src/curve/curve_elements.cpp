#include "curve/curve_elements.h"

#include <cmath>

#include "common/number_reading.h"

namespace survey::curve {

namespace {

double RoundToTenThousandthsEven(double v) { return RoundHalfEven(v * 10000) / 10000; }

}  // namespace

double ShiftP(double R, double Ls) { return std::pow(Ls, 2) / (24 * R); }

double TangentOffsetQ(double R, double Ls) { return Ls / 2 - std::pow(Ls, 3) / (240 * std::pow(R, 2)); }

double TransitionAngle(double R, double Ls) { return Ls * 90 / (R * SurveyPi); }

bool TransitionsOverlap(double alphaDegrees, double R, double Ls) {
  return 2 * std::fabs(TransitionAngle(R, Ls)) > std::fabs(alphaDegrees) * (1 + 1e-12);
}

MainStations ComputeMainStations(double JD, float T, float L, double Ls) {
  MainStations s;
  s.ZH = static_cast<float>(JD - static_cast<double>(T));
  s.HY = static_cast<float>(static_cast<double>(s.ZH) + Ls);
  s.QZ = static_cast<float>(static_cast<double>(L) / 2 + static_cast<double>(s.ZH));
  s.HZ = static_cast<float>(static_cast<double>(s.ZH) + static_cast<double>(L));
  s.YH = static_cast<float>(static_cast<double>(s.HZ) - Ls);
  return s;
}

CurveElements ComputeCurveElementsDoublePQ(const CurveInput& in) {
  CurveElements e;
  e.alpha = PackedAngleToDegrees(in.alpha);
  const double a = e.alpha.degrees;
  e.p = ShiftP(in.R, in.Ls);
  e.q = TangentOffsetQ(in.R, in.Ls);
  e.T = static_cast<float>((in.R + e.p) * std::tan((SurveyPi * a / 180) / 2) + e.q);
  e.E = static_cast<float>((in.R + e.p) * (1 / std::cos(SurveyPi * (a / 2) / 180)) - in.R);
  e.beta0 = TransitionAngle(in.R, in.Ls);
  e.L = static_cast<float>(2 * in.Ls + in.R * ((SurveyPi / 180) * (a - 2 * e.beta0)));
  CopyMainStations(e, ComputeMainStations(in.JD, e.T, e.L, in.Ls));
  return e;
}

CurveElementsSinglePQ ComputeCurveElementsSinglePQ(const CurveInput& in) {
  const double R = in.R, Ls = in.Ls;
  CurveElementsSinglePQ e;
  e.alpha = PackedAngleToDegrees(in.alpha);
  const double a = e.alpha.degrees;
  e.p = static_cast<float>(ShiftP(R, Ls));
  e.q = static_cast<float>(TangentOffsetQ(R, Ls));
  // The half angle is taken after the product with pi and before the division by 180 here,
  // and the stored single p and q go into T; both move the last digits of every station.
  e.T = static_cast<float>((R + e.p) * std::tan(((SurveyPi * a) / 2) / 180) + e.q);
  e.E = static_cast<float>((R + e.p) * (1 / std::cos(SurveyPi * (a / 2) / 180)) - R);
  e.beta0 = TransitionAngle(R, Ls);
  e.L = static_cast<float>(2 * Ls + R * ((SurveyPi / 180) * (a - 2 * e.beta0)));
  CopyMainStations(e, ComputeMainStations(in.JD, e.T, e.L, Ls));
  return e;
}

CurveElementsRoundedPQ ComputeCurveElementsRoundedPQ(double zhStation, double alphaDeg, double R, std::int16_t ls) {
  CurveElementsRoundedPQ e;
  const double Ls = ls;
  e.alphaDeg = alphaDeg;
  e.p = RoundToTenThousandthsEven((Ls * Ls) / (24 * R));
  e.q = RoundToTenThousandthsEven(Ls / 2 - (Ls * Ls * Ls) / (240 * (R * R)));
  e.T = static_cast<float>((R + e.p) * std::tan(((e.alphaDeg * SurveyPi) / 2) / 180) + e.q);
  // ZH goes out to JD and back through the float T, so it carries T's rounding.
  const double jdStation = zhStation + static_cast<double>(e.T);
  e.ZH = static_cast<float>(jdStation - static_cast<double>(e.T));
  // |ls| <= 364 keeps this product inside 16 bits.
  const int ls90 = ls * 90;
  e.beta0 = ls90 / (R * SurveyPi);
  e.L = static_cast<float>((e.alphaDeg - 2 * e.beta0) * (SurveyPi / 180) * R + 2 * Ls);
  e.HY = static_cast<float>(ls) + e.ZH;
  e.QZ = e.L / 2.0f + e.ZH;
  e.HZ = e.ZH + e.L;
  e.YH = e.HZ - static_cast<float>(ls);
  return e;
}

std::optional<CurveInput> ReadCurveInput(std::string_view jdText, std::string_view alphaText,
                                         std::string_view rText, std::string_view lsText) {
  const auto jd = ReadStrictNumber(jdText);
  const auto alpha = ReadStrictNumber(alphaText);
  const auto r = ReadStrictNumber(rText);
  const auto ls = ReadStrictNumber(lsText);
  if (!jd || !alpha || !r || !ls) return std::nullopt;
  if (*r == 0) return std::nullopt;
  // tan(alpha / 2) at 180 degrees: with the suite's pi it is finite but some 5e9, so the
  // "curve" would be billions of metres long. A straight angle is no curve, and a deflection
  // beyond it is a typing error (275659 for 27.5659) that would list a curve round the world
  // many times over. A negative deflection keeps its meaning.
  if (!(std::abs(PackedAngleToDegrees(*alpha).degrees) < 180)) return std::nullopt;
  return CurveInput{*jd, *alpha, *r, *ls};
}

}  // namespace survey::curve
