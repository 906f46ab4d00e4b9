// A route of the alignment engine as field points and as a plan drawing: the bridge between the
// engine's elements and stakes and the exchange formats, which know nothing of routes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alignment/route.h"
#include "exchange/plan_geometry.h"
#include "exchange/point_record.h"

namespace survey::exchange {

struct PlanOptions {
  double interval = 20;                    // stakes
  double labelEvery = 100;                 // a station label every n metres of station
  std::vector<double> offsets;             // side stakes, right positive
  double skew = 0;                         // side stakes on the line at azimuth + 90° + skew
  double textHeight = 2.5;
  std::optional<double> fromStation, toStation;
};

// The drawing of the route: its elements (true arcs, clothoids by their exact positions), the
// tangent polygon and JD names (routes from a JD table), main points ("JD3 HY K10+123.456"),
// stakes and side stakes named as in station_names.h.
// Refuses what the stake list refuses (AlignmentError) and a label interval not above 0.
PlanDrawing RoutePlan(const alignment::Route& route, const PlanOptions& options);

}  // namespace survey::exchange
