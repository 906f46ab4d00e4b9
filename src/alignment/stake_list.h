// The stake list of a route: QD and ZD, every station that is a whole multiple of the interval
// (after an equation the multiples continue in the ahead stations), and every main point, in
// order along the route, each position once: a multiple within kStakeMergeDistance of a main point
// is that main point, and main points within it of each other are one stake named "JD3 HZ/JD4 ZH".
//
// The multiples are counted, not accumulated: the n-th stake of a stretch from s0 is at station
// (ceil(s0 / interval) + n) * interval, so no rounding error grows along the route (a sum of 0.1 m steps
// would drift by about 1e-12 m per stake). Positions come from the route's elements (clothoid.h,
// error below 1e-9 m), so a stake's printed coordinates are exact to every printed place.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "alignment/route.h"

namespace survey::alignment {

struct StakeOptions {
  double interval = 20;
  // Limit the range and add no rows; a station beyond an end of the route stands for that end, and
  // one occurring twice (an overlapping equation) for its position after the equation.
  std::optional<double> fromStation, toStation;
  // Stations are printed with this many places: an interval finer than their last place would
  // print two stakes with one station text.
  int stationDecimals = 3;
};

struct Stake {
  std::string name;  // empty for a regular stake; "QD", "ZD", "JD3 HY", ...
  double chainage = 0;
  double station = 0;
};

inline constexpr std::size_t kMaxStakeRows = 10'000'000;
// Stakes closer than kStakeMergeDistance cannot be told apart; an interval below a millimetre
// would silently lose most of its rows to the merge.
inline constexpr double kMinStakeInterval = 0.001;
// A multiple this close to a main point is the main point.
inline constexpr double kStakeMergeDistance = 0.0005;

// Calls `sink` for every stake in order. Every refusal (interval below kMinStakeInterval or finer
// than the printed places of a station, or not finite, from/to in a gap or not finite, from beyond
// to, more than kMaxStakeRows rows asked for) comes before the first row.
void ForEachStake(const Route& route, const StakeOptions& options, const std::function<void(const Stake&)>& sink);
std::vector<Stake> StakeList(const Route& route, const StakeOptions& options);

}  // namespace survey::alignment
