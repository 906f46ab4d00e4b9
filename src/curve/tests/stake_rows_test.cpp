#include "curve/stake_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace survey::curve {
namespace {

std::string Angle(double J) { return DmsText(SplitDms(J), TextForm::Plain); }

struct Expected {
  RowKind kind;
  std::string station;
  std::string deflection;
};

std::vector<Expected> Describe(const std::vector<StakeRow>& rows) {
  std::vector<Expected> out;
  for (const auto& r : rows) out.push_back({r.kind, PlainNumberText(r.station), Angle(r.deflection)});
  return out;
}

bool operator==(const Expected& a, const Expected& b) {
  return a.kind == b.kind && a.station == b.station && a.deflection == b.deflection;
}
void PrintTo(const Expected& e, std::ostream* os) {
  *os << static_cast<int>(e.kind) << " " << e.station << " " << e.deflection;
}

std::vector<RowKind> Kinds(const std::vector<StakeRow>& rows) {
  std::vector<RowKind> k;
  for (const auto& r : rows) k.push_back(r.kind);
  return k;
}

// Elements of a made-up curve whose stations are given directly, to place main points on
// chosen brackets.
CurveElements Stations(float ZH, float HY, float QZ, float YH, float HZ) {
  CurveElements e;
  e.ZH = ZH;
  e.HY = HY;
  e.QZ = QZ;
  e.YH = YH;
  e.HZ = HZ;
  e.beta0 = 1;
  return e;
}

TEST(StakeRows, WorkedListWithTransitions) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const CurveElements e = ComputeCurveElementsDoublePQ(in);
  const auto rows = BuildStakeRows(in, e);
  const auto d = Describe(rows);
  ASSERT_EQ(rows.size(), 37u);
  EXPECT_EQ(d[0], (Expected{RowKind::Start, "835.9486", "0°0′0″"}));
  EXPECT_EQ(d[1], (Expected{RowKind::Stake, "840", "0°0′19″"}));
  EXPECT_EQ(Angle(360 - rows[1].deflection), "359°59′41″");
  EXPECT_EQ(d[2], (Expected{RowKind::Stake, "850", "0°3′46″"}));
  EXPECT_EQ(d[6], (Expected{RowKind::Stake, "890", "0°55′48″"}));
  EXPECT_EQ(d[7], (Expected{RowKind::HY, "895.9486", "1°8′45″"}));
  EXPECT_EQ(d[8], (Expected{RowKind::Stake, "900", "0°13′56″"}));
  EXPECT_EQ(d[17], (Expected{RowKind::Stake, "990", "5°23′19″"}));
  EXPECT_EQ(d[18], (Expected{RowKind::QZ, "996.8483", "5°46′52″"}));
  EXPECT_EQ(d[19], (Expected{RowKind::Stake, "1000", "5°36′2″"}));
  EXPECT_EQ(d[28], (Expected{RowKind::Stake, "1090", "0°26′38″"}));
  EXPECT_EQ(d[29], (Expected{RowKind::YH, "1097.748", "1°8′45″"}));
  EXPECT_EQ(d[30], (Expected{RowKind::Stake, "1100", "1°3′41″"}));
  EXPECT_EQ(d[35], (Expected{RowKind::Stake, "1150", "0°1′9″"}));
  EXPECT_EQ(Angle(360 - rows[35].deflection), "359°58′51″");
  EXPECT_EQ(d[36], (Expected{RowKind::End, "1157.748", "0°0′0″"}));
  // Stakes every 10 m between the main points.
  for (std::size_t i = 1; i < rows.size() - 1; ++i) {
    if (rows[i].kind == RowKind::Stake && rows[i - 1].kind == RowKind::Stake) {
      EXPECT_EQ(rows[i].station - rows[i - 1].station, 10.0f);
    }
  }
}

TEST(StakeRows, WorkedListWithoutTransitions) {
  const CurveInput in{1000, 30.0000, 500, 0};
  const auto rows = BuildStakeRows(in, ComputeCurveElementsDoublePQ(in));
  // Start, 870 ... 1120 (26 stakes) with QZ after 990, end.
  ASSERT_EQ(rows.size(), 29u);
  EXPECT_EQ(rows[1].station, 870);
  EXPECT_EQ(rows[13].station, 990);
  EXPECT_EQ(rows[14].kind, RowKind::QZ);
  EXPECT_EQ(rows[27].station, 1120);
  for (const auto& r : rows) {
    EXPECT_NE(r.kind, RowKind::HY);
    EXPECT_NE(r.kind, RowKind::YH);
  }
  // From ZH up to QZ, from HZ after it.
  EXPECT_EQ(Angle(rows[1].deflection), Angle(((870.0f - rows[0].station) * 90.0f) / (SurveyPi * 500)));
  EXPECT_EQ(Angle(rows[15].deflection), Angle(((rows[28].station - 1000.0f) * 90.0f) / (SurveyPi * 500)));
}

