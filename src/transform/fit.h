// Least-squares transformation parameters between two coordinate sets (Eigen):
//
// Four parameters, plane (x northing, y easting):
//   x2 = dx + k (x1 cos θ − y1 sin θ),   y2 = dy + k (x1 sin θ + y1 cos θ).
// Seven parameters, Bursa–Wolf in its linearised small-angle form (rotations of the coordinate
// frame, as Chinese practice writes them; m the scale change):
//   X2 = X1 + dX + m X1 + εz Y1 − εy Z1
//   Y2 = Y1 + dY + m Y1 − εz X1 + εx Z1
//   Z2 = Z1 + dZ + m Z1 + εy X1 − εx Y1
// The fits centre the coordinates before solving (coordinates of millions of metres would
// otherwise drown the rotation and scale columns) and refuse a singular set of points.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace survey::transform {

inline constexpr double kArcSecondsPerRadian = 206264.80624709636;

struct Plane {
  double x = 0, y = 0;
};
struct Space {
  double X = 0, Y = 0, Z = 0;
};

struct FourParameters {
  double dx = 0, dy = 0;
  double rotation = 0;  // θ, arc-seconds
  double scale = 1;     // k
};
struct SevenParameters {
  double dX = 0, dY = 0, dZ = 0;
  double rx = 0, ry = 0, rz = 0;  // εx, εy, εz, arc-seconds
  double ppm = 0;                 // m · 1e6
};

Plane Apply(const FourParameters& p, Plane a);
Space Apply(const SevenParameters& p, Space a);

template <typename Point>
struct CommonPoint {
  std::string name;
  Point from, to;
  int line = 0;  // of the table, for messages
};

// Residual of a common point: `to` minus the transformed `from`, per axis, and its length.
struct Residual {
  std::string name;
  double v[3] = {0, 0, 0};
  double length = 0;
};

template <typename Parameters>
struct FitResult {
  Parameters parameters;
  std::vector<Residual> residuals;
  double rms = 0;  // sqrt(Σ |v|² / n): the mean point error of the common points
};

// Refuse fewer than 2 (four) or 3 (seven) points and sets of points that leave a parameter
// undetermined (coincident points; for seven parameters also points on one line).
FitResult<FourParameters> FitFour(const std::vector<CommonPoint<Plane>>& points);
FitResult<SevenParameters> FitSeven(const std::vector<CommonPoint<Space>>& points);

// The parameter file: "key = value" lines, "#" comments. `type` is 4 or 7.
std::string FourParameterFile(const FourParameters& p, double rms, std::size_t count);
std::string SevenParameterFile(const SevenParameters& p, double rms, std::size_t count);
// Reads either kind; refuses a file of the other kind, a missing or repeated key, a non-number.
FourParameters ReadFourParameterFile(std::string_view text);
SevenParameters ReadSevenParameterFile(std::string_view text);

}  // namespace survey::transform
