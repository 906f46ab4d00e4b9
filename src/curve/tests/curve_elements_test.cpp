#include "curve/curve_elements.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace survey::curve {
namespace {

std::string F(float v) { return PlainNumberText(v); }
std::string F(double v) { return PlainNumberText(v); }

// The elements as the reports print them: p q beta0 T L E | ZH HY QZ YH HZ.
template <class Elements>
std::string Texts(const Elements& e, const std::string& E) {
  return F(e.p) + " " + F(e.q) + " " + F(e.beta0) + " " + F(e.T) + " " + F(e.L) + " " + E + " | " + F(e.ZH) + " " +
         F(e.HY) + " " + F(e.QZ) + " " + F(e.YH) + " " + F(e.HZ);
}

enum class Variant { DoublePQ, SinglePQ, RoundedPQ };

std::string Compute(Variant v, double station, double alpha, double R, double Ls) {
  switch (v) {
    case Variant::DoublePQ: {
      const CurveElements e = ComputeCurveElementsDoublePQ({station, alpha, R, Ls});
      return Texts(e, F(e.E));
    }
    case Variant::SinglePQ: {
      const CurveElementsSinglePQ e = ComputeCurveElementsSinglePQ({station, alpha, R, Ls});
      return Texts(e, F(e.E));
    }
    case Variant::RoundedPQ:
      return Texts(ComputeCurveElementsRoundedPQ(station, alpha, R, static_cast<std::int16_t>(Ls)), "-");
  }
  return {};
}

// The same curves through the three variants: each row pins the digits one program prints, and
// rows of one curve differ exactly where the variants differ (p and q in 15 digits, 7 digits
// or four places; T, QZ and YH in their last digit). The station is JD for the first two
// variants and ZH for the coordinate window's.
TEST(CurveElements, VariantsKeepTheirOwnDigits) {
  struct Case {
    Variant variant;
    double station, alpha, R, Ls;
    const char* expected;
  };
  const Case cases[] = {
      {Variant::DoublePQ, 1000, 30.0000, 500, 60,
       "0.3 29.9964 3.43774677033606 164.0514 321.7994 17.94867 | 835.9486 895.9486 996.8483 1097.748 1157.748"},
      {Variant::SinglePQ, 1000, 30.0000, 500, 60,
       "0.3 29.9964 3.43774677033606 164.0514 321.7994 17.94867 | 835.9486 895.9486 996.8483 1097.748 1157.748"},
      {Variant::RoundedPQ, 1003.5, 30.0000, 500, 60,
       "0.3 29.9964 3.43774677033606 164.0514 321.7994 - | 1003.5 1063.5 1164.4 1265.299 1325.299"},
      {Variant::DoublePQ, 1000, 30, 120, 85,
       "2.50868055555556 42.3223017939815 20.292255241567 75.14841 147.8318 6.830319 | 924.8516 1009.852 998.7675 987.6833 1072.683"},
      {Variant::SinglePQ, 1000, 30, 120, 85,
       "2.508681 42.3223 20.292255241567 75.1484 147.8318 6.830319 | 924.8516 1009.852 998.7676 987.6835 1072.683"},
      {Variant::RoundedPQ, 1000, 30, 120, 85,
       "2.5087 42.3223 20.292255241567 75.14841 147.8318 - | 1000 1085 1073.916 1062.832 1147.832"},
      {Variant::DoublePQ, 1000, 30, 300, 70,
       "0.680555555555556 34.9841203703704 6.68450760898679 115.5512 227.0796 11.28742 | 884.4488 954.4488 997.9886 1041.528 1111.528"},
      {Variant::SinglePQ, 1000, 30, 300, 70,
       "0.6805556 34.98412 6.68450760898679 115.5512 227.0796 11.28742 | 884.4488 954.4488 997.9886 1041.528 1111.528"},
      {Variant::RoundedPQ, 1000, 30, 300, 70,
       "0.6806 34.9841 6.68450760898679 115.5512 227.0796 - | 1000 1070 1113.54 1157.08 1227.08"},
      {Variant::DoublePQ, 1000, 30.0000, 500, 0,
       "0 0 0 133.9746 261.7994 17.63809 | 866.0254 866.0254 996.925 1127.825 1127.825"},
      {Variant::SinglePQ, 1000, 30.0000, 500, 0,
       "0 0 0 133.9746 261.7994 17.63809 | 866.0254 866.0254 996.925 1127.825 1127.825"},
      {Variant::RoundedPQ, 1000, 30.0000, 500, 0, "0 0 0 133.9746 261.7994 - | 1000 1000 1130.9 1261.799 1261.799"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Compute(c.variant, c.station, c.alpha, c.R, c.Ls), c.expected)
        << "variant " << static_cast<int>(c.variant) << ", R " << c.R << ", Ls " << c.Ls;
  }
}

TEST(CurveElements, PlainArcHasExactlyEqualMainPoints) {
  // The stake lists recognise the plain arc by these exact equalities of stored floats.
  const CurveElements d = ComputeCurveElementsDoublePQ({1000, 30.0000, 500, 0});
  EXPECT_EQ(d.HY, d.ZH);
  EXPECT_EQ(d.YH, d.HZ);
  const CurveElementsSinglePQ s = ComputeCurveElementsSinglePQ({1000, 30.0000, 500, 0});
  EXPECT_EQ(s.HY, s.ZH);
  EXPECT_EQ(s.YH, s.HZ);
  const CurveElementsRoundedPQ r = ComputeCurveElementsRoundedPQ(1000, 30.0000, 500, 0);
  EXPECT_EQ(r.HY, r.ZH);
  EXPECT_EQ(r.YH, r.HZ);
}

TEST(CurveElements, StationsAreTheStoredFloatsOfEachStep) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const CurveElements e = ComputeCurveElementsDoublePQ(in);
  // ZH takes the stored float T, not the double tangent length.
  EXPECT_EQ(e.ZH, static_cast<float>(in.JD - static_cast<double>(e.T)));
  EXPECT_EQ(e.HZ, static_cast<float>(static_cast<double>(e.ZH) + static_cast<double>(e.L)));
  EXPECT_EQ(e.YH, static_cast<float>(static_cast<double>(e.HZ) - in.Ls));
}

