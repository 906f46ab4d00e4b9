// A route's plan as plain geometry, for drawings: what the route engine knows, handed over
// without the engine's types. Coordinates are x = north, y = east in metres, as everywhere in
// this suite; azimuths are radians clockwise from north.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace survey::exchange {

struct PlanPoint {
  double x = 0;  // north
  double y = 0;  // east
};

struct PlanLine {
  PlanPoint from, to;
};

// A circular arc from `from` to `to` about `centre`, turning left (anticlockwise seen on the
// map) or right.
struct PlanArc {
  PlanPoint centre;
  double radius = 0;
  PlanPoint from, to;
  bool turnsLeft = false;
};

// A curve the drawing can only approximate (a clothoid): its length, the largest curvature
// along it (1/m) and its point at a distance from its start, 0 to length.
struct PlanCurve {
  double length = 0;
  double maxCurvature = 0;
  std::function<PlanPoint(double along)> pointAt;
};

struct PlanLabel {
  PlanPoint at;
  std::string text;  // UTF-8
};

// A stake on the centre line: its point, the route's direction there and its label (empty:
// a tick without a label, for stakes between the labelled ones).
struct PlanStake {
  PlanPoint at;
  double azimuth = 0;
  std::string label;
};

struct PlanDrawing {
  std::vector<PlanLine> straights;
  std::vector<PlanArc> arcs;
  std::vector<PlanCurve> spirals;
  std::vector<PlanPoint> tangentPolygon;  // start, JDs, end
  std::vector<PlanLabel> jds;             // "JD3" at the JD
  std::vector<PlanLabel> mainPoints;      // "ZH K10+123.456" at the point
  std::vector<PlanStake> stakes;
  std::vector<PlanLabel> sideStakes;      // "K10+020左5" at the side stake (empty: no name)
  double textHeight = 2.5;                // metres in model space (2.5 mm at 1:1000)
};

}  // namespace survey::exchange
