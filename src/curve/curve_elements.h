// Elements and main-point stations of a horizontal curve: a circular arc of radius R between
// two equal clothoid transitions of length Ls, at an intersection point with deflection alpha.
//
// Formulas: those of the symmetrical curve with clothoid transitions in the route-survey
// textbooks and the highway route design rules (内移值 p, 切线增长值 q, 缓和曲线角 β0):
//   p = Ls^2 / (24 R) - Ls^4 / (2688 R^3) + ...     q = Ls / 2 - Ls^3 / (240 R^2) + ...
//   β0 = Ls / (2 R) radians = 90 Ls / (pi R) degrees
//   T = (R + p) tan(α / 2) + q      L = (α - 2 β0) pi R / 180 + 2 Ls      E = (R + p) sec(α / 2) - R
//   ZH = JD - T, HY = ZH + Ls, QZ = ZH + L / 2, HZ = ZH + L, YH = HZ - Ls.
// Truncation: p keeps one term of its series, q two. For Ls <= R the series alternate with
// shrinking terms, so the error is below the first term left out: |dp| < Ls^4 / (2688 R^3)
// (0.04 mm for R 500, Ls 60; 4.8 mm for R 100, Ls 60) and |dq| < Ls^5 / (34560 R^4)
// (under 0.001 mm for R 500, Ls 60). T and E carry dp scaled by tan(α/2) and sec(α/2)
// (growing without bound towards α = 180°), T the dq as it is; L is exact. Single-float
// values (T, L, E, the stations) hold 7 significant digits: 0.1 mm at a station of 1000 m,
// 1 mm at 10 km, 1 cm at 100 km.
//
// Which values are floats and which doubles is part of the result: field crews compare the
// printed digits with published tables, and a float station prints 7 significant digits, a
// double 15. The suite has three variants, all here, each with its own precision and order of
// operations; they differ in the last digits on purpose, and none may be folded into another:
//   ComputeCurveElementsDoublePQ    the setting-out report and its stake list (Brannock) and
//                                   the extra stake of the station deflections (Dovetree);
//   ComputeCurveElementsSinglePQ    the main calculation of the station deflections (Dovetree);
//   ComputeCurveElementsRoundedPQ   the curve coordinate window (Tallyfen).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/notation.h"

namespace survey::curve {

// The four design data as numbers. `alpha` is the packed D.MMSS value as typed.
struct CurveInput {
  double JD = 0;     // JD (交点): station of the intersection point
  double alpha = 0;  // deflection angle at JD, packed D.MMSS
  double R = 0;      // radius of the circular arc
  double Ls = 0;     // length of each transition (缓和曲线长), 0 for a plain arc
};

// Elements with p and q in double; T, L, E and the stations are floats.
struct CurveElements {
  PackedAngle alpha;  // decimal degrees and the parsed D, M, S (echoed in reports)
  double p = 0;       // shift of the arc
  double q = 0;       // tangent offset
  double beta0 = 0;   // transition angle, degrees
  float T = 0;  // tangent length
  float L = 0;  // curve length, transitions included
  float E = 0;  // external distance
  // Main-point stations: ZH (直缓) tangent to transition, HY (缓圆) transition to arc, QZ (曲中)
  // mid-curve, YH (圆缓) arc to transition, HZ (缓直) transition to tangent.
  float ZH = 0, HY = 0, QZ = 0, YH = 0, HZ = 0;
};

// Shift p = Ls^2 / (24 R): the first term of the series only.
double ShiftP(double R, double Ls);
// Tangent offset q = Ls / 2 - Ls^3 / (240 R^2): two terms only.
double TangentOffsetQ(double R, double Ls);
// Transition angle in degrees: Ls * 90 / (R * SurveyPi).
double TransitionAngle(double R, double Ls);

// True when the two transitions turn through more than the deflection, 2 β0 > |alpha|
// (degrees): the arc would have a negative length, HY would lie beyond YH and L < 2 Ls. Equal
// (no circular arc) is a curve; the relative margin of 1e-12 keeps a pair that meets exactly
// on paper from being refused for the rounding of pi.
bool TransitionsOverlap(double alphaDegrees, double R, double Ls);

// The five main-point stations from the stored tangent and curve lengths; each is a float
// that later steps use as stored.
struct MainStations {
  float ZH = 0, HY = 0, QZ = 0, YH = 0, HZ = 0;
};
MainStations ComputeMainStations(double JD, float T, float L, double Ls);

// Copies the five main-point stations between any two of the element and report types.
template <class To, class From>
void CopyMainStations(To& to, const From& from) {
  to.ZH = from.ZH;
  to.HY = from.HY;
  to.QZ = from.QZ;
  to.YH = from.YH;
  to.HZ = from.HZ;
}

// p and q double, the half angle divided after the conversion to radians: tan(pi a / 180 / 2).
// The setting-out report prints p and q with 15 digits and its tables were made this way.
CurveElements ComputeCurveElementsDoublePQ(const CurveInput& input);

// Elements with p and q stored as floats; beta0 stays double.
struct CurveElementsSinglePQ {
  PackedAngle alpha;
  float p = 0, q = 0;
  double beta0 = 0;
  float T = 0, L = 0, E = 0;
  float ZH = 0, HY = 0, QZ = 0, YH = 0, HZ = 0;
};

// p and q stored as floats and used as stored in T and E, the half angle taken before the
// division by 180: tan(((pi a) / 2) / 180). The station deflection sheets print these digits.
CurveElementsSinglePQ ComputeCurveElementsSinglePQ(const CurveInput& input);

// Elements of the curve coordinate window: p and q rounded half-even to 0.0001 (the window
// shows them to four places and computes on with what it shows), T and L floats.
struct CurveElementsRoundedPQ {
  double alphaDeg = 0;
  double p = 0;
  double q = 0;
  float T = 0;
  double beta0 = 0;  // degrees
  float L = 0;
  // Main-point stations, every step after ZH in float arithmetic.
  float ZH = 0, HY = 0, QZ = 0, YH = 0, HZ = 0;
};

// p and q rounded to 0.0001 half-even; tan(((a pi) / 2) / 180); ZH from the station of ZH
// itself through JD = ZH + T and back; beta0 from the integer product ls * 90 (|ls| <= 364 keeps
// it inside 16 bits, as the window's field allows); L as (a - 2 beta0) (pi / 180) R + 2 Ls; HY,
// QZ, YH and HZ summed in float. The coordinate stake lists are pinned to these digits.
CurveElementsRoundedPQ ComputeCurveElementsRoundedPQ(double zhStation, double alphaDeg, double R, std::int16_t ls);

// The design data read from the field texts. nullopt (the window refuses with its data-error
// message) when a text is not a number, R is 0, or alpha is a straight angle, where the
// tangent length has no finite value.
std::optional<CurveInput> ReadCurveInput(std::string_view jdText, std::string_view alphaText,
                                         std::string_view rText, std::string_view lsText);

}  // namespace survey::curve