TEST(CurveElements, PackedAngleKeepsItsFifteenDigitNormalisation) {
  const CurveElements whole = ComputeCurveElementsDoublePQ({1000, 30.0000, 500, 60});
  EXPECT_EQ(whole.alpha.D, 30);
  EXPECT_EQ(whole.alpha.M, 0);
  EXPECT_EQ(whole.alpha.S, 0);
  const CurveElements e = ComputeCurveElementsDoublePQ({1000, 2.3, 500, 0});
  EXPECT_EQ(e.alpha.D, 2);
  EXPECT_EQ(e.alpha.M, 30);
  EXPECT_EQ(e.alpha.S, 0);
  EXPECT_EQ(e.alpha.degrees, 2.5);
}

TEST(ReadCurveInput, AcceptsNumbersAsTyped) {
  const auto in = ReadCurveInput("1000", "30.0000", "500", "60");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->JD, 1000);
  EXPECT_EQ(in->alpha, 30);
  EXPECT_EQ(in->R, 500);
  EXPECT_EQ(in->Ls, 60);
  // Full-width digits and point, as Chinese input methods type them.
  const auto wide = ReadCurveInput("１０００", "88．2222", "500", "0");
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->JD, 1000);
  EXPECT_EQ(wide->alpha, 88.2222);
  // Negative values and an Ls longer than the arc are not refused.
  EXPECT_TRUE(ReadCurveInput("-50", "-30", "-500", "900"));
}

TEST(ReadCurveInput, RefusesTextsThatAreNotNumbers) {
  EXPECT_FALSE(ReadCurveInput("", "30", "500", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "", "500", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "30", "", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "30", "500", ""));
  EXPECT_FALSE(ReadCurveInput("K1+000", "30", "500", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "30°", "500", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "30", "500m", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "30", "500", "nan"));
  EXPECT_FALSE(ReadCurveInput("1e400", "30", "500", "60"));
}

TEST(ReadCurveInput, RefusesZeroRadiusAndStraightAngle) {
  EXPECT_FALSE(ReadCurveInput("1000", "30", "0", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "30", "-0.0", "0"));
  EXPECT_FALSE(ReadCurveInput("1000", "180", "500", "60"));
  EXPECT_FALSE(ReadCurveInput("1000", "-180", "500", "0"));
  EXPECT_FALSE(ReadCurveInput("1000", "180.0000", "500", "0"));
  // Beyond the straight angle either way: a typing error, not a curve.
  for (const char* alpha : {"180.0001", "275659", "-455000", "1e300"}) EXPECT_FALSE(ReadCurveInput("1000", alpha, "500", "60")) << alpha;
  // Just short of the straight angle is still a (very long) curve, either way.
  EXPECT_TRUE(ReadCurveInput("1000", "179.5959", "500", "0"));
  EXPECT_TRUE(ReadCurveInput("1000", "-179.5959", "500", "0"));
  EXPECT_TRUE(ReadCurveInput("1000", "0", "500", "0"));
}

}  // namespace
}  // namespace survey::curve
