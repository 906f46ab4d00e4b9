#include "marlowby/straight_line.h"

#include <gtest/gtest.h>

#include "common/notation.h"
#include "marlowby/form.h"

namespace marlowby {
namespace {

using coordinates::StakeRecord;

StraightLineInput Defaults() {
  StraightLineInput in;
  in.startX = 46276.097;
  in.startY = -4532.808;
  in.forwardX = 44992.796;
  in.forwardY = -1906.348;
  in.interval = 10;
  in.sideDistance = 0;
  in.startStation = 1810.791;
  in.endStation = 4734;
  in.skew = 0;
  return in;
}

void ExpectRow(const StakeRecord& r, const std::string& zh, const std::string& zx, const std::string& zy) {
  EXPECT_EQ(*r.zh, zh);
  EXPECT_EQ(*r.zx, zx);
  EXPECT_EQ(*r.zy, zy);
}

void ExpectSides(const StakeRecord& r, const std::string& zbx, const std::string& zby, const std::string& ybx,
                 const std::string& yby) {
  EXPECT_EQ(*r.zbx, zbx);
  EXPECT_EQ(*r.zby, zby);
  EXPECT_EQ(*r.ybx, ybx);
  EXPECT_EQ(*r.yby, yby);
}

std::vector<std::string> Stations(const StraightLineResult& result) {
  std::vector<std::string> out;
  for (const auto& r : result.rows) out.push_back(*r.zh);
  return out;
}

TEST(StraightLine, DefaultInputGives294Rows) {
  const StraightLineInput in = Defaults();
  EXPECT_DOUBLE_EQ(MakeGeometry(in).azimuth, 116.0403573450745);
  const StraightLineResult result = ComputeStraightLine(in);
  ASSERT_EQ(result.refusal, Refusal::None);
  ASSERT_EQ(result.rows.size(), 294u);
  ExpectRow(result.rows[0], "1810.791", "46276.097", "-4532.808");
  ExpectRow(result.rows[1], "1820", "46272.054", "-4524.534");
  ExpectRow(result.rows[2], "1830", "46267.664", "-4515.549");
  ExpectRow(result.rows[292], "4730", "44994.552", "-1909.942");
  ExpectRow(result.rows[293], "4734", "44992.796", "-1906.348");
  for (const auto& r : result.rows) ExpectSides(r, " ", " ", " ", " ");
}

TEST(StraightLine, SideStakesWithSkew) {
  StraightLineInput in = Defaults();
  in.sideDistance = 5;
  in.skew = 30;
  in.endStation = 1850;
  const StraightLineGeometry g = MakeGeometry(in);
  EXPECT_NEAR(g.sideLength, 5.773502692, 1e-9);
  EXPECT_DOUBLE_EQ(g.leftAzimuth, 56.0403573450745);
  EXPECT_DOUBLE_EQ(g.rightAzimuth, 236.0403573450745);
  const StraightLineResult result = ComputeStraightLine(in);
  ASSERT_EQ(result.rows.size(), 5u);
  ExpectRow(result.rows[0], "1810.791", "46276.097", "-4532.808");
  ExpectSides(result.rows[0], "46279.322", "-4528.019", "46272.872", "-4537.597");
  ExpectRow(result.rows[4], "1850", "46258.884", "-4497.579");
  ExpectSides(result.rows[4], "46262.109", "-4492.791", "46255.659", "-4502.368");
  EXPECT_EQ(coordinates::LyLine(result.rows[4]), "1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368");
}

TEST(StraightLine, StationLists) {
  StraightLineInput in = Defaults();
  in.interval = 20;
  in.endStation = 1900;
  EXPECT_EQ(Stations(ComputeStraightLine(in)),
            (std::vector<std::string>{"1810.791", "1830", "1850", "1870", "1890", "1900"}));

  in.startStation = 1818;
  in.interval = 5;
  in.endStation = 1830;
  const StraightLineResult behind = ComputeStraightLine(in);
  EXPECT_EQ(Stations(behind), (std::vector<std::string>{"1818", "1815", "1820", "1825", "1830"}));
  // The 1815 row lies 3 m behind the start point, against the forward direction.
  const StakeRecord back = StakeAt(in, MakeGeometry(in), 1815);
  EXPECT_EQ(behind.rows[1], back);
  EXPECT_GT(std::stod(*back.zx), in.startX);

  in = Defaults();
  in.interval = 50;
  in.endStation = 1830;
  EXPECT_EQ(Stations(ComputeStraightLine(in)), (std::vector<std::string>{"1810.791"}));

  in.interval = 10;
  in.endStation = 1840;
  EXPECT_EQ(Stations(ComputeStraightLine(in)), (std::vector<std::string>{"1810.791", "1820", "1830", "1840"}));

  in.endStation = 1000;
  EXPECT_EQ(Stations(ComputeStraightLine(in)), (std::vector<std::string>{"1810.791"}));
}

TEST(StraightLine, SkewLimits) {
  StraightLineInput in = Defaults();
  in.endStation = 1830;
  for (double skew : {90.0, -90.0, 120.0, -500.0}) {
    in.skew = skew;
    const StraightLineResult r = ComputeStraightLine(in);
    EXPECT_EQ(r.refusal, Refusal::Skew) << skew;
    EXPECT_TRUE(r.rows.empty());
    in.extraStation = 1815;
    EXPECT_FALSE(AddExtraStake(in).has_value());
  }
  in.skew = 89.9;
  in.sideDistance = 1;
  EXPECT_EQ(ComputeStraightLine(in).refusal, Refusal::None);
  in.skew = -89.9;
  EXPECT_EQ(ComputeStraightLine(in).refusal, Refusal::None);
}

TEST(StraightLine, NegativeSideDistanceGivesNoSideStakes) {
  StraightLineInput in = Defaults();
  in.sideDistance = -5;
  in.endStation = 1830;
  for (const auto& r : ComputeStraightLine(in).rows) ExpectSides(r, " ", " ", " ", " ");
}

TEST(StraightLine, NorthEastFromTheOrigin) {
  StraightLineInput in;
  in.forwardY = 100;
  in.sideDistance = 2;
  in.interval = 10;
  in.endStation = 20;
  EXPECT_DOUBLE_EQ(MakeGeometry(in).azimuth, 90);
  const StraightLineResult r = ComputeStraightLine(in);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(Stations(r), (std::vector<std::string>{"0", "10", "20"}));
  ExpectRow(r.rows[0], "0", "0", "0");
  ExpectSides(r.rows[0], "2", "0", "-2", "0");
  ExpectRow(r.rows[1], "10", "0", "10");
  ExpectSides(r.rows[1], "2", "10", "-2", "10");
  ExpectSides(r.rows[2], "2", "20", "-2", "20");
}

TEST(StraightLine, CoincidentPointsRunDueNorth) {
  StraightLineInput in;
  in.interval = 10;
  in.endStation = 10;
  const StraightLineResult r = ComputeStraightLine(in);
  ASSERT_EQ(r.rows.size(), 2u);
  ExpectRow(r.rows[1], "10", "10", "0");
}

TEST(StraightLine, IntervalMustBePositive) {
  StraightLineInput in = Defaults();
  for (double bad : {0.0, -10.0}) {
    in.interval = bad;
    const StraightLineResult r = ComputeStraightLine(in);
    EXPECT_EQ(r.refusal, Refusal::Interval);
    EXPECT_TRUE(r.rows.empty());
  }
}

TEST(StraightLine, TooManyRowsAreRefusedWithoutHanging) {
  StraightLineInput in = Defaults();
  in.interval = 0.001;
  in.endStation = 1e9;
  EXPECT_EQ(ComputeStraightLine(in).refusal, Refusal::TooManyRows);
  // Exactly at the limit: start row plus regular stakes 1820 .. 1850 is five rows.
  in.interval = 10;
  in.endStation = 1850;
  EXPECT_EQ(ComputeStraightLine(in, 5).rows.size(), 5u);
  EXPECT_EQ(ComputeStraightLine(in, 4).refusal, Refusal::TooManyRows);
  // A station so large that the interval no longer moves it must not loop for ever.
  in.startStation = 1e17;  // neighbouring doubles are 16 apart here
  in.endStation = 1e17 + 48;
  in.interval = 1;
  EXPECT_EQ(ComputeStraightLine(in, 1000).refusal, Refusal::TooManyRows);
}

// Finite input whose stakes overflow: refused, no row kept, where the run or the extra
// stake would otherwise print Inf.
TEST(StraightLine, ValuesBeyondTheDoublesAreRefused) {
  struct Case {
    const char* name;
    void (*change)(StraightLineInput&);
  };
  const Case cases[] = {
      {"start far out, side stakes", [](StraightLineInput& in) { in.startX = 1e308; in.sideDistance = 5; }},
      {"start far out, centre only", [](StraightLineInput& in) { in.startY = -1e306; }},
      {"huge side distance", [](StraightLineInput& in) { in.sideDistance = 1.7e308; in.skew = 60; }},
  };
  for (const Case& c : cases) {
    StraightLineInput in = Defaults();
    c.change(in);
    const StraightLineResult r = ComputeStraightLine(in);
    EXPECT_EQ(r.refusal, Refusal::NotFinite) << c.name;
    EXPECT_TRUE(r.rows.empty()) << c.name;
    in.extraStation = 2000;
    Refusal why = Refusal::None;
    EXPECT_FALSE(AddExtraStake(in, &why).has_value()) << c.name;
    EXPECT_EQ(why, Refusal::NotFinite) << c.name;
  }
  // The largest values that still print are kept.
  StraightLineInput in = Defaults();
  in.startX = 1e300;
  EXPECT_EQ(ComputeStraightLine(in).refusal, Refusal::None);
}

TEST(StraightLine, ExtraStakeIsExtrapolatedAnywhere) {
  StraightLineInput in = Defaults();
  in.extraStation = 4734;
  ExpectRow(*AddExtraStake(in), "4734", "44992.796", "-1906.348");
  in.extraStation = 1820;
  ExpectRow(*AddExtraStake(in), "1820", "46272.054", "-4524.534");
  in.extraStation = 1000.5;
  EXPECT_EQ(*AddExtraStake(in)->zh, "1000.5");
}

}  // namespace
}  // namespace marlowby

namespace marlowby {
namespace {

TEST(StakeNumberText, AgreesWithPlainNumberText) {
  const double samples[] = {0.0, -0.0, 1810.791, -4532.808, 46276.097, 0.001, -0.001, 0.5, 10, 1e13, -99999999999.999,
                            1820.1000000000001, 1.0625, 0.1 + 0.2, 1e-7, 123456789012.345, 5e14, 1e20, 44992.796};
  for (double v : samples) EXPECT_EQ(StakeNumberText(v), survey::PlainNumberText(v)) << v;
  for (long long n = -200000; n <= 200000; n += 7) {
    const double v = static_cast<double>(n * 1013) / 1000;
    ASSERT_EQ(StakeNumberText(v), survey::PlainNumberText(v)) << v;
  }
}

}  // namespace
}  // namespace marlowby
