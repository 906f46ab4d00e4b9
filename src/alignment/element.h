// One piece of the horizontal alignment: a straight, a circular arc or a clothoid whose curvature
// runs linearly from its start value to its end value (egg-shaped ramps included), placed by its
// start pose and start chainage.
//
// Conventions: X north, Y east, azimuths in radians clockwise from north in [0, 2*pi); a right turn
// has positive curvature.
#pragma once

#include <vector>

namespace survey::alignment {

enum class ElementKind { Line, Arc, Spiral };

struct Pose {
  double x = 0, y = 0, azimuth = 0;
};

// An element as typed: for a Line both curvatures are ignored (0), for an Arc the end curvature
// is ignored (taken equal to the start curvature).
struct ElementShape {
  ElementKind kind = ElementKind::Line;
  double length = 0;
  double startCurvature = 0;
  double endCurvature = 0;
  int line = 0;  // table line of the element for refusals; 0 names it by its number instead
};

struct Element {
  ElementKind kind = ElementKind::Line;
  double length = 0;          // m, > 0
  double startCurvature = 0;  // signed 1/m (right positive); Line 0
  double endCurvature = 0;    // == startCurvature for Line and Arc
  Pose start;
  double startChainage = 0;
};

// The largest turn (integral of |curvature|) one element may make: a full circle.
inline constexpr double kMaxElementTurn = 6.283185307179586;

double CurvatureAt(const Element& e, double s);
// Curvature change per metre: (end - start) / length on a Spiral, 0 otherwise.
double CurvatureRate(const Element& e);
// Integral of |curvature| over the element (radians): how much it turns, both ways counted.
double AbsoluteTurn(const Element& e);
// s from the element's start (may run a hair beyond its ends); exact.
Pose PoseAt(const Element& e, double s);
Pose EndPose(const Element& e);

// Normalises an azimuth into [0, 2*pi).
double NormalizeAzimuth(double a);

// The element method: each element starts where the previous one ends. Refuses (AlignmentError,
// naming the element) a length that is not a positive finite number, a curvature that is not
// finite, and an element turning more than kMaxElementTurn.
std::vector<Element> ChainElements(const Pose& start, double startChainage, const std::vector<ElementShape>& shapes);

}  // namespace survey::alignment
