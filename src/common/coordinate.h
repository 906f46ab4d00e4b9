// Plane coordinate forward and inverse computations shared by the coordinate calculators.
//
// X is the northing and comes first, Y the easting. Azimuths are decimal degrees clockwise
// from +X. Angles convert with SurveyPi, while the arc tangent returns true radians: an inverse
// azimuth therefore carries the small difference between the two (45 degrees comes out as
// 44.99999999412422), which the rounding of the callers absorbs.
#pragma once

namespace survey {

// floor(v * f + 0.5) / f: a half always goes toward +infinity, for negative values too.
// f = 10000 inside zbzs, f = 1000 for every shown or stored coordinate.
double RoundCoordinate(double v, double f);

struct PlanePoint {
  double x = 0;
  double y = 0;
};

// Forward core, unrounded: theta = (fwj * SurveyPi) / 180; XB = ax + cos(theta) * bc, likewise Y.
// fwj (方位角, azimuth): decimal degrees clockwise from +X; bc (边长, distance) from point A.
PlanePoint ForwardPoint(double ax, double ay, double fwj, double bc);

// zbzs (坐标正算, coordinate forward): ForwardPoint rounded to tenths of a millimetre (the
// window values jsx, jsy: 计算X, 计算Y, the computed northing and easting). Callers round
// again to millimetres, in that order. Two routines, not one with a flag: the stake lists of
// Marlowby and the curve window are pinned to the digits of this double rounding, while
// Rillford's forward problem shows the unrounded point to its own decimals; rounding there
// first would move its last digit.
PlanePoint zbzs(double a_x, double a_y, double fwj, double bc);

struct InverseResult {
  double azimuth = 0;   // jsfwj (计算方位角, computed azimuth): decimal degrees in [0, 360), unrounded
  double distance = 0;  // jsbc (计算边长, computed distance): unrounded, never negative
};

// zbfs (坐标反算, coordinate inverse), a to b: the axis cases get exact axis azimuths; otherwise
// arctan(dY / dX) with the quadrant fixed afterwards. The distance divides the larger component
// by sine or cosine rather than taking a square root.
InverseResult zbfs(double a_x, double a_y, double b_x, double b_y);

struct DmsCarried {
  double d = 0;
  double m = 0;
  double s = 0;
};

// Decimal degrees (A >= 0) to whole degrees, minutes and seconds, with seconds of 60 carried
// into the minutes and minutes of 60 into the degrees; no wrap at 360.
DmsCarried SplitDmsWithCarry(double A);

}  // namespace survey
