#include "curve/stake_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace survey::curve {
namespace {

std::string Angle(double J) { return DmsText(SplitDms(J), TextForm::Plain); }

// The list in one line: each main point as a letter (A start, h HY, q QZ, y YH, Z end) and its
// station, each run of stakes as ".first-last/count" (stakes 10 m apart).
std::string Describe(const std::vector<StakeRow>& rows) {
  std::string out;
  for (std::size_t i = 0, n = 1; i < rows.size(); ++i, n = 1) {
    const bool stake = rows[i].kind == RowKind::Stake;
    out += "A.hqyZx"[static_cast<int>(rows[i].kind)] + PlainNumberText(rows[i].station);
    for (; stake && i + 1 < rows.size() && rows[i + 1].kind == RowKind::Stake && rows[i + 1].station == rows[i].station + 10; ++n) ++i;
    out += (stake ? (n > 1 ? "-" + PlainNumberText(rows[i].station) : "") + "/" + std::to_string(n) : "") + " ";
  }
  return out;
}

// A made-up curve whose stations are given directly, to place main points on chosen brackets.
CurveElements Stations(float ZH, float HY, float QZ, float YH, float HZ) {
  return {{}, 0, 0, 1, 0, 0, 0, ZH, HY, QZ, YH, HZ};  // beta0 = 1
}

TEST(StakeRows, WhereMainPointsAndStakesAreListed) {
  const CurveInput worked{1000, 30.0000, 500, 60}, plain{1000, 30.0000, 500, 0};
  const struct { CurveInput in; CurveElements e; const char* expected; } cases[] = {
      {worked, ComputeCurveElementsDoublePQ(worked),
       "A835.9486 .840-890/6 h895.9486 .900-990/10 q996.8483 .1000-1090/10 y1097.748 .1100-1150/6 Z1157.748 "},
      {plain, ComputeCurveElementsDoublePQ(plain), "A866.0254 .870-990/13 q996.925 .1000-1120/13 Z1127.825 "},
      // A stake on ZH is the start row; a main point on a multiple of ten follows its stake; a stake on HZ stays.
      {{0, 0, 500, 60}, Stations(830, 890, 1000, 1110, 1170),
       "A830 .840-890/6 h890 .900-1000/11 q1000 .1010-1110/11 y1110 .1120-1170/6 Z1170 "},
      {{0, 0, 500, 6}, Stations(800, 853, 855, 857, 910), "A800 .810-850/5 h853 q855 y857 .860-910/6 Z910 "},  // one bracket
      {{0, 0, 500, 4}, Stations(831, 835, 838, 841, 845), "A831 h835 q838 .840/1 y841 Z845 "},  // before the first stake
      {{0, 0, 500, 4}, Stations(831, 832, 833, 834, 835), "A831 h832 q833 y834 Z835 "},  // no stake at all
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(BuildStakeRows(c.in, c.e)), c.expected);
  // Running backwards no stake lies between ZH and HZ; QZ and YH are bracketed below the first
  // stake, HY is not and comes before the end row.
  const auto backwards = ComputeCurveListing({1000, -30, 500, 60});
  ASSERT_TRUE(backwards);
  EXPECT_EQ(Describe(backwards->rows), "A1104.059 q1003.159 y842.2592 h1164.059 Z902.2592 ");
}

TEST(StakeRows, DeflectionTiesAndRefusedListings) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const CurveElements e = ComputeCurveElementsDoublePQ(in);
  // A station on HY belongs to the entering transition, one on QZ to the first half of the arc.
  EXPECT_DOUBLE_EQ(DeflectionAt(e.HY, in, e), e.beta0 / 3);
  EXPECT_EQ(DeflectionAt(e.QZ, in, e), MainPointRow(RowKind::QZ, in, e).deflection);
  const float pastYH = std::nextafter(e.YH, 2000.0f);  // measured from HZ
  EXPECT_EQ(DeflectionAt(pastYH, in, e), std::pow(static_cast<double>(e.HZ - pastYH) / 60, 2) * (e.beta0 / 3));
  EXPECT_EQ(FirstStake(-5), 10);  // truncation toward zero
  // Listings too long or not finite are refused.
  EXPECT_FALSE(ComputeCurveListing({1000, 30, 1e-300, 60}));  // p overflows
  EXPECT_FALSE(ComputeCurveListing({1000, 30, 1e9, 0}));      // half a billion metres: a slip
  const auto big = ComputeCurveListing({100000, 57.18, 100000, 300});
  ASSERT_TRUE(big);
  EXPECT_EQ(big->rows.size(), 10036u);
  EXPECT_FALSE(CountStakes(Stations(1e9f, 0, 0, 0, 2e9f)));  // 10 m no longer moves a float
  EXPECT_FALSE(CountStakes(Stations(-INFINITY, 0, 0, 0, 0)));
}

// The extra stake: station text -> station as a float and its deflection, "" when refused.
TEST(ExtraStake, Cases) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const std::pair<const char*, const char*> cases[] = {
      {"895.9486", "895.9486 1°8′45″"}, {"996.8483", "996.8483 5°46′52″"}, {"850", "850 0°3′46″"},
      {"815.9486", "815.9486 0°7′38″"},  // before ZH: the square of the negative distance
      {"912.123456789", "912.1235 0°55′36″"}, {"", ""}, {"abc", ""}, {"1e39", ""},  // beyond a float
  };
  for (const auto& [text, expected] : cases) {
    const auto r = ComputeExtraStake(in, text);
    EXPECT_EQ(r ? PlainNumberText(r->station) + " " + Angle(r->deflection) : "", expected) << text;
    EXPECT_TRUE(!r || r->kind == RowKind::Extra);
  }
  EXPECT_FALSE(ComputeExtraStake({0, 30, 1e-310, 0}, "3e38"));
}

}  // namespace
}  // namespace survey::curve
