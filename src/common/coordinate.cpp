#include "common/coordinate.h"

#include <cmath>

#include "common/notation.h"

namespace survey {

double RoundCoordinate(double v, double f) { return std::floor(v * f + 0.5) / f; }

PlanePoint ForwardPoint(double ax, double ay, double fwj, double bc) {
  const double theta = (fwj * SurveyPi) / 180;
  const double dx = std::cos(theta) * bc;
  const double dy = std::sin(theta) * bc;
  return {ax + dx, ay + dy};
}

PlanePoint zbzs(double a_x, double a_y, double fwj, double bc) {
  const PlanePoint p = ForwardPoint(a_x, a_y, fwj, bc);
  return {RoundCoordinate(p.x, 10000), RoundCoordinate(p.y, 10000)};
}

InverseResult zbfs(double a_x, double a_y, double b_x, double b_y) {
  const double dx = b_x - a_x;
  const double dy = b_y - a_y;
  if (dx == 0 && dy == 0) return {0, 0};
  double alpha = 0;
  bool axis = true;
  if (dx == 0) {
    alpha = (dy > 0 ? 90 : 270) / (180 / SurveyPi);
  } else if (dy == 0) {
    alpha = dx > 0 ? 0 : 180 / (180 / SurveyPi);
  } else {
    alpha = std::atan(dy / dx);
    axis = false;
  }
  double d = std::fabs(dy) >= std::fabs(dx) ? dy / std::sin(alpha) : dx / std::cos(alpha);
  d = std::fabs(d);
  double a = (alpha * 180) / SurveyPi;
  if (!axis) {
    if (dx < 0) a += 180;
    if (dx > 0 && dy < 0) a += 360;
  }
  return {a, d};
}

DmsCarried SplitDmsWithCarry(double A) {
  DmsCarried r;
  r.d = std::floor(A);
  const double t = (A - r.d) * 60;
  r.m = std::floor(t);
  r.s = RoundHalfEven((t - r.m) * 60);
  if (r.s == 60) {
    r.m += 1;
    r.s = 0;
  }
  if (r.m == 60) {
    r.m = 0;
    r.d += 1;
  }
  return r;
}

}  // namespace survey