TEST(StakeRows, DeflectionBranchesAndTies) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const CurveElements e = ComputeCurveElementsDoublePQ(in);
  // A station on HY belongs to the entering transition, one on QZ to the first half of the arc.
  EXPECT_DOUBLE_EQ(DeflectionAt(e.HY, in, e), e.beta0 / 3);
  EXPECT_EQ(DeflectionAt(e.QZ, in, e), MainPointRow(RowKind::QZ, in, e).deflection);
  // Just past YH the leaving transition is measured from HZ.
  const float pastYH = std::nextafter(e.YH, 2000.0f);
  const double d = static_cast<double>(e.HZ - pastYH) / 60;
  EXPECT_EQ(DeflectionAt(pastYH, in, e), (d * d) * (e.beta0 / 3));
  EXPECT_EQ(DeflectionAt(e.HZ, in, e), 0);
  EXPECT_EQ(DeflectionAt(e.ZH, in, e), 0);
}

TEST(StakeRows, FirstStakeSkipsAStakeOnZH) {
  EXPECT_EQ(FirstStake(830), 840);
  EXPECT_EQ(FirstStake(835.9486f), 840);
  EXPECT_EQ(FirstStake(-5), 10);  // truncation toward zero
  const CurveInput in{0, 0, 500, 60};
  const auto rows = BuildStakeRows(in, Stations(830, 890, 1000, 1110, 1170));
  EXPECT_EQ(rows[0].kind, RowKind::Start);
  EXPECT_EQ(rows[1].station, 840);
  EXPECT_EQ(rows[1].kind, RowKind::Stake);
}

TEST(StakeRows, StakeOnHZIsListedBeforeTheEndRow) {
  const CurveInput in{0, 0, 500, 60};
  const auto rows = BuildStakeRows(in, Stations(835, 895, 1000, 1110, 1170));
  ASSERT_GE(rows.size(), 3u);
  const auto& last = rows[rows.size() - 2];
  EXPECT_EQ(last.kind, RowKind::Stake);
  EXPECT_EQ(last.station, 1170);
  EXPECT_EQ(last.deflection, 0);
  EXPECT_EQ(rows.back().kind, RowKind::End);
}

TEST(StakeRows, MainPointOnAMultipleOfTenIsListedTwice) {
  const CurveInput in{0, 0, 500, 60};
  const auto rows = BuildStakeRows(in, Stations(835, 890, 1000, 1110, 1172));
  const auto it = std::find_if(rows.begin(), rows.end(), [](const StakeRow& r) { return r.kind == RowKind::HY; });
  ASSERT_NE(it, rows.end());
  EXPECT_EQ((it - 1)->kind, RowKind::Stake);
  EXPECT_EQ((it - 1)->station, 890);
  EXPECT_EQ(it->station, 890);
}

TEST(StakeRows, MainPointsSharingABracketAreAllListed) {
  const CurveInput in{0, 0, 500, 6};
  const auto rows = BuildStakeRows(in, Stations(800, 853, 855, 857, 910));
  const auto k = Kinds(rows);
  const auto at850 = std::find_if(rows.begin(), rows.end(), [](const StakeRow& r) { return r.station == 850; });
  ASSERT_NE(at850, rows.end());
  const std::size_t i = static_cast<std::size_t>(at850 - rows.begin());
  EXPECT_EQ(k[i + 1], RowKind::HY);
  EXPECT_EQ(k[i + 2], RowKind::QZ);
  EXPECT_EQ(k[i + 3], RowKind::YH);
  EXPECT_EQ(rows[i + 4].station, 860);
}

