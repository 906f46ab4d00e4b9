#include "alignment/stake_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"

namespace survey::alignment {
namespace {

ElementShape Line(double length) { return {ElementKind::Line, length, 0, 0}; }
ElementShape Arc(double length, double k) { return {ElementKind::Arc, length, k, k}; }

Route Elements(double start, const std::vector<ElementShape>& shapes, std::vector<StationEquation> equations = {}) {
  return BuildRouteFromElements({1000, 1000, 0.5}, start, shapes, std::move(equations));
}

// "name@station" per row: what a stake list is, compactly.
std::vector<std::string> Rows(const std::vector<Stake>& stakes) {
  std::vector<std::string> out;
  for (const Stake& s : stakes) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s@%.4f", s.name.c_str(), s.station);
    out.push_back(buf);
  }
  return out;
}

TEST(StakeList, MultiplesAndMainPointsInOrderEachPositionOnce) {
  // Joints at 100.0003 (within half a millimetre of 100: listed as the joint only) and at 230.
  const Route route = Elements(1000, {Line(100.0003), Arc(129.9997, 1.0 / 500), Line(35)});
  const std::vector<std::string> expected = {"QD@1000.0000",   "@1050.0000", "E2 ZY@1100.0003", "@1150.0000",
                                             "@1200.0000",     "E3 YZ@1230.0000", "@1250.0000", "ZD@1265.0000"};
  EXPECT_EQ(Rows(StakeList(route, {50, {}, {}})), expected);
  // The chainages run with the stations, the main point's at its exact position.
  const std::vector<Stake> rows = StakeList(route, {50, {}, {}});
  EXPECT_DOUBLE_EQ(rows[2].chainage, 100.0003);
  EXPECT_DOUBLE_EQ(rows[3].chainage, 150);
}

TEST(StakeList, MultiplesContinueInTheAheadStationsAfterEquations) {
  // Chainage 0..300 reads 0..300, a gap 300=350, then 300..650 reads 350..700, an overlap
  // 700=650, then 650..1000 reads 650..1000: 700 occurs twice, at two positions, staked at both.
  const Route route = Elements(0, {Line(1000)}, {{300, 350}, {700, 650}});
  const std::vector<std::string> expected = {"QD@0.0000",   "@100.0000", "@200.0000", "@300.0000",
                                             "@400.0000",   "@500.0000", "@600.0000", "@700.0000",
                                             "@700.0000",   "@800.0000", "@900.0000", "ZD@1000.0000"};
  const std::vector<Stake> rows = StakeList(route, {100, {}, {}});
  EXPECT_EQ(Rows(rows), expected);
  EXPECT_DOUBLE_EQ(rows[4].chainage, 350);
  EXPECT_DOUBLE_EQ(rows[7].chainage, 650);
  EXPECT_DOUBLE_EQ(rows[8].chainage, 700);
  // An equation whose back and ahead stations are both multiples stakes its position once.
  EXPECT_EQ(Rows(StakeList(Elements(0, {Line(250)}, {{100, 200}}), {50, {}, {}})),
            (std::vector<std::string>{"QD@0.0000", "@50.0000", "@100.0000", "@250.0000", "@300.0000", "ZD@350.0000"}));
}

TEST(StakeList, FromAndToLimitTheRangeAndAddNoRows) {
  const Route route = Elements(1000, {Line(100.0003), Arc(129.9997, 1.0 / 500), Line(35)});
  EXPECT_EQ(Rows(StakeList(route, {50, 1120.0, 1240.0})),
            (std::vector<std::string>{"@1150.0000", "@1200.0000", "E3 YZ@1230.0000"}));
  EXPECT_EQ(Rows(StakeList(route, {50, 900.0, 1050.0})), (std::vector<std::string>{"QD@1000.0000", "@1050.0000"}));
  EXPECT_TRUE(StakeList(route, {50, 1210.0, 1220.0}).empty());
}

TEST(StakeList, CoincidentMainPointsShareOneRow) {
  // The curve's transitions meet without arc: HY, QZ and YH are one position.
  const double r = 200, ls = 100, alpha = ls / r;
  const Route route = BuildRouteFromJd(
      {{"QD", 0, 0}, {"JD1", 500, 0, r, ls, ls}, {"ZD", 500 + 500 * std::cos(alpha), 500 * std::sin(alpha)}}, 0, {});
  int found = 0;
  for (const Stake& s : StakeList(route, {20, {}, {}})) {
    if (s.name == "JD1 HY/JD1 QZ/JD1 YH") ++found;
  }
  EXPECT_EQ(found, 1);
}

TEST(StakeList, Refusals) {
  const Route route = Elements(1000, {Line(300)}, {{1100, 1150}});
  int rows = 0;
  auto count = [&rows](const Stake&) { ++rows; };
  const StakeOptions cases[] = {
      {0, {}, {}},
      {-20, {}, {}},
      {std::nan(""), {}, {}},
      {20, 1120.0, {}},          // from in the gap
      {20, {}, 1149.0},          // to in the gap
      {20, 1200.0, 1180.0},      // from beyond to
      {20, std::nan(""), {}},
      {1e-5, {}, {}},            // 30,000,000 rows
      {1e-300, {}, {}},
      {0.0009, {}, {}},          // below a millimetre: rows would merge away
      {0.0001, {}, {}},
      {0.005, {}, {}, 2},        // two stakes a row would print as one station at two places
      {0.5, {}, {}, 0},
      {0.0099, {}, {}, 2},
  };
  for (const StakeOptions& o : cases) {
    EXPECT_THROW(ForEachStake(route, o, count), AlignmentError) << o.interval;
  }
  EXPECT_EQ(rows, 0);  // every refusal comes before the first row
}

// The finest intervals the printed places can tell apart are listed in full, every station text
// its own.
TEST(StakeList, FinestIntervalPrintsDistinctStations) {
  const Route route = Elements(0, {Line(0.1)});
  struct Case {
    double interval;
    int decimals;
    std::size_t rows;
  };
  for (const Case& c : {Case{0.001, 3, 101}, Case{0.01, 2, 11}, Case{0.0015, 3, 68}}) {
    StakeOptions o{c.interval, {}, {}, c.decimals};
    const std::vector<Stake> stakes = StakeList(route, o);
    EXPECT_EQ(stakes.size(), c.rows) << c.interval;
    std::vector<std::string> texts;
    for (const Stake& s : stakes) {
      char text[32];
      std::snprintf(text, sizeof text, "%.*f", c.decimals, s.station);
      texts.emplace_back(text);
    }
    for (std::size_t i = 1; i < texts.size(); ++i) EXPECT_NE(texts[i - 1], texts[i]) << c.interval << " row " << i;
  }
}

// The limit counts the rows asked for (multiples and main points), not what is left after main
// points absorb the multiples they sit on.
TEST(StakeList, RowLimitCountsTheRowsAskedFor) {
  struct FirstRow {};
  auto stopAtFirstRow = [](const Stake&) { throw FirstRow{}; };
  // 10,000,000 multiples; QD and ZD sit on two of them: 10,000,000 rows, 10,000,002 asked for.
  EXPECT_THROW(ForEachStake(Elements(0, {Line(9999.999)}), {0.001, {}, {}}, stopAtFirstRow), AlignmentError);
  // 9,999,998 multiples and QD, ZD: exactly the limit, accepted.
  EXPECT_THROW(ForEachStake(Elements(0, {Line(9999.997)}), {0.001, {}, {}}, stopAtFirstRow), FirstRow);
}

}  // namespace
}  // namespace survey::alignment
