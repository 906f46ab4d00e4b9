// The curve coordinate window sets out one symmetric curve with the classic series: p and q from
// their first terms (rounded to 0.1 mm), T from those, the clothoid by its series cut where a term
// drops below 0.5 mm, coordinates rounded to millimetres. Laid out from the same JD, its stakes
// and this engine's differ by the window's error of T, which moves its ZH and HZ along the
// tangents: about a millimetre for curves of ordinary size, and growing with (Ls/R)^3 * Ls, as
// the dropped terms Ls^4 / (2688 R^3) of p and Ls^5 / (34560 R^4) of q say, for long transitions.
// Measured: R 100 m, Ls 120 m (Ls/R 1.2), alpha 90 deg: T 0.0694 m off, stakes 0.069-0.070 m off
// (predicted 0.0699); R 150, Ls 120, 60 deg: 0.011-0.012 m; R 300, Ls 250, 50 deg: 0.021-0.022 m;
// R 500, Ls 100, 30 deg: T 0.04 mm off, stakes within 1.0 mm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "alignment/route.h"
#include "common/notation.h"
#include "tallyfen/curve/curve_stakes.h"

namespace survey::alignment {
namespace {

constexpr double kPi = 3.141592653589793;

struct Comparison {
  double largest = 0;   // largest distance between the window's stake and this engine's
  double smallest = 1e300;
  double tangentError = 0;  // window T - exact T
};

Comparison Compare(double alphaPacked, double r, int ls) {
  const double in = 45 * kPi / 180;
  const double alpha = survey::PackedAngleToDegrees(alphaPacked).degrees * kPi / 180;
  const double jdX = 5000, jdY = 3000;
  tallyfen::CurveCoordInput w;
  w.jdX = jdX;
  w.jdY = jdY;
  w.zhStation = 1000;
  w.alpha = survey::PackedAngleToDegrees(alphaPacked);
  w.R = r;
  w.ls = static_cast<std::int16_t>(ls);
  w.turn = tallyfen::Turn::Right;
  const double tw = tallyfen::ComputeCurveStations(w).elements.T;
  w.zhX = jdX - tw * std::cos(in);
  w.zhY = jdY - tw * std::sin(in);
  const std::vector<tallyfen::StakePoint> rows = tallyfen::BuildCurveStakes(w);
  const float zh = tallyfen::ComputeCurveStations(w).stations.ZH;

  const double out = in + alpha;
  const Route route = BuildRouteFromJd({{"QD", jdX - 1000 * std::cos(in), jdY - 1000 * std::sin(in)},
                                        {"JD1", jdX, jdY, r, static_cast<double>(ls), static_cast<double>(ls)},
                                        {"ZD", jdX + 1000 * std::cos(out), jdY + 1000 * std::sin(out)}},
                                       0, {});
  const CurveRow& c = route.Curves().front();
  Comparison result;
  result.tangentError = tw - c.t1;
  for (const tallyfen::StakePoint& row : rows) {
    const Pose p = route.PointAt(c.zh + (row.station - static_cast<double>(zh)));
    const double d = std::hypot(p.x - row.centre.x, p.y - row.centre.y);
    result.largest = std::max(result.largest, d);
    result.smallest = std::min(result.smallest, d);
  }
  return result;
}

TEST(CurveWindowComparison, OrdinaryCurveAgreesToTheWindowsMillimetre) {
  // R 500, Ls 100, 30 deg: the window's T is 0.1 mm off; its stakes are rounded to millimetres.
  const Comparison c = Compare(30.0, 500, 100);
  EXPECT_LT(std::fabs(c.tangentError), 2e-4);
  EXPECT_LT(c.largest, 1e-3);
}

TEST(CurveWindowComparison, LongTransitionsDriftAsTheDroppedSeriesTermsPredict) {
  struct Case { double alphaPacked, r; int ls; };
  for (const Case& k : {Case{90.0, 100, 120}, Case{60.0, 150, 120}, Case{50.0, 300, 250}}) {
    const double alpha = k.alphaPacked * kPi / 180;
    const double ls = k.ls;
    // The first dropped terms of p and q, as T = (R + p) tan(alpha / 2) + q carries them.
    const double predicted = std::pow(ls, 4) / (2688 * std::pow(k.r, 3)) * std::tan(alpha / 2) -
                             std::pow(ls, 5) / (34560 * std::pow(k.r, 4));
    const Comparison c = Compare(k.alphaPacked, k.r, k.ls);
    EXPECT_NEAR(c.tangentError, predicted, 0.05 * predicted) << k.r << " " << k.ls;
    // Every stake moves with ZH or HZ by that much, give or take the window's millimetre.
    EXPECT_NEAR(c.largest, predicted, 2e-3) << k.r << " " << k.ls;
    EXPECT_NEAR(c.smallest, predicted, 2e-3) << k.r << " " << k.ls;
  }
}

}  // namespace
}  // namespace survey::alignment
