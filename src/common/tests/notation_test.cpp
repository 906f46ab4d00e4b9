#include "common/notation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace survey {
namespace {

TEST(PackedAngle, Components) {
  const struct { double packed, D, M, S, degrees; } cases[] = {
      {88.2222, 88, 22, 22, 88 + 22.0 / 60 + 22.0 / 3600}, {2.3, 2, 30, 0, 2.5}, {45, 45, 0, 0, 45},
      {-12.3030, -12, -30, -30, -12.508333333333334},     {1.0060, 1, 0, 60, 1 + 1.0 / 60},  // no carry
      {0.00015, 0, 0, 2, 2.0 / 3600}, {0.00025, 0, 0, 2, 2.0 / 3600},  // fractions of a second: ties to even
      {0.000351, 0, 0, 4, 4.0 / 3600}, {-0.00015, 0, 0, -2, -2.0 / 3600}, {-0.3, 0, -30, 0, -0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.packed);
    const PackedAngle a = PackedAngleToDegrees(c.packed);
    EXPECT_EQ(std::tuple(a.D, a.M, a.S, std::signbit(a.D)), std::tuple(c.D, c.M, c.S, c.D < 0));
    EXPECT_DOUBLE_EQ(a.degrees, c.degrees);
  }
}

// Binary noise never moves a digit into the wrong field (0.29 read by plain truncation is
// 0°28′100″).
TEST(PackedAngle, EveryTypedDmsReadsBackExactly) {
  for (int d = 0; d <= 150; ++d)
    for (int m = 0; m < 60; ++m)
      for (int s = 0; s < 60; ++s) {
        char typed[32];
        std::snprintf(typed, sizeof typed, "%d.%02d%02d", d, m, s);
        const PackedAngle a = PackedAngleToDegrees(std::strtod(typed, nullptr));
        ASSERT_EQ(std::tuple(a.D, a.M, a.S, a.degrees), std::tuple(d * 1.0, m * 1.0, s * 1.0, d + m / 60.0 + s / 3600.0))
            << typed;
      }
}

TEST(Angles, RadiansRoundingAndSplits) {
  EXPECT_EQ(DegreesToRadians(180), 3.141592654);
  for (const auto& [x, rounded] : {std::pair{0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {-2.5, -2.0}, {2.5000001, 3.0}}) {
    EXPECT_EQ(RoundHalfEven(x), rounded) << x;
  }
  const struct { double degrees; const char* signedText; } cases[] = {
      {0, " 0° 0′ 0″"}, {360, " 360° 0′ 0″"}, {0.99999999, " 0° 59′ 60″"},  // no carry
      {-12.508333333333333, "-12°-30′-30″"}, {1 + 23.0 / 60 + 45.0 / 3600, " 1° 23′ 45″"},
      {NAN, " NaN° 0′ 0″"}, {HUGE_VAL, " Inf° 0′ 0″"},
  };
  for (const auto& c : cases) EXPECT_EQ(DmsText(SplitDms(c.degrees), TextForm::Signed), c.signedText) << c.degrees;
  EXPECT_EQ(DmsText(88, 22, 22, TextForm::Plain), "88°22′22″");
}

TEST(NumberText, DigitsAndForms) {
  constexpr Precision S = Precision::Single, D = Precision::Double;
  const struct { double value; Precision precision; const char *signedText, *plainText; } cases[] = {
      {123.45678f, S, " 123.4568", "123.4568"}, {0.0f, S, " 0", "0"},
      {0.5f, S, " .5", "0.5"}, {-0.25f, S, "-.25", "-0.25"},
      {120.0f, S, " 120", "120"}, {-7.0, D, "-7", "-7"},
      {0.052083333333333336, D, " .0520833333333333", "0.0520833333333333"},
      {2.5 - 2.4, D, " .1", "0.1"},  // binary noise beyond 15 digits goes
      {-0.0, D, " 0", "0"}, {-0.0f, S, " 0", "0"},
      {-1e-20f, S, "-1E-20", "-1E-20"}, {1.0f / 3.0f, S, " .3333333", "0.3333333"},
      {1.0 / 3.0, D, " .333333333333333", "0.333333333333333"},
      {9999999.5f, S, " 1E+07", "1E+07"},  // rounds up into the exponent range
      {9999999.0f, S, " 9999999", "9999999"}, {123456789012345.0, D, " 123456789012345", "123456789012345"},
      {1e15, D, " 1E+15", "1E+15"}, {0.00001, D, " .00001", "0.00001"},
      {0.0000025, D, " 2.5E-06", "2.5E-06"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.plainText);
    EXPECT_EQ(NumberText(c.value, c.precision, TextForm::Signed), c.signedText);
    EXPECT_EQ(NumberText(c.value, c.precision, TextForm::Plain), c.plainText);
  }
  EXPECT_EQ(SignedNumberText(0.1f), " .1");  // the float itself rounds, not its double digits
  EXPECT_EQ(PadRight("(起点)", 6), "(起点)  ");  // characters, not bytes
  EXPECT_EQ(PadRight("abc", 2), "abc");
  EXPECT_EQ(PadRight("", 2), "  ");
  EXPECT_EQ(Utf8Length("桩号°′″"), 5u);
}

}  // namespace
}  // namespace survey
