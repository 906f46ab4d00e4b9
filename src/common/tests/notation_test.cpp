#include "common/notation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace survey {
namespace {

TEST(PackedAngle, DocumentedExamples) {
  EXPECT_EQ(PackedAngleToDegrees(88.2222).degrees, 88 + 22.0 / 60 + 22.0 / 3600);

  const PackedAngle a = PackedAngleToDegrees(2.3);
  EXPECT_EQ(a.D, 2);
  EXPECT_EQ(a.M, 30);
  EXPECT_EQ(a.S, 0);
  EXPECT_EQ(a.degrees, 2.5);

  const PackedAngle b = PackedAngleToDegrees(0.5959);
  EXPECT_EQ(b.M, 59);
  EXPECT_EQ(b.S, 59);

  const PackedAngle c = PackedAngleToDegrees(45);
  EXPECT_EQ(c.D, 45);
  EXPECT_EQ(c.M, 0);
  EXPECT_EQ(c.S, 0);
  EXPECT_EQ(c.degrees, 45);

  const PackedAngle neg = PackedAngleToDegrees(-12.3030);
  EXPECT_EQ(neg.D, -12);
  EXPECT_EQ(neg.M, -30);
  EXPECT_EQ(neg.S, -30);
  EXPECT_DOUBLE_EQ(neg.degrees, -12.508333333333333);
}

TEST(PackedAngle, FractionsOfASecondRoundTiesToEven) {
  EXPECT_EQ(PackedAngleToDegrees(0.00005).S, 0);
  EXPECT_EQ(PackedAngleToDegrees(0.00015).S, 2);
  EXPECT_EQ(PackedAngleToDegrees(0.00025).S, 2);
  EXPECT_EQ(PackedAngleToDegrees(0.00035).S, 4);
  EXPECT_EQ(PackedAngleToDegrees(0.000351).S, 4);
  EXPECT_EQ(PackedAngleToDegrees(-0.00015).S, -2);
}

TEST(PackedAngle, SixtySecondsAreAcceptedWithoutCarry) {
  const PackedAngle a = PackedAngleToDegrees(1.0060);
  EXPECT_EQ(a.M, 0);
  EXPECT_EQ(a.S, 60);
  EXPECT_EQ(a.degrees, 1 + 1.0 / 60);
}

TEST(PackedAngle, MinutesNeverReadOneLow) {
  // Truncating (x - D) * 100 directly reads these a minute low with 100 seconds.
  for (double v : {0.29, 30.02, 99.3, 179.6, 0.58, 1.1}) {
    const PackedAngle a = PackedAngleToDegrees(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    const std::string text(buf);
    const auto dot = text.find('.');
    EXPECT_EQ(a.M, std::atoi(text.substr(dot + 1, 2).c_str())) << text;
    EXPECT_EQ(a.S, 0) << text;
  }
  EXPECT_EQ(PackedAngleToDegrees(0.29).M, 29);
}

TEST(PackedAngle, EveryTypedDmsReadsBackExactly) {
  for (int d = 0; d <= 150; ++d) {
    for (int m = 0; m < 60; ++m) {
      for (int s = 0; s < 60; ++s) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d.%02d%02d", d, m, s);
        const double typed = std::strtod(buf, nullptr);
        const PackedAngle a = PackedAngleToDegrees(typed);
        ASSERT_EQ(a.D, d) << buf;
        ASSERT_EQ(a.M, m) << buf;
        ASSERT_EQ(a.S, s) << buf;
        ASSERT_EQ(a.degrees, d + m / 60.0 + s / 3600.0) << buf;
      }
    }
  }
}

TEST(PackedAngle, NegativeZeroComponentsAreZero) {
  const PackedAngle a = PackedAngleToDegrees(-0.3);
  EXPECT_EQ(a.D, 0);
  EXPECT_FALSE(std::signbit(a.D));
  EXPECT_EQ(a.M, -30);
}

TEST(Radians, UsesTheSurveyConstant) {
  EXPECT_EQ(DegreesToRadians(180), 3.141592654);
  EXPECT_EQ(DegreesToRadians(30), 3.141592654 * 30 / 180);
}

TEST(SplitDms, TruncatesAndRoundsWithoutCarry) {
  const Dms z = SplitDms(0);
  EXPECT_EQ(z.D, 0);
  EXPECT_EQ(z.M, 0);
  EXPECT_EQ(z.S, 0);
  const Dms full = SplitDms(360 - 0.0);
  EXPECT_EQ(full.D, 360);
  EXPECT_EQ(full.S, 0);
  const Dms almost = SplitDms(0.99999999);  // 59' 59.99996"
  EXPECT_EQ(almost.D, 0);
  EXPECT_EQ(almost.M, 59);
  EXPECT_EQ(almost.S, 60);
  const Dms neg = SplitDms(-12.508333333333333);
  EXPECT_EQ(neg.D, -12);
  EXPECT_EQ(neg.M, -30);
  EXPECT_EQ(neg.S, -30);
}

TEST(SplitDms, NonFiniteDegreesHaveNoMinutesOrSeconds) {
  for (const double v : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    const Dms d = SplitDms(v);
    EXPECT_TRUE(std::isnan(v) ? std::isnan(d.D) : d.D == v) << v;
    EXPECT_EQ(d.M, 0) << v;
    EXPECT_EQ(d.S, 0) << v;
  }
}

TEST(RoundHalfEven, Ties) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
}

