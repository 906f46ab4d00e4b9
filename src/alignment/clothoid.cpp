#include "alignment/clothoid.h"

#include <algorithm>
#include <cmath>
#include <limits>

// Method. The curve is cut into m equal panels, m the smallest count for which every panel
// satisfies K*h + |c|*h^2/2 <= 1/2 (h the panel length, K the largest |curvature| on the curve,
// c the curvature rate). On a panel with midpoint s_m the heading is
//   theta(s_m + t) = theta_m + phi(t),  phi(t) = k_m*t + c*t^2/2,
// so the panel's displacement is exp(i*theta_m) * Int_{-h/2}^{h/2} exp(i*phi(t)) dt. The power
// series of E(t) = exp(i*phi(t)) follows from E' = i*phi'*E:
//   (n+1)*a_{n+1} = i*(k_m*a_n + c*a_{n-1}),  a_0 = 1,
// and its integral over the symmetric panel keeps the even terms only: 2*sum a_n*(h/2)^(n+1)/(n+1).
// The series converges for every argument (E is entire); no truncated two-term formula is used.
// The heading at the end, exp(i*theta_m) * E(h/2), comes from the same coefficients: E(h/2) =
// sum a_n*(h/2)^n, with the same tail bound as the integral's (divided by |h|).
//
// Error bound. |a_n| is at most the t^n coefficient of exp(|k_m|*t + |c|*t^2/2), and a degree-n
// term of that exponential comes from powers j >= n/2 of its exponent, so dropping the terms of
// degree >= 2J leaves an error of at most |h| * sum_{j>=J} D^j/j!, D = |k_m|*h/2 + |c|*h^2/8 <= 1/4.
// J is chosen per panel so that this is below 2^-60*|h|: the truncation error of the whole curve is
// below 1e-18*s. Rounding: every partial sum is bounded by e^D < 1.3 and takes under 30 operations,
// and theta_m carries a relative error of a few ulps, so each panel adds at most about 1e-14*|h| and
// the curve at most 1e-14*s plus 1e-15*|theta|*s -- under 1e-10 m for s = 1,000 m and any turn up to
// a few full circles, well inside the 1e-9 m the route needs.

namespace survey::alignment {

namespace {

constexpr double kPanelSweep = 0.5;
// Beyond this sweep (radians) the caller has passed something no element can be; the result is
// then not a number rather than a loop of billions of panels.
constexpr double kMaxSweep = 1e5;
constexpr double kTailBound = 8.673617379884035e-19;  // 2^-60
// A panel's D is at most 1/4, so no panel needs more terms than this.
constexpr int kMaxTerms = 40;

struct Reciprocals {
  double value[kMaxTerms + 2];
  constexpr Reciprocals() : value() {
    value[0] = 0;
    for (int n = 1; n < kMaxTerms + 2; ++n) value[n] = 1.0 / n;
  }
};
constexpr Reciprocals kInverse;

// Terms a panel needs: 2J, J the smallest power count with sum_{j>=J} D^j/j! below 2^-60.
int TermsFor(double D) {
  double term = 1;  // D^j / j!
  for (int j = 1; 2 * j < kMaxTerms; ++j) {
    term *= D * kInverse.value[j];
    // The remaining sum from j on is at most term / (1 - D / (j + 1)).
    if (term <= kTailBound * (1 - D * kInverse.value[j + 1])) return 2 * j;
  }
  return kMaxTerms;
}

}  // namespace

ClothoidPoint ClothoidAt(double startCurvature, double curvatureRate, double s) {
  const double k0 = startCurvature;
  const double c = curvatureRate;
  ClothoidPoint out;
  out.turn = k0 * s + 0.5 * c * (s * s);
  if (s == 0) return out;
  if (c == 0) {
    if (k0 == 0) {
      out.along = s;
    } else {
      const double half = std::sin(0.5 * k0 * s);
      out.sinTurn = std::sin(k0 * s);
      out.cosTurn = 1 - 2 * (half * half);
      out.along = out.sinTurn / k0;
      out.right = 2 * (half * half) / k0;
    }
    return out;
  }
  const double k1 = k0 + c * s;
  const double K = std::max(std::fabs(k0), std::fabs(k1));
  const double sweep = K * std::fabs(s) + 0.5 * std::fabs(c) * (s * s);
  if (!(sweep <= kMaxSweep)) {
    out.along = out.right = std::numeric_limits<double>::quiet_NaN();
    return out;
  }
  const int m = std::max(1, static_cast<int>(std::ceil(sweep / kPanelSweep)));
  const double h = s / m;
  const double tau = 0.5 * h;
  for (int i = 0; i < m; ++i) {
    const double sm = (i + 0.5) * h;
    const double km = k0 + c * sm;
    const double thetaM = k0 * sm + 0.5 * c * (sm * sm);
    const double a = km * tau;
    const double b = c * (tau * tau);
    const int terms = TermsFor(std::fabs(a) + 0.5 * std::fabs(b));
    // b_n = a_n * tau^n, so that no power of tau is formed.
    double re = 1, im = 0, prevRe = 0, prevIm = 0;
    double sumRe = 1, sumIm = 0;
    double endRe = 1, endIm = 0;  // E(tau) = sum b_n: the heading change over the panel's second half
    for (int n = 0; n + 1 < terms; ++n) {
      const double tRe = a * re + b * prevRe;
      const double tIm = a * im + b * prevIm;
      prevRe = re;
      prevIm = im;
      re = -tIm * kInverse.value[n + 1];
      im = tRe * kInverse.value[n + 1];
      endRe += re;
      endIm += im;
      if ((n + 1) % 2 == 0) {
        sumRe += re * kInverse.value[n + 2];
        sumIm += im * kInverse.value[n + 2];
      }
    }
    const double pRe = 2 * tau * sumRe;
    const double pIm = 2 * tau * sumIm;
    const double cs = std::cos(thetaM);
    const double sn = std::sin(thetaM);
    out.along += pRe * cs - pIm * sn;
    out.right += pRe * sn + pIm * cs;
    if (i + 1 == m) {
      out.cosTurn = endRe * cs - endIm * sn;
      out.sinTurn = endRe * sn + endIm * cs;
    }
  }
  return out;
}

}  // namespace survey::alignment
