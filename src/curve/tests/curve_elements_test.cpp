#include "curve/curve_elements.h"

#include <gtest/gtest.h>

#include <limits>

namespace survey::curve {
namespace {

std::string F(float v) { return PlainNumberText(v); }

TEST(CurveElements, WorkedExampleWithTransitions) {
  const CurveElements e = ComputeCurveElementsDoublePQ({1000, 30.0000, 500, 60});
  EXPECT_EQ(PlainNumberText(e.p), "0.3");
  EXPECT_EQ(PlainNumberText(e.q), "29.9964");
  EXPECT_EQ(PlainNumberText(e.beta0), "3.43774677033606");
  EXPECT_EQ(F(e.T), "164.0514");
  EXPECT_EQ(F(e.E), "17.94867");
  EXPECT_EQ(F(e.L), "321.7994");
  EXPECT_EQ(F(e.ZH), "835.9486");
  EXPECT_EQ(F(e.HY), "895.9486");
  EXPECT_EQ(F(e.QZ), "996.8483");
  EXPECT_EQ(F(e.YH), "1097.748");
  EXPECT_EQ(F(e.HZ), "1157.748");
  EXPECT_EQ(e.alpha.D, 30);
  EXPECT_EQ(e.alpha.M, 0);
  EXPECT_EQ(e.alpha.S, 0);
}

TEST(CurveElements, WorkedExampleWithoutTransitions) {
  const CurveElements e = ComputeCurveElementsDoublePQ({1000, 30.0000, 500, 0});
  EXPECT_EQ(e.p, 0);
  EXPECT_EQ(e.q, 0);
  EXPECT_EQ(e.beta0, 0);
  EXPECT_EQ(F(e.T), "133.9746");
  EXPECT_EQ(F(e.E), "17.63809");
  EXPECT_EQ(F(e.L), "261.7994");
  EXPECT_EQ(F(e.ZH), "866.0254");
  EXPECT_EQ(F(e.QZ), "996.925");
  EXPECT_EQ(F(e.HZ), "1127.825");
  // The stake list recognises the plain arc by these exact equalities of stored floats.
  EXPECT_EQ(e.HY, e.ZH);
  EXPECT_EQ(e.YH, e.HZ);
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
  const CurveElements e = ComputeCurveElementsDoublePQ({1000, 2.3, 500, 0});
  EXPECT_EQ(e.alpha.D, 2);
  EXPECT_EQ(e.alpha.M, 30);
  EXPECT_EQ(e.alpha.S, 0);
  EXPECT_EQ(e.alpha.degrees, 2.5);
}

TEST(CurveElements, PAndQKeepDoubleDigits) {
  const CurveElements e = ComputeCurveElementsDoublePQ({1000, 30, 300, 70});
  // 4900 / 7200 has a long expansion: 15 significant digits, not 7.
  EXPECT_EQ(PlainNumberText(e.p), "0.680555555555556");
  EXPECT_EQ(PlainNumberText(e.q), "34.9841203703704");
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