TEST(NumberText, SignedForm) {
  EXPECT_EQ(SignedNumberText(123.45678f), " 123.4568");
  EXPECT_EQ(SignedNumberText(0.0f), " 0");
  EXPECT_EQ(SignedNumberText(0.5f), " .5");
  EXPECT_EQ(SignedNumberText(-0.25f), "-.25");
  EXPECT_EQ(SignedNumberText(120.0f), " 120");
  EXPECT_EQ(SignedNumberText(-7.0), "-7");
}

TEST(NumberText, PlainForm) {
  EXPECT_EQ(PlainNumberText(123.45678f), "123.4568");
  EXPECT_EQ(PlainNumberText(0.0f), "0");
  EXPECT_EQ(PlainNumberText(0.5f), "0.5");
  EXPECT_EQ(PlainNumberText(-0.25), "-0.25");
  EXPECT_EQ(PlainNumberText(0.052083333333333336), "0.0520833333333333");
  EXPECT_EQ(PlainNumberText(1234.5), "1234.5");
  EXPECT_EQ(PlainNumberText(2.5 - 2.4), "0.1");  // binary noise beyond 15 digits goes
}

TEST(NumberText, NegativeZeroPrintsAsZero) {
  EXPECT_EQ(PlainNumberText(-0.0), "0");
  EXPECT_EQ(SignedNumberText(-0.0), " 0");
  EXPECT_EQ(SignedNumberText(-0.0f), " 0");
  EXPECT_EQ(PlainNumberText(-1e-20f), "-1E-20");
}

TEST(NumberText, SingleAndDoubleDigits) {
  EXPECT_EQ(PlainNumberText(1.0f / 3.0f), "0.3333333");
  EXPECT_EQ(PlainNumberText(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(PlainNumberText(9999999.5f), "1E+07");  // rounds up into the exponent range
  EXPECT_EQ(PlainNumberText(9999999.0f), "9999999");
  EXPECT_EQ(PlainNumberText(123456789012345.0), "123456789012345");
  EXPECT_EQ(PlainNumberText(1e15), "1E+15");
  EXPECT_EQ(PlainNumberText(0.00001), "0.00001");
  EXPECT_EQ(PlainNumberText(0.0000025), "2.5E-06");
  EXPECT_EQ(SignedNumberText(0.00001), " .00001");
}

TEST(DmsText, SignedAndPlainForms) {
  EXPECT_EQ(DmsText(1, 23, 45, TextForm::Signed), " 1° 23′ 45″");
  EXPECT_EQ(Utf8Length(DmsText(1, 23, 45, TextForm::Signed)), 11u);
  EXPECT_EQ(DmsText(88, 22, 22, TextForm::Plain), "88°22′22″");
  EXPECT_EQ(DmsText(SplitDms(0), TextForm::Signed), " 0° 0′ 0″");
  EXPECT_EQ(DmsText(-12, -30, -30, TextForm::Signed), "-12°-30′-30″");
}

TEST(PadRight, CountsCharactersNotBytes) {
  EXPECT_EQ(PadRight("(起点)", 6), "(起点)  ");
  EXPECT_EQ(PadRight("abc", 2), "abc");
  EXPECT_EQ(PadRight("abc", 3), "abc");
  EXPECT_EQ(PadRight("", 2), "  ");
  EXPECT_EQ(Utf8Length("桩号°′″"), 5u);
}

}  // namespace
}  // namespace survey