TEST(StakeRows, MainPointsBeforeTheFirstStakeFollowTheStartRow) {
  const CurveInput in{0, 0, 500, 4};
  // ZH 831 and HY 835, QZ 838 lie in the bracket 830; the first stake is 840; YH 841 follows it.
  const auto rows = BuildStakeRows(in, Stations(831, 835, 838, 841, 845));
  EXPECT_EQ(Kinds(rows), (std::vector<RowKind>{RowKind::Start, RowKind::HY, RowKind::QZ, RowKind::Stake,
                                               RowKind::YH, RowKind::End}));
  // A curve shorter than one bracket has no stakes at all, and still all its main points.
  const auto tiny = BuildStakeRows(in, Stations(831, 832, 833, 834, 835));
  EXPECT_EQ(Kinds(tiny), (std::vector<RowKind>{RowKind::Start, RowKind::HY, RowKind::QZ, RowKind::YH,
                                               RowKind::End}));
}

TEST(StakeRows, ACurveRunningBackwardsListsEveryMainPointOnce) {
  const CurveInput in{1000, -30, 500, 60};
  const auto listing = ComputeCurveListing(in);
  ASSERT_TRUE(listing);
  // ZH 1104, HY 1164, HZ 782: no stake lies between them. QZ and YH are bracketed below the
  // first stake (1110), HY is not and comes before the end row.
  const auto k = Kinds(listing->rows);
  EXPECT_EQ(k, (std::vector<RowKind>{RowKind::Start, RowKind::QZ, RowKind::YH, RowKind::HY, RowKind::End}));
}

TEST(StakeRows, ListingRefusesCurvesThatCannotBeListed) {
  // p overflows.
  EXPECT_FALSE(ComputeCurveListing({1000, 30, 1e-300, 60}));
  // Half a billion metres of curve: a slip, not a road.
  EXPECT_FALSE(ComputeCurveListing({1000, 30, 1e9, 0}));
  // A long but real curve passes.
  const auto big = ComputeCurveListing({100000, 57.18, 100000, 300});
  ASSERT_TRUE(big);
  EXPECT_GT(big->rows.size(), 9000u);
  EXPECT_LT(big->rows.size(), kMaxStakes);
}

TEST(StakeRows, CountStakesStopsWhereFloatsStopMoving) {
  EXPECT_EQ(CountStakes(Stations(835.9486f, 0, 0, 0, 1157.748f)), 32u);
  EXPECT_EQ(CountStakes(Stations(831, 0, 0, 0, 835)), 0u);
  EXPECT_FALSE(CountStakes(Stations(1e9f, 0, 0, 0, 2e9f)));
  EXPECT_FALSE(CountStakes(Stations(-std::numeric_limits<float>::infinity(), 0, 0, 0, 0)));
}

TEST(ExtraStake, UsesTheSamePartition) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const CurveElements e = ComputeCurveElementsDoublePQ(in);
  const auto atHY = ComputeExtraStake(in, "895.9486");
  ASSERT_TRUE(atHY);
  EXPECT_EQ(atHY->kind, RowKind::Extra);
  EXPECT_EQ(Angle(atHY->deflection), "1°8′45″");
  const auto atQZ = ComputeExtraStake(in, "996.8483");
  ASSERT_TRUE(atQZ);
  EXPECT_EQ(Angle(atQZ->deflection), "5°46′52″");
  const auto at850 = ComputeExtraStake(in, "850");
  ASSERT_TRUE(at850);
  EXPECT_EQ(at850->deflection, DeflectionAt(850, in, e));
  // Before ZH the entering transition formula squares the negative distance.
  const auto before = ComputeExtraStake(in, "815.9486");
  ASSERT_TRUE(before);
  EXPECT_EQ(Angle(before->deflection), Angle(DeflectionAt(855.9486f, in, e)));
}

TEST(ExtraStake, ReadsTheStationAsAFloat) {
  const CurveInput in{1000, 30.0000, 500, 60};
  const auto r = ComputeExtraStake(in, "912.123456789");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->station, 912.123456789f);
  EXPECT_EQ(PlainNumberText(r->station), "912.1235");
}

TEST(ExtraStake, RefusesWhatIsNotAStation) {
  const CurveInput in{1000, 30.0000, 500, 60};
  EXPECT_FALSE(ComputeExtraStake(in, ""));
  EXPECT_FALSE(ComputeExtraStake(in, "abc"));
  EXPECT_FALSE(ComputeExtraStake(in, "1e39"));  // beyond a float
  EXPECT_FALSE(ComputeExtraStake({0, 30, 1e-310, 0}, "3e38"));
}

}  // namespace
}  // namespace survey::curve
