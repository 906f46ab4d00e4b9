// Elements and main-point stations of a horizontal curve: a circular arc of radius R between
// two equal clothoid transitions of length Ls, at an intersection point with deflection alpha.
//
// Which values are floats and which doubles is part of the result: field crews compare the
// printed digits with published tables, and a float station prints 7 significant digits, a
// double 15. The order of operations below is the one those tables were computed with.
#pragma once

#include <optional>
#include <string_view>

#include "common/notation.h"

namespace survey::curve {

// The four design data as numbers. `alpha` is the packed D.MMSS value as typed.
struct CurveInput {
  double JD = 0;
  double alpha = 0;
  double R = 0;
  double Ls = 0;
};

struct CurveElements {
  PackedAngle alpha;  // decimal degrees and the parsed D, M, S (echoed in reports)
  double p = 0;       // shift of the arc
  double q = 0;       // tangent offset
  double beta0 = 0;   // transition angle, degrees
  float T = 0;
  float L = 0;
  float E = 0;
  float ZH = 0, HY = 0, QZ = 0, YH = 0, HZ = 0;
};

// Shift p = Ls^2 / (24 R): the first term of the series only.
double ShiftP(double R, double Ls);
// Tangent offset q = Ls / 2 - Ls^3 / (240 R^2): two terms only.
double TangentOffsetQ(double R, double Ls);
// Transition angle in degrees: Ls * 90 / (R * SurveyPi).
double TransitionAngle(double R, double Ls);

// The five main-point stations from the stored tangent and curve lengths; each is a float
// that later steps use as stored.
struct MainStations {
  float ZH = 0, HY = 0, QZ = 0, YH = 0, HZ = 0;
};
MainStations ComputeMainStations(double JD, float T, float L, double Ls);

CurveElements ComputeCurveElements(const CurveInput& input);

// The design data read from the field texts. nullopt (the window refuses with its data-error
// message) when a text is not a number, R is 0, or alpha is a straight angle, where the
// tangent length has no finite value.
std::optional<CurveInput> ReadCurveInput(std::string_view jdText, std::string_view alphaText,
                                         std::string_view rText, std::string_view lsText);

}  // namespace survey::curve
