// The deflection-angle stake list of a curve: every whole 10 m stake between ZH and HZ, the
// main points, and for each the deflection to turn off the tangent at its instrument station
// (ZH, HY, YH or HZ; ZH and HZ alone when there are no transitions).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "curve/curve_elements.h"

namespace survey::curve {

enum class RowKind { Start, Stake, HY, QZ, YH, End, Extra };

struct StakeRow {
  RowKind kind = RowKind::Stake;
  float station = 0;
  double deflection = 0;  // J, decimal degrees
};

inline constexpr float kStakeInterval = 10;

// Deflection J at station l. Station differences are floats, and so is a difference times 90;
// the rest is double. Ties belong to the branch nearer the start (l == HY is on the entering
// transition, l == QZ on the first half of the arc).
double DeflectionAt(float l, const CurveInput& input, const CurveElements& e);

// The 10 m bracket of a station: trunc(station / 10) * 10, the quotient rounded to a float
// before the truncation.
float Bracket(float station);
// The first stake after ZH: Bracket(ZH) + 10 (a stake on ZH itself is the start row).
float FirstStake(float ZH);

// A list longer than this is no road curve but a typing slip (a radius in millimetres, an
// angle near 180 degrees): building it would take minutes and gigabytes, so it is refused.
// The longest curves of real alignments need a few thousand stakes.
inline constexpr std::size_t kMaxStakes = 100'000;

// Number of ordinary stakes the list holds (l = FirstStake, +10 in float arithmetic, while
// l <= HZ), counting no further than kMaxStakes + 1. nullopt when ZH or HZ is not finite or a
// 10 m step no longer changes a float station.
std::optional<std::size_t> CountStakes(const CurveElements& e);

// Start row, stakes with the main points after the stake of their bracket, end row. Main
// points sharing a bracket are all listed (in the order HY, QZ, YH); those whose bracket lies
// below the first stake follow the start row; any left (a curve whose stations run backwards)
// come before the end row. HY and YH exist only with transitions (Ls != 0).
std::vector<StakeRow> BuildStakeRows(const CurveInput& input, const CurveElements& e);

// Rows of the main points themselves, with their fixed deflections.
StakeRow MainPointRow(RowKind kind, const CurveInput& input, const CurveElements& e);

// True when every value a report prints is a finite number (a radius near 0 can overflow p or
// a deflection).
bool ElementsFinite(const CurveElements& e);

// Elements and rows of the main computation, or nullopt when they cannot be listed: a value
// that is not finite, or more than kMaxStakes stakes.
struct CurveListing {
  CurveElements elements;
  std::vector<StakeRow> rows;
};
std::optional<CurveListing> ComputeCurveListing(const CurveInput& input);

// The extra stake at the station text read as a float. nullopt when the text is not a
// number or the deflection has no finite value.
std::optional<StakeRow> ComputeExtraStake(const CurveInput& input, std::string_view stationText);

}  // namespace survey::curve
