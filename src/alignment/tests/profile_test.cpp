#include "alignment/profile.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "refusal.h"

namespace survey::alignment {
namespace {

// +2 % to -2 % (crest, R 4000: T 80, E 0.8, curve 220..380), then -2 % to +3 % (sag, R 5000:
// T 125, E 1.5625, curve 475..725).
Profile TwoCurves() {
  return Profile({{"", 0, 100, 0}, {"", 300, 106, 4000}, {"", 600, 100, 5000}, {"", 1000, 112, 0}});
}

TEST(ProfileTest, ElevationsAlongTheTwoCurves) {
  struct Case { double m, gradeElevation, elevation, grade; };
  const Case cases[] = {
      {0, 100, 100, 0.02},              // first point
      {200, 104, 104, 0.02},            // on the grade before the crest
      {220, 104.4, 104.4, 0.02},        // crest begins
      {230, 104.6, 104.5875, 0.0175},   // 10 m in: minus x^2/2R
      {300, 106, 105.2, 0},             // grade change point: minus E, grade the mean
      {370, 104.6, 104.5875, -0.0175},  // 10 m before the end, measured from the end
      {380, 104.4, 104.4, -0.02},       // crest ends
      {400, 104, 104, -0.02},
      {475, 102.5, 102.5, -0.02},       // sag begins
      {485, 102.3, 102.31, -0.018},     // plus x^2/2R in a sag
      {600, 100, 101.5625, 0.005},      // plus E
      {715, 103.45, 103.46, 0.028},
      {725, 103.75, 103.75, 0.03},      // sag ends
      {1000, 112, 112, 0.03},           // last point
  };
  const Profile profile = TwoCurves();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m);
    const ProfileSample s = profile.At(c.m);
    EXPECT_NEAR(s.gradeElevation, c.gradeElevation, 1e-9);
    EXPECT_NEAR(s.elevation, c.elevation, 1e-9);
    EXPECT_NEAR(s.grade, c.grade, 1e-12);
  }
}

// The rows' curve elements are pinned by the batch program's profile table.
TEST(ProfileTest, NamesTouchingCurvesAndEnds) {
  const Profile profile({{"A", 0, 10, 0}, {"B", 100, 11, 3000}, {"C", 200, 12, 0}});
  ASSERT_EQ(profile.Rows().size(), 3u);
  EXPECT_EQ(profile.Rows()[1].name, "B");
  EXPECT_FALSE(profile.Rows()[1].hasCurve);   // a radius without a grade change makes no curve
  EXPECT_NEAR(profile.At(100).elevation, 11, 1e-12);
  // T = 100 for both: the crest ends where the sag begins.
  EXPECT_NO_THROW(Profile({{"", 0, 0, 0}, {"", 200, 4, 5000}, {"", 400, 0, 5000}, {"", 600, 4, 0}}));
  // Within a millimetre beyond an end the end grade continues; beyond it nothing is designed.
  EXPECT_TRUE(TwoCurves().Covers(-0.001));
  EXPECT_NEAR(TwoCurves().At(-0.001).elevation, 100 - 0.001 * TwoCurves().Rows()[0].gradeOut, 1e-12);
  EXPECT_NEAR(TwoCurves().At(1000.001).elevation, 112 + 0.001 * TwoCurves().Rows()[3].gradeIn, 1e-12);
  EXPECT_FALSE(TwoCurves().Covers(-0.0011));
  EXPECT_THROW(TwoCurves().At(1000.0011), AlignmentError);
}

TEST(ProfileTest, Refusals) {
  struct Case { std::vector<ProfilePoint> points; std::vector<std::string> named; };
  const Case cases[] = {
      {{{"", 0, 100, 0}}, {}},
      {{{"", 0, 100, 0}, {"", 300, 106, 0}, {"", 300, 100, 0}}, {"BPD3", "BPD2"}},
      {{{"", 0, 100, 0}, {"", 300, 106, 0}, {"", 200, 100, 0}}, {"BPD3", "BPD2"}},
      {{{"", 0, 100, 0}, {"", 300, 106, -5}, {"", 600, 100, 0}}, {"BPD2"}},
      {{{"", 0, 100, 0}, {"", 300, 106, 0}, {"", 600, 100, 300}}, {"BPD3"}},
      // The sag at P3 (T 500) reaches back over the crest's end at 380.
      {{{"", 0, 100, 0}, {"P2", 300, 106, 4000}, {"P3", 600, 100, 20000}, {"", 1000, 112, 0}}, {"P2", "P3"}},
      // The crest at P2 (T 200) starts before the profile does.
      {{{"", 0, 100, 0}, {"", 100, 102, 10000}, {"", 1000, 84, 0}}, {"BPD1", "BPD2"}},
      // ... or ends after it.
      {{{"", 0, 100, 0}, {"", 900, 118, 10000}, {"", 1000, 116, 0}}, {"BPD2", "BPD3"}},
      {{{"", 0, 100, 0}, {"", 300, std::numeric_limits<double>::quiet_NaN(), 0}}, {"BPD2"}},
      // Asymmetric curves: one half only, both kinds at once, at an end, and overlapping a neighbour.
      {{{"", 0, 100, 0}, {"", 300, 106, 0, 80, 0}, {"", 600, 100, 0}}, {"BPD2"}},
      {{{"", 0, 100, 0}, {"", 300, 106, 4000, 80, 60}, {"", 600, 100, 0}}, {"BPD2"}},
      {{{"", 0, 100, 0}, {"", 300, 106, 0}, {"", 600, 100, 0, 10, 10}}, {"BPD3"}},
      {{{"", 0, 100, 0}, {"", 300, 106, 0, 80, 301}, {"", 600, 100, 0}}, {"BPD2", "BPD3"}},
  };
  for (const Case& c : cases) {
    const std::string refusal = RefusalOf([&] { Profile{c.points}; });
    EXPECT_NE(refusal, "(accepted)") << c.points.size();
    for (const std::string& name : c.named) EXPECT_NE(refusal.find(name), std::string::npos) << refusal;
  }
}

}  // namespace
}  // namespace survey::alignment
