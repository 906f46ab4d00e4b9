#include "tallyfen/curve/curve_stakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "coordinates/stake_record.h"
#include "tallyfen/curve/curve_coordinate_form.h"
#include "tallyfen/curve/curve_input.h"

namespace tallyfen {
namespace {

// The curves the cases refer to: the window's defaults (a plain circle), and a right- or
// left-turning curve of R 500, Ls 60, α 30° from ZH (1000, 2000) at station 1003.5.
enum class Curve { Default, DefaultOffset5, WorkedRight, WorkedLeft };

CurveFields FieldsOf(Curve curve) {
  CurveFields f;
  if (curve == Curve::DefaultOffset5) f.offset = "5";
  if (curve != Curve::WorkedRight && curve != Curve::WorkedLeft) return f;
  return {"1000", "2000", "1116.0018", "2116.0018", "1003.5", "30.0000", "500", "60", "", "5", "", "", curve == Curve::WorkedLeft};
}

CurveCoordInput Read(const CurveFields& f) {
  const InputReading r = ReadCurveInput(f);
  EXPECT_EQ(r.refusal, InputRefusal::None);
  return r.input;
}

std::string RowText(const StakePoint& p) { return coordinates::LyLine(ToStakeRecord(p)); }

// The stake at a station of the list, or, for "加桩K", the extra stake at K.
std::string StakeText(Curve curve, const std::string& station) {
  const CurveCoordInput in = Read(FieldsOf(curve));
  const std::string extra = "加桩";
  if (station.rfind(extra, 0) == 0) {
    const std::optional<StakePoint> p = ComputeExtraStakePoint(in, std::stod(station.substr(extra.size())));
    return p ? RowText(*p) : "none";
  }
  for (const StakePoint& p : BuildCurveStakes(in)) {
    if (StationText(p) == station) return RowText(p);
  }
  return "not listed";
}

// Golden rows: a snapshot of the coordinates the window lists (0.1 mm, then mm, rounding), not
// an independent reference; the ZH and the straight stakes before it can be checked by hand
// with the forward problem from the given ZH point.
TEST(CurveStakes, RowsToTheMillimetre) {
  const struct { Curve curve; const char *station, *row; } cases[] = {  // row: left, centre, right X, Y
      {Curve::Default, "875.262", "875.262,,,46722.855,-7619.616,,"},
      {Curve::DefaultOffset5, "875.262", "875.262,46720.165,-7623.831,46722.855,-7619.616,46725.545,-7615.401"},
      {Curve::DefaultOffset5, "880", "880,46724.138,-7626.377,46726.844,-7622.172,46729.55,-7617.967"},
      {Curve::DefaultOffset5, "加桩880", "加桩880,46724.138,-7626.377,46726.844,-7622.172,46729.55,-7617.967"},
      {Curve::DefaultOffset5, "加桩2095.896", "加桩2095.896,47295.008,-8640.603,47300.006,-8640.472,47305.004,-8640.34"},
      {Curve::DefaultOffset5, "加桩2095.9", "none"},
      {Curve::WorkedRight, "1003.5", "1003.5,1003.536,1996.465,1000,2000,996.465,2003.536"},
      {Curve::WorkedRight, "1010", "1010,1008.133,2001.064,1004.595,2004.597,1001.057,2008.13"},
      {Curve::WorkedRight, "1063.5", "1063.5,1045.304,2039.942,1041.563,2043.259,1037.822,2046.576"},
      {Curve::WorkedRight, "1070", "1070,1049.628,2044.882,1045.844,2048.15,1042.06,2051.418"},
      {Curve::WorkedRight, "1164.4", "1164.4,1104.788,2122.476,1100.458,2124.976,1096.128,2127.476"},
      {Curve::WorkedRight, "1265.299", "1265.299,1146.522,2215.258,1141.779,2216.839,1137.036,2218.42"},
      {Curve::WorkedRight, "1325.299", "1325.299,1163.291,2273.169,1158.461,2274.463,1153.631,2275.757"},
      {Curve::WorkedRight, "加桩1003.5", "加桩1003.5,1003.536,1996.465,1000,2000,996.465,2003.536"},
      {Curve::WorkedRight, "加桩1030", "加桩1030,1022.242,2015.317,1018.665,2018.811,1015.088,2022.305"},
      {Curve::WorkedRight, "加桩1100.5", "加桩1100.5,1069.04,2068.795,1065.064,2071.826,1061.088,2074.858"},
      {Curve::WorkedRight, "加桩1290", "加桩1290,1153.892,2239.038,1149.09,2240.432,1144.288,2241.826"},
      {Curve::WorkedRight, "加桩1325.299", "加桩1325.299,1163.291,2273.169,1158.461,2274.463,1153.631,2275.757"},
      {Curve::WorkedRight, "加桩1003.49", "none"},
      {Curve::WorkedRight, "加桩1325.3", "none"},
      {Curve::WorkedLeft, "1010", "1010,1008.13,2001.057,1004.597,2004.595,1001.064,2008.133"},
      {Curve::WorkedLeft, "1063.5", "1063.5,1046.576,2037.822,1043.259,2041.563,1039.942,2045.304"},
      {Curve::WorkedLeft, "1325.299", "1325.299,1275.757,2153.631,1274.463,2158.461,1273.169,2163.291"},
      {Curve::WorkedLeft, "加桩1100.5", "加桩1100.5,1074.858,2061.088,1071.826,2065.064,1068.795,2069.04"},
  };
  for (const auto& c : cases) EXPECT_EQ(StakeText(c.curve, c.station), c.row) << c.station;
}

TEST(CurveStakes, StationListsOfEveryShape) {
  // Each case changes the fields of its curve; `stations` are the first ones listed.
  using Changes = std::vector<std::pair<std::string CurveFields::*, const char*>>;
  const struct { Curve curve; Changes changes; std::size_t rows; std::vector<std::string> stations; } cases[] = {
      {Curve::WorkedRight, {}, 37, {"1003.5", "1010", "1020", "1030", "1040", "1050", "1060", "1063.5", "1070"}},
      // ZH and HY on whole stations: each listed once, as the main point.
      {Curve::WorkedRight, {{&CurveFields::zhStation, "1000"}}, 36, {"1000", "1010", "1020", "1030", "1040", "1050", "1060", "1070"}},
      // A plain circle of L = 200 m: QZ 1100 and HZ 1200 on whole stations.
      {Curve::Default,
       {{&CurveFields::zhX, "0"}, {&CurveFields::zhY, "0"}, {&CurveFields::jdX, "100"}, {&CurveFields::jdY, "0"},
        {&CurveFields::zhStation, "1000"}, {&CurveFields::alpha, "45"}, {&CurveFields::radius, "254.64790894703253"}},
       21, {"1000", "1010"}},
      // A transition shorter than the step to the first whole station.
      {Curve::WorkedRight, {{&CurveFields::ls, "3"}, {&CurveFields::jdX, "1095.7951552225"}, {&CurveFields::jdY, "2095.7951552422"}},
       31, {"1003.5", "1006.5", "1010"}},
      // QZ and YH in one 10 m bracket, the arc shorter than 10 m.
      {Curve::WorkedRight, {{&CurveFields::alpha, "7.0500"}, {&CurveFields::jdX, "1043.1061242656"}, {&CurveFields::jdY, "2043.1061242744"}},
       17, {"1003.5", "1010"}},
      // Plain circles whose QZ and HZ share a bracket.
      {Curve::Default, {{&CurveFields::radius, "1000"}, {&CurveFields::alpha, "0.14"}}, 3, {"875.262", "877.2982", "879.3345"}},
      {Curve::Default, {{&CurveFields::radius, "1000"}, {&CurveFields::alpha, "0.3"}}, 4, {"875.262", "879.6254", "880", "883.9886"}},
      {Curve::Default, {{&CurveFields::zhStation, "870"}, {&CurveFields::alpha, "30"}}, 68, {"870", "880"}},
  };
  for (const auto& c : cases) {
    CurveFields f = FieldsOf(c.curve);
    for (const auto& [member, text] : c.changes) f.*member = text;
    SCOPED_TRACE(f.zhStation + " " + f.alpha + " " + f.ls);
    const std::vector<StakePoint> rows = BuildCurveStakes(Read(f));
    ASSERT_EQ(rows.size(), c.rows);
    for (std::size_t i = 0; i < c.stations.size(); ++i) EXPECT_EQ(StationText(rows[i]), c.stations[i]);
    // The stations never go back and consecutive centres are one chord apart.
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const StakePoint &a = rows[i - 1], &b = rows[i];
      EXPECT_LE(a.station, b.station) << StationText(b);
      EXPECT_NEAR(std::hypot(b.centre.x - a.centre.x, b.centre.y - a.centre.y), b.station - a.station, 3e-3)
          << StationText(b);
    }
  }
}

TEST(CurveStakes, RunawayInputStillEnds) {
  // A negative Ls is meaningless but accepted: a short list and an extra stake, no hang.
  CurveFields f = FieldsOf(Curve::WorkedRight);
  f.ls = "-60";
  EXPECT_LT(BuildCurveStakes(Read(f)).size(), 100u);
  EXPECT_TRUE(ComputeExtraStakePoint(Read(f), 1100).has_value());
  // Beyond 2^27 m a float cannot step by 10; the list still ends and never goes back.
  f = CurveFields();
  f.zhStation = "200000000";
  const std::vector<StakePoint> far = BuildCurveStakes(Read(f));
  ASSERT_TRUE(far.size() > 2 && far.size() < 200);
  for (std::size_t i = 1; i < far.size(); ++i) EXPECT_LE(far[i - 1].station, far[i].station);
  // A clothoid parameter far too small for the length: the series grows, its loop still ends.
  const TransitionPoint wild = TransitionXY(364, 0.001);
  EXPECT_FALSE(std::isfinite(wild.x) && std::isfinite(wild.y) && std::fabs(wild.x) < 1e6);
}

}  // namespace
}  // namespace tallyfen
