// The deviation report (偏差报表): measured points against the design, each passed or failed
// against the tolerances of the job, and the summary the inspector signs.
//
// Deviations are measured − design. Along and across are the horizontal deviation from the
// position a point was meant to mark, resolved on the route's direction there (across right
// positive, like offsets).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace survey::alignment::check {

// Limits of Δz: dz passes when lower <= dz <= upper (lower is negative or 0).
struct ZTolerance {
  double upper = 0.01, lower = -0.01;
};

inline constexpr double kDefaultToleranceXy = 0.05;
inline constexpr double kDefaultToleranceZ = 0.01;

// "0.02" (±0.02), "+0.010/-0.015" or "-0.015/+0.010" (the limits in either order); nothing
// for anything else: not numbers, a negative single limit, an upper limit below 0 or a lower
// one above 0.
std::optional<ZTolerance> ParseZTolerance(std::string_view text);
// A plain limit >= 0.
std::optional<double> ParseXyTolerance(std::string_view text);

// Limits are inclusive. Deviations are compared after rounding to 0.1 mm, so a point typed to
// the millimetre that lies exactly at a limit passes whatever the binary sums made of it.
bool WithinZ(double dz, const ZTolerance& tolerance);
bool WithinXy(double distance, double tolerance);

// Horizontal deviation of a measured point from the intended one, on the route's direction
// (azimuth clockwise from north, X north, Y east).
struct Deviation {
  double along = 0, across = 0, distance = 0;
};
Deviation DeviationFrom(double intendedX, double intendedY, double azimuth, double x, double y);

struct CheckSummary {
  std::size_t count = 0, passed = 0, failed = 0;
  // The largest |Δz| and horizontal distance with the row they were found in (first of equals).
  std::optional<double> maxDz, maxXy;
  std::size_t maxDzRow = 0, maxXyRow = 0;

  void Add(std::size_t row, bool pass, const std::optional<double>& dz, const std::optional<double>& distance);
};

}  // namespace survey::alignment::check
