#include "curve/curve_elements.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace survey::curve {
namespace {

std::string F(float v) { return PlainNumberText(v); }
std::string F(double v) { return PlainNumberText(v); }

// The elements as the reports print them: p q beta0 T L E | ZH HY QZ YH HZ (no E: "-").
template <class Elements>
std::string Texts(const Elements& e) {
  std::string E = "-";
  if constexpr (requires { e.E; }) E = F(e.E);
  return F(e.p) + " " + F(e.q) + " " + F(e.beta0) + " " + F(e.T) + " " + F(e.L) + " " + E + " | " + F(e.ZH) + " " +
         F(e.HY) + " " + F(e.QZ) + " " + F(e.YH) + " " + F(e.HZ);
}

enum class Variant { DoublePQ, SinglePQ, RoundedPQ };

std::string Compute(Variant v, double station, double alpha, double R, double Ls) {
  switch (v) {
    case Variant::DoublePQ: return Texts(ComputeCurveElementsDoublePQ({station, alpha, R, Ls}));
    case Variant::SinglePQ: return Texts(ComputeCurveElementsSinglePQ({station, alpha, R, Ls}));
    case Variant::RoundedPQ: return Texts(ComputeCurveElementsRoundedPQ(station, alpha, R, static_cast<std::int16_t>(Ls)));
  }
  return {};
}

// Golden table: a snapshot of the digits each program prints (field crews compare them with
// their earlier printouts); the worked example (JD 1000, α 30°, R 500, Ls 60) was worked by
// hand from the textbook formulas as an independent check: p 0.3, q 29.9964, β0 3.43775°,
// T 164.0514, L 321.7994, E 17.9487.
// The same curves through the three variants: each row pins the digits one program prints, and
// rows of one curve differ exactly where the variants differ (p and q in 15 digits, 7 digits
// or four places; T, QZ and YH in their last digit). The station is JD for the first two
// variants and ZH for the coordinate window's.
TEST(CurveElements, VariantsKeepTheirOwnDigits) {
  using V = Variant;
  const struct { Variant variant; double station, alpha, R, Ls; const char* expected; } cases[] = {
      {V::DoublePQ, 1000, 30.0000, 500, 60, "0.3 29.9964 3.43774677033606 164.0514 321.7994 17.94867 | 835.9486 895.9486 996.8483 1097.748 1157.748"},
      {V::SinglePQ, 1000, 30.0000, 500, 60, "0.3 29.9964 3.43774677033606 164.0514 321.7994 17.94867 | 835.9486 895.9486 996.8483 1097.748 1157.748"},
      {V::RoundedPQ, 1003.5, 30.0000, 500, 60, "0.3 29.9964 3.43774677033606 164.0514 321.7994 - | 1003.5 1063.5 1164.4 1265.299 1325.299"},
      {V::DoublePQ, 1000, 30, 120, 85, "2.50868055555556 42.3223017939815 20.292255241567 75.14841 147.8318 6.830319 | 924.8516 1009.852 998.7675 987.6833 1072.683"},
      {V::SinglePQ, 1000, 30, 120, 85, "2.508681 42.3223 20.292255241567 75.1484 147.8318 6.830319 | 924.8516 1009.852 998.7676 987.6835 1072.683"},
      {V::RoundedPQ, 1000, 30, 120, 85, "2.5087 42.3223 20.292255241567 75.14841 147.8318 - | 1000 1085 1073.916 1062.832 1147.832"},
      {V::DoublePQ, 1000, 30, 300, 70, "0.680555555555556 34.9841203703704 6.68450760898679 115.5512 227.0796 11.28742 | 884.4488 954.4488 997.9886 1041.528 1111.528"},
      {V::SinglePQ, 1000, 30, 300, 70, "0.6805556 34.98412 6.68450760898679 115.5512 227.0796 11.28742 | 884.4488 954.4488 997.9886 1041.528 1111.528"},
      {V::RoundedPQ, 1000, 30, 300, 70, "0.6806 34.9841 6.68450760898679 115.5512 227.0796 - | 1000 1070 1113.54 1157.08 1227.08"},
      {V::DoublePQ, 1000, 30.0000, 500, 0, "0 0 0 133.9746 261.7994 17.63809 | 866.0254 866.0254 996.925 1127.825 1127.825"},
      {V::SinglePQ, 1000, 30.0000, 500, 0, "0 0 0 133.9746 261.7994 17.63809 | 866.0254 866.0254 996.925 1127.825 1127.825"},
      {V::RoundedPQ, 1000, 30.0000, 500, 0, "0 0 0 133.9746 261.7994 - | 1000 1000 1130.9 1261.799 1261.799"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compute(c.variant, c.station, c.alpha, c.R, c.Ls), c.expected)
        << "variant " << static_cast<int>(c.variant) << ", R " << c.R << ", Ls " << c.Ls;
  }
}

// 2 beta0 against the deflection (degrees); R = 10800 / (30 pi) makes 2 beta0 = 30° on paper.
TEST(TransitionsOverlap, Cases) {
  const struct { double alpha, R, Ls; bool overlap; } cases[] = {
      {22.5, 152.45, 60, true},                 // 2 beta0 = 22.55°: the published refusal
      {-22.5, 152.45, 60, true},                // a left-hand curve the same
      {22.5, -152.45, 60, true},                // and a radius typed negative
      {30, 114.59155902616466, 60, false},      // 2 beta0 = alpha: no arc, still a curve
      {30, 114.5915, 60, true},                 // 0.1 mm less radius: 2.6e-5° too much
      {30, 114.5916, 60, false},
      {30, 500, 60, false}, {0.0003, 500, 0, false},  // no transition never overlaps
      {0.0003, 1e5, 1, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TransitionsOverlap(c.alpha, c.R, c.Ls), c.overlap) << c.alpha << " " << c.R << " " << c.Ls;
}

// The design data as typed: JD, alpha, R, Ls -> the numbers read, or "" for a refusal.
TEST(ReadCurveInput, Cases) {
  const struct { const char *jd, *alpha, *r, *ls, *read; } cases[] = {
      {"1000", "30.0000", "500", "60", "1000 30 500 60"},
      {"１０００", "88．2222", "500", "0", "1000 88.2222 500 0"},  // full-width forms
      {"-50", "-30", "-500", "900", "-50 -30 -500 900"},        // negative values, Ls beyond the arc
      {"1000", "179.5959", "500", "0", "1000 179.5959 500 0"},   // just short of a straight angle
      {"1000", "-179.5959", "500", "0", "1000 -179.5959 500 0"},
      {"", "30", "500", "60", ""}, {"1000", "", "500", "60", ""}, {"1000", "30", "", "60", ""}, {"1000", "30", "500", "", ""},
      {"K1+000", "30", "500", "60", ""}, {"1000", "30°", "500", "60", ""}, {"1000", "30", "500m", "60", ""}, {"1", "1", "1", "nan", ""},
      {"1e400", "30", "500", "60", ""}, {"1000", "30", "0", "60", ""}, {"1000", "30", "-0.0", "0", ""},  // no radius
      {"1000", "180", "500", "60", ""}, {"1000", "-180", "500", "0", ""}, {"1000", "180.0000", "500", "0", ""},  // straight
      {"1000", "180.0001", "500", "60", ""}, {"1000", "275659", "500", "60", ""}, {"1000", "1e300", "500", "60", ""},
  };
  for (const auto& c : cases) {
    const auto in = ReadCurveInput(c.jd, c.alpha, c.r, c.ls);
    EXPECT_EQ(in ? F(in->JD) + " " + F(in->alpha) + " " + F(in->R) + " " + F(in->Ls) : "", c.read) << c.jd << " " << c.alpha;
  }
}

}  // namespace
}  // namespace survey::curve
