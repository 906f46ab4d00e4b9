// The JD method: a route given by its start point QD, intersection points JD with radius R and
// transition lengths Ls1 (entry) and Ls2 (exit), and its end point ZD, laid out as elements.
//
// Each curve is a clothoid of length Ls1 from the incoming tangent, a circular arc and a clothoid
// of length Ls2 onto the outgoing tangent (asymmetric when Ls1 != Ls2; Ls = 0 on a side means the
// arc meets that tangent directly). Every value below is exact: p, q and beta come from the exact
// clothoid, not from truncated series.
//
// Formulas (the route-survey textbook layout of a curve with unequal transitions, 道路勘测设计,
// chapter on plan alignment elements):
//   beta = Ls / (2R);  p = y(Ls) - R (1 - cos beta);  q = x(Ls) - R sin beta, with x, y the
//   clothoid's coordinates at its end (clothoid.h, error below 1e-9 m);
//   T1 = ((p2 - p1) + (R + p1)(1 - cos a)) / sin a + q1, T2 likewise with 1 and 2 swapped;
//   L = Ls1 + R (a - beta1 - beta2) + Ls2;  E = |(T1 - q1, R + p1)| - R;  J = T1 + T2 - L.
// With Ls1 = Ls2 these are the familiar T = (R + p) tan(a/2) + q and E = (R + p) sec(a/2) - R.
// Nothing is truncated, so no error bound beyond the clothoid's and the double's rounding; each
// curve is walked element by element and its end must meet the computed one to kMaxClosureError.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "alignment/element.h"

namespace survey::alignment {

// One row of the JD table. The first row is QD and the last ZD (their r, ls1, ls2 are ignored).
// The table reader fills a blank ls2 with ls1.
struct JdInput {
  std::string name;
  double x = 0, y = 0, r = 0, ls1 = 0, ls2 = 0;
  int line = 0;  // table line for refusals (0: not from a table)
};

// The curve at one JD; lengths in m, angles in radians, zh..hz chainages from QD.
struct CurveRow {
  std::string name;  // as typed; JD1, JD2, ... (counting the JDs) where the table has none
  double x = 0, y = 0;
  bool turnRight = false;
  double alpha = 0;  // deflection, > 0
  double r = 0, ls1 = 0, ls2 = 0;
  double p1 = 0, q1 = 0, beta1 = 0;  // entry side: shift of the arc, tangent offset, transition angle
  double p2 = 0, q2 = 0, beta2 = 0;  // exit side
  double t1 = 0, t2 = 0;             // tangent lengths JD-ZH and JD-HZ
  double l = 0;                      // curve length Ls1 + arc + Ls2
  double e = 0;                      // |JD - C| - R, C the centre of the arc
  double j = 0;                      // T1 + T2 - L
  double zh = 0, hy = 0, qz = 0, yh = 0, hz = 0;  // hy == zh without entry transition, yh == hz without exit
  bool hasEntryTransition = false;   // false: zh is ZY, no HY
  bool hasExitTransition = false;    // false: hz is YZ, no YH
  std::optional<double> straightAfter;  // to the next curve's ZH (to ZD after the last curve)
  std::optional<double> straightBefore;  // from QD, on the first curve only
};

struct JdLayout {
  std::vector<CurveRow> curves;
  std::vector<Element> elements;  // from QD (chainage 0) to ZD
  double closureError = 0;        // largest distance of a walked curve end from its computed end
};

// The largest closure error a layout may have.
inline constexpr double kMaxClosureError = 1e-6;
// The smallest turn at a JD that is a curve, 0.01″ (the last place α prints): below it the
// three points are collinear up to the round-off of their coordinates, and the "curve" would
// be a zero-length one printed with α 0.000000, refused alike with an exactly straight JD.
inline constexpr double kMinTurn = 0.01 / 3600 * 3.141592653589793 / 180;
// The most JD rows (QD and ZD included) one route may have.
inline constexpr std::size_t kMaxJdRows = 100'000;

// Lays out the route; refuses (AlignmentError naming the JD, or both JDs) fewer than two points,
// two consecutive points equal, coordinates that are not finite or beyond 1e9 m, R <= 0, a
// negative transition, alpha below kMinTurn or 180 degrees, beta1 + beta2 > alpha, overlapping tangents
// and a closure error beyond kMaxClosureError.
JdLayout LayOutJd(const std::vector<JdInput>& points);

}  // namespace survey::alignment
