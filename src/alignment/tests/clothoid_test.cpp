#include "alignment/clothoid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace survey::alignment {
namespace {

// Reference: composite Simpson in long double over 100,000 intervals of cos and sin of the exact
// heading k0*t + c*t^2/2. Its error is below L*h^4*max|f''''|/180 < 1e-15 m for every case here
// (|curvature| <= 0.02, h <= 1 cm), and its rounding below 1e-11 m.
struct Reference { long double along = 0, right = 0; };
Reference Simpson(double k0, double c, double s) {
  constexpr int kIntervals = 100000;
  const long double h = static_cast<long double>(s) / kIntervals;
  Reference r;
  for (int i = 0; i <= kIntervals; ++i) {
    const long double t = h * i;
    const long double theta = static_cast<long double>(k0) * t + 0.5L * static_cast<long double>(c) * t * t;
    const long double w = (i == 0 || i == kIntervals) ? 1 : (i % 2 == 1 ? 4 : 2);
    r.along += w * std::cos(theta);
    r.right += w * std::sin(theta);
  }
  r.along *= h / 3;
  r.right *= h / 3;
  return r;
}

struct Case { const char* what; double k0, k1, length; };

TEST(Clothoid, PositionsMatchHighOrderReference) {
  const Case cases[] = {
      {"entry Ls/R 0.1", 0, 1.0 / 1000, 100},
      {"entry Ls/R 1.0 over 1000 m", 0, 1.0 / 1000, 1000},
      {"entry Ls/R 1.2", 0, 1.0 / 100, 120},
      {"entry Ls/R 1.2 over 600 m", 0, 1.0 / 500, 600},
      {"exit Ls/R 1.2", 1.0 / 100, 0, 120},
      {"left entry", 0, -1.0 / 250, 200},
      {"egg 1/R1 -> 1/R2 tightening", 1.0 / 600, 1.0 / 300, 200},
      {"egg 1/R1 -> 1/R2 opening", 1.0 / 300, 1.0 / 600, 200},
      {"egg left both ways", -1.0 / 150, -1.0 / 900, 400},
      {"reversing curvature", -1.0 / 500, 1.0 / 500, 400},
      {"arc turning 20 rad", 1.0 / 50, 1.0 / 50, 1000},
      {"nearly straight", 1e-9, 2e-9, 1000},
  };
  for (const Case& c : cases) {
    const double rate = (c.k1 - c.k0) / c.length;
    for (double fraction : {0.37, 1.0}) {
      const double s = c.length * fraction;
      const ClothoidPoint p = ClothoidAt(c.k0, rate, s);
      const Reference r = Simpson(c.k0, rate, s);
      EXPECT_NEAR(p.along, static_cast<double>(r.along), 1e-9) << c.what << " at " << s;
      EXPECT_NEAR(p.right, static_cast<double>(r.right), 1e-9) << c.what << " at " << s;
      EXPECT_NEAR(p.turn, c.k0 * s + 0.5 * rate * s * s, 1e-12) << c.what;
      EXPECT_NEAR(p.cosTurn, std::cos(p.turn), 1e-14) << c.what;
      EXPECT_NEAR(p.sinTurn, std::sin(p.turn), 1e-14) << c.what;
    }
  }
}

TEST(Clothoid, BackwardArcLengthMirrorsForward) {
  // Locating a point a hair before an element's start evaluates at a small negative s.
  // Walking back along k0 + c*t is walking forward along -k0 + c*t, mirrored.
  const ClothoidPoint b = ClothoidAt(1.0 / 30, 1e-3, -25);
  const ClothoidPoint f = ClothoidAt(-1.0 / 30, 1e-3, 25);
  EXPECT_NEAR(b.along, -f.along, 1e-12);
  EXPECT_NEAR(b.right, -f.right, 1e-12);
}

TEST(Clothoid, AbsurdSweepIsNotANumberRatherThanALoop) {
  const ClothoidPoint p = ClothoidAt(1e300, 1e300, 1e10);
  EXPECT_TRUE(std::isnan(p.along));
}

}  // namespace
}  // namespace survey::alignment
