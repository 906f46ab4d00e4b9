#include "alignment/stakeout.h"

#include <cmath>
#include <numbers>

#include "alignment/alignment_error.h"

namespace survey::alignment {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// fmod leaves (-2pi, 2pi); a tiny negative angle plus 2pi can round to exactly 2pi, which
// belongs to 0.
double Normalized(double angle) {
  double a = std::fmod(angle, kTwoPi);
  if (a < 0) a += kTwoPi;
  return a >= kTwoPi ? 0.0 : a;
}

double AzimuthOf(double dx, double dy) { return Normalized(std::atan2(dy, dx)); }

}  // namespace

StakeoutStation::StakeoutStation(double setupX, double setupY, double backsightX, double backsightY)
    : x_(setupX), y_(setupY) {
  if (!std::isfinite(setupX) || !std::isfinite(setupY)) throw AlignmentError("测站坐标不是有限数。");
  if (!std::isfinite(backsightX) || !std::isfinite(backsightY)) throw AlignmentError("后视点坐标不是有限数。");
  const double dx = backsightX - setupX;
  const double dy = backsightY - setupY;
  if (dx == 0 && dy == 0) throw AlignmentError("后视点与测站重合，无法定向。");
  backsightAzimuth_ = AzimuthOf(dx, dy);
}

StakeoutAim StakeoutStation::Aim(double x, double y) const {
  const double dx = x - x_;
  const double dy = y - y_;
  StakeoutAim aim;
  aim.distance = std::hypot(dx, dy);
  if (aim.distance == 0) return aim;
  aim.azimuth = AzimuthOf(dx, dy);
  aim.angle = Normalized(aim.azimuth - backsightAzimuth_);
  return aim;
}

}  // namespace survey::alignment
