#include "curve/curve_elements.h"

#include <cmath>

#include "common/number_reading.h"

namespace survey::curve {

double ShiftP(double R, double Ls) { return std::pow(Ls, 2) / (24 * R); }

double TangentOffsetQ(double R, double Ls) { return Ls / 2 - std::pow(Ls, 3) / (240 * std::pow(R, 2)); }

double TransitionAngle(double R, double Ls) { return Ls * 90 / (R * SurveyPi); }

MainStations ComputeMainStations(double JD, float T, float L, double Ls) {
  MainStations s;
  s.ZH = static_cast<float>(JD - static_cast<double>(T));
  s.HY = static_cast<float>(static_cast<double>(s.ZH) + Ls);
  s.QZ = static_cast<float>(static_cast<double>(L) / 2 + static_cast<double>(s.ZH));
  s.HZ = static_cast<float>(static_cast<double>(s.ZH) + static_cast<double>(L));
  s.YH = static_cast<float>(static_cast<double>(s.HZ) - Ls);
  return s;
}

CurveElements ComputeCurveElements(const CurveInput& in) {
  CurveElements e;
  e.alpha = PackedAngleToDegrees(in.alpha);
  const double a = e.alpha.degrees;
  e.p = ShiftP(in.R, in.Ls);
  e.q = TangentOffsetQ(in.R, in.Ls);
  e.T = static_cast<float>((in.R + e.p) * std::tan((SurveyPi * a / 180) / 2) + e.q);
  e.E = static_cast<float>((in.R + e.p) * (1 / std::cos(SurveyPi * (a / 2) / 180)) - in.R);
  e.beta0 = TransitionAngle(in.R, in.Ls);
  e.L = static_cast<float>(2 * in.Ls + in.R * ((SurveyPi / 180) * (a - 2 * e.beta0)));
  const MainStations s = ComputeMainStations(in.JD, e.T, e.L, in.Ls);
  e.ZH = s.ZH;
  e.HY = s.HY;
  e.QZ = s.QZ;
  e.YH = s.YH;
  e.HZ = s.HZ;
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
