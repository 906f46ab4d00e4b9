// Coordinates of the centre and side stakes along a straight line with a skew angle.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "coordinates/stake_record.h"

namespace marlowby {

// The ten numbers of the window's fields (StraightLineFields), read by the leading-number rule.
struct StraightLineInput {
  double startX = 0, startY = 0;      // the line's start point
  double forwardX = 0, forwardY = 0;  // a point ahead on the line, giving its direction
  double interval = 0;                // metres between the regular stakes
  double sideDistance = 0;            // side stakes this far from the centre line; none unless > 0
  double startStation = 0;            // station of the start point
  double endStation = 0;              // station of the last stake
  double extraStation = 0;            // station of an extra stake (加桩)
  double skew = 0;                    // skew of the side line, decimal degrees, clockwise positive
};

// Values derived once per computation.
struct StraightLineGeometry {
  double azimuth = 0;       // A0, start point to forward point (zbfs, the coordinate inverse problem)
  double sideLength = 0;    // d', the offset measured along the skewed side line; no side stakes unless > 0
  double leftAzimuth = 0;   // L, azimuth from a centre stake to its left side stake
  double rightAzimuth = 0;  // R, the same to the right side stake
};

// PlainNumberText of a double, quicker for whole millimetres (the grid shows many of them).
std::string StakeNumberText(double v);

// A skew of 90 degrees or more either way puts the side line along the road.
bool SkewInRange(double skew);

StraightLineGeometry MakeGeometry(const StraightLineInput& in);

// The row of the start point: its coordinates as read, side stakes from it.
coordinates::StakeRecord StartRow(const StraightLineInput& in, const StraightLineGeometry& g);
// The row of any station on the line (extrapolated beyond the start or the end).
coordinates::StakeRecord StakeAt(const StraightLineInput& in, const StraightLineGeometry& g, double station);

// A run must end within seconds, export and table included: 100,000 rows take about 2 s and
// 100 MB end to end in batch mode on the development machine (batch_caps_bench).
inline constexpr std::size_t kMaxStakeRows = 100000;

// NotFinite: some value of a row is beyond the range of doubles (it would print as Inf/NaN).
enum class Refusal { None, Skew, Interval, TooManyRows, NotFinite };

struct StraightLineResult {
  Refusal refusal = Refusal::None;
  std::vector<coordinates::StakeRecord> rows;
};

// The start row, then a stake every interval from the 10-metre mark at or below the start
// station plus one interval, and the end station as the last stake. Refuses a skew out of
// range, an interval not above 0, a value that is not finite and more than `maxRows` rows (checked before any row is made
// where the count can be foreseen).
StraightLineResult ComputeStraightLine(const StraightLineInput& in, std::size_t maxRows = kMaxStakeRows);

// The row of the extra stake at in.extraStation; nullopt when the skew is out of range or a
// value is not finite (*why tells which).
std::optional<coordinates::StakeRecord> AddExtraStake(const StraightLineInput& in, Refusal* why = nullptr);

}  // namespace marlowby
