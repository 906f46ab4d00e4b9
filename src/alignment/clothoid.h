// Position on a curve whose curvature changes linearly with length (a clothoid, an egg-shaped
// clothoid between two radii, and as limits a circular arc or a straight), in the frame of its
// start: `along` the start tangent and `right` square to it, positive to the right.
#pragma once

namespace survey::alignment {

struct ClothoidPoint {
  double along = 0;
  double right = 0;
  double turn = 0;  // change of azimuth from the start, radians (right positive)
  double cosTurn = 1, sinTurn = 0;  // cos(turn), sin(turn) from the same series, no further rounding to speak of
};

// The point at arc length s on the curve with curvature k(t) = startCurvature + curvatureRate * t
// (1/m and 1/m^2, right positive). Exact to well below 1e-9 m for s up to thousands of metres
// and any turn up to a few full circles; the method and its error bound are in clothoid.cpp.
ClothoidPoint ClothoidAt(double startCurvature, double curvatureRate, double s);

}  // namespace survey::alignment
