#include "alignment/check/field_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace survey::alignment::check {
namespace {

TEST(ZToleranceText, CaseTable) {
  struct Case {
    const char* text;
    bool ok;
    double upper, lower;
  };
  const Case cases[] = {
      {"0.02", true, 0.02, -0.02},         {"+0.010/-0.015", true, 0.010, -0.015},
      {"-0.015/+0.010", true, 0.010, -0.015}, {"0/-0.01", true, 0, -0.01},
      {"abc", false, 0, 0},                {"0.01/", false, 0, 0},
      {"/0.01", false, 0, 0},              {"-0.01", false, 0, 0},
      {"0.01/0.02", false, 0, 0},          {"-0.01/-0.02", false, 0, 0},
      {"nan", false, 0, 0},                {"", false, 0, 0},
      {"0.01/-0.01/0", false, 0, 0},
  };
  for (const Case& c : cases) {
    const std::optional<ZTolerance> t = ParseZTolerance(c.text);
    ASSERT_EQ(t.has_value(), c.ok) << c.text;
    if (!t) continue;
    EXPECT_DOUBLE_EQ(t->upper, c.upper) << c.text;
    EXPECT_DOUBLE_EQ(t->lower, c.lower) << c.text;
  }
  EXPECT_FALSE(ParseXyTolerance("-0.05").has_value());
  EXPECT_FALSE(ParseXyTolerance("5cm").has_value());
  EXPECT_DOUBLE_EQ(*ParseXyTolerance("0.05"), 0.05);
}

TEST(Tolerance, ALimitItselfPassesWhateverTheSumsMadeOfIt) {
  const ZTolerance t{0.010, -0.015};
  // Differences of millimetre values as they come out of the subtraction, not as typed.
  EXPECT_TRUE(WithinZ(100.010 - 100.000, t));
  EXPECT_GT(100.010 - 100.000, 0.010);  // why the rounding is there
  EXPECT_TRUE(WithinZ(99.985 - 100.000, t));
  EXPECT_FALSE(WithinZ(100.011 - 100.000, t));
  EXPECT_FALSE(WithinZ(99.984 - 100.000, t));
  // The sign matters: +0.015 fails against +0.010 though −0.015 passes.
  EXPECT_FALSE(WithinZ(0.015, t));
  EXPECT_TRUE(WithinXy(std::hypot(0.03, 0.04), 0.05));
  EXPECT_FALSE(WithinXy(0.0501, 0.05));
}

TEST(Deviation, ResolvesOnTheRouteDirection) {
  // Route heading east (azimuth 90°): +Y is along, −X (south) is to the right.
  const Deviation d = DeviationFrom(100, 200, std::numbers::pi / 2, 99.97, 200.04);
  EXPECT_NEAR(d.along, 0.04, 1e-12);
  EXPECT_NEAR(d.across, 0.03, 1e-12);
  EXPECT_NEAR(d.distance, 0.05, 1e-12);
  // Heading north: along is +X, right is +Y.
  const Deviation n = DeviationFrom(0, 0, 0, 0.02, -0.01);
  EXPECT_NEAR(n.along, 0.02, 1e-12);
  EXPECT_NEAR(n.across, -0.01, 1e-12);
}

TEST(CheckSummary, CountsAndKeepsTheFirstLargest) {
  CheckSummary s;
  s.Add(0, true, 0.004, std::nullopt);
  s.Add(1, false, -0.020, 0.03);
  s.Add(2, false, 0.020, 0.07);
  s.Add(3, false, std::nullopt, std::nullopt);
  EXPECT_EQ(s.count, 4u);
  EXPECT_EQ(s.passed, 1u);
  EXPECT_EQ(s.failed, 3u);
  EXPECT_DOUBLE_EQ(*s.maxDz, -0.020);
  EXPECT_EQ(s.maxDzRow, 1u);
  EXPECT_DOUBLE_EQ(*s.maxXy, 0.07);
  EXPECT_EQ(s.maxXyRow, 2u);
}

}  // namespace
}  // namespace survey::alignment::check
