#include "marlowby/straight_line.h"

#include <gtest/gtest.h>

#include "common/notation.h"

namespace marlowby {
namespace {

using Change = void (*)(StraightLineInput&);

// The window's default fields, changed by `change`.
StraightLineInput Defaults(Change change = nullptr) {
  StraightLineInput in{46276.097, -4532.808, 44992.796, -1906.348, 10, 0, 1810.791, 4734, 0, 0};
  if (change) change(in);
  return in;
}

// Exact export lines of chosen rows: these digits are what a user stakes out. Golden rows: a
// snapshot of the program's digits, not an independent reference.
TEST(StraightLine, RowsToTheMillimetre) {
  const struct {
    Change change;
    std::size_t rows;
    std::vector<std::pair<std::size_t, const char*>> lines;
  } cases[] = {
      {nullptr, 294, {{0, "1810.791, , ,46276.097,-4532.808, , "}, {292, "4730, , ,44994.552,-1909.942, , "}}},
      {[](StraightLineInput& in) { in.sideDistance = 5; in.skew = 30; in.endStation = 1850; }, 5,
       {{0, "1810.791,46279.322,-4528.019,46276.097,-4532.808,46272.872,-4537.597"},
        {4, "1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368"}}},
      {[](StraightLineInput& in) { in.sideDistance = -5; in.endStation = 1830; }, 3, {{2, "1830, , ,46267.664,-4515.549, , "}}},
      {[](StraightLineInput& in) { in = {0, 0, 0, 100, 10, 2, 0, 20, 0, 0}; }, 3, {{0, "0,2,0,0,0,-2,0"}, {2, "20,2,20,0,20,-2,20"}}},
      {[](StraightLineInput& in) { in = {0, 0, 0, 0, 10, 0, 0, 10, 0, 0}; }, 2, {{1, "10, , ,10,0, , "}}},  // due north
      // Stakes start from the 10-metre mark; 1815 lies behind the start, against the direction.
      {[](StraightLineInput& in) { in.startStation = 1818; in.interval = 5; in.endStation = 1830; }, 5,
       {{1, "1815, , ,46277.414,-4535.503, , "}, {4, "1830, , ,46270.829,-4522.026, , "}}},
      {[](StraightLineInput& in) { in.interval = 50; in.endStation = 1830; }, 1, {}}, {[](StraightLineInput& in) { in.endStation = 1000; }, 1, {}},
  };
  for (const auto& c : cases) {
    const StraightLineResult result = ComputeStraightLine(Defaults(c.change));
    ASSERT_EQ(result.refusal, Refusal::None) << c.rows;
    ASSERT_EQ(result.rows.size(), c.rows);
    for (const auto& [row, line] : c.lines) EXPECT_EQ(coordinates::LyLine(result.rows[row]), line) << row;
  }
}

TEST(StraightLine, RefusalsKeepNoRow) {
  const struct {
    Change change;
    Refusal refusal;
  } cases[] = {
      {[](StraightLineInput& in) { in.skew = 90; }, Refusal::Skew}, {[](StraightLineInput& in) { in.skew = -90; }, Refusal::Skew},
      {[](StraightLineInput& in) { in.skew = 89.9; in.sideDistance = 1; }, Refusal::None},
      {[](StraightLineInput& in) { in.interval = 0; }, Refusal::Interval},
      {[](StraightLineInput& in) { in.interval = 0.001; in.endStation = 1e9; }, Refusal::TooManyRows},
      // Neighbouring doubles are 16 apart here: the interval no longer moves the station.
      {[](StraightLineInput& in) { in.startStation = 1e17; in.endStation = 1e17 + 48; in.interval = 1; }, Refusal::TooManyRows},
      {[](StraightLineInput& in) { in.startX = 1e308; in.sideDistance = 5; }, Refusal::NotFinite},
      {[](StraightLineInput& in) { in.startY = -1e306; }, Refusal::NotFinite},
      {[](StraightLineInput& in) { in.sideDistance = 1.7e308; in.skew = 60; }, Refusal::NotFinite},
      {[](StraightLineInput& in) { in.startX = 1e300; }, Refusal::None},  // the largest that still prints
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const StraightLineResult r = ComputeStraightLine(Defaults(cases[i].change), 1000);
    EXPECT_EQ(r.refusal, cases[i].refusal);
    EXPECT_EQ(r.rows.empty(), r.refusal != Refusal::None);
    // The extra stake refuses a bad skew and an overflow the same way; it has no interval.
    Refusal why = Refusal::None;
    const bool extraKept = AddExtraStake(Defaults(cases[i].change), &why).has_value();
    EXPECT_EQ(extraKept, why == Refusal::None);
    EXPECT_EQ(why, r.refusal == Refusal::Skew || r.refusal == Refusal::NotFinite ? r.refusal : Refusal::None);
  }
  // Exactly at the cap: the start row and the stakes 1820 .. 1850.
  const StraightLineInput five = Defaults([](StraightLineInput& in) { in.endStation = 1850; });
  EXPECT_EQ(ComputeStraightLine(five, 5).rows.size(), 5u);
  EXPECT_EQ(ComputeStraightLine(five, 4).refusal, Refusal::TooManyRows);
}

TEST(StakeNumberText, AgreesWithPlainNumberText) {
  for (double v : {0.0, -0.0, -0.001, 0.5, 1e13, -99999999999.999, 1820.1000000000001, 0.1 + 0.2, 1e-7, 5e14, 1e20})
    EXPECT_EQ(StakeNumberText(v), survey::PlainNumberText(v)) << v;
  for (long long n = -200000; n <= 200000; n += 7) {
    const double v = static_cast<double>(n * 1013) / 1000;
    ASSERT_EQ(StakeNumberText(v), survey::PlainNumberText(v)) << v;
  }
}

}  // namespace
}  // namespace marlowby
