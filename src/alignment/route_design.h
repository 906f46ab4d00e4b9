// A route as the program works with it: built once from its source (a JD table, an element table
// or a LandXML file) into one value that holds the route, the vertical profile that goes with it
// and the notes its import left. The command line and the window both query this value; neither
// rebuilds the route for a query.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/element.h"
#include "alignment/jd_method.h"
#include "alignment/landxml_reader.h"
#include "alignment/profile.h"
#include "alignment/route.h"
#include "alignment/stations.h"

namespace survey::alignment {

// A vertical profile laid on the route: its measures are the route's chainages, and each grade
// change point keeps the station it was given at (a point may lie past either end of the route,
// where a station has no chainage of its own).
struct RouteProfile {
  Profile profile;
  std::vector<double> stations;
};

struct RouteDesign {
  Route route;
  std::optional<RouteProfile> profile;
  // What the import reports besides its result, one sentence each (no program prefix, no line
  // break): the largest end-point difference of a LandXML file.
  std::vector<std::string> notes;
};

// Each refuses what the route builder refuses (see route.h); nothing is built then.
RouteDesign RouteFromJd(const std::vector<JdInput>& points, double startStation, std::vector<StationEquation> equations);
RouteDesign RouteFromElements(const Pose& start, double startStation, const std::vector<ElementShape>& shapes,
                              std::vector<StationEquation> equations);
// The alignment the options select, with the file's profile when it has one; the largest
// end-point difference becomes a note.
RouteDesign RouteFromLandXml(std::string_view bytes, const LandXmlImportOptions& options);

// The profile table's grade change points (station,elevation,r) on the design's stations, in
// place of any profile the design had. Refuses what the table or the profile refuses, leaving
// the design as it was.
void SetProfileTable(RouteDesign& design, std::string bytes);

// The station of a profile measure: the route's station, continued straight on before its start
// and after its end (the inverse of ProfileMeasureAtStation).
double StationAtMeasure(const StationLine& stations, double measure);

}  // namespace survey::alignment
