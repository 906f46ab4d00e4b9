#include "alignment/route_design.h"

#include <utility>

#include "alignment/profile_table.h"
#include "alignment/text_format.h"

namespace survey::alignment {

RouteDesign RouteFromJd(const std::vector<JdInput>& points, double startStation, std::vector<StationEquation> equations) {
  return {BuildRouteFromJd(points, startStation, std::move(equations)), std::nullopt, {}};
}

RouteDesign RouteFromElements(const Pose& start, double startStation, const std::vector<ElementShape>& shapes,
                              std::vector<StationEquation> equations) {
  return {BuildRouteFromElements(start, startStation, shapes, std::move(equations)), std::nullopt, {}};
}

RouteDesign RouteFromLandXml(std::string_view bytes, const LandXmlImportOptions& options) {
  LandXmlImport imported = ImportLandXml(ParseLandXml(bytes), options);
  std::string note =
      "LandXML 各线元推算终点与文件 End 的最大差 " + FixedText(imported.largestEndDifference * 1000, 3) + " mm";
  if (imported.largestEndDifferenceElement > 0) {
    note += "（第 " + std::to_string(imported.largestEndDifferenceElement) + " 个线元）";
  }
  note += "。";
  std::optional<RouteProfile> profile;
  if (imported.profile) profile = RouteProfile{std::move(*imported.profile), std::move(imported.profileStations)};
  return {std::move(imported.route), std::move(profile), {std::move(note)}};
}

void SetProfileTable(RouteDesign& design, std::string bytes) {
  const std::vector<ProfileTableRow> rows = ReadProfileTable(std::move(bytes));
  std::vector<double> stations;
  Profile profile = ProfileOnRoute(rows, design.route.Stations(), stations);
  design.profile = RouteProfile{std::move(profile), std::move(stations)};
}

double StationAtMeasure(const StationLine& stations, double measure) {
  if (measure < 0) return stations.StartStation() + measure;
  if (measure > stations.Length()) return stations.EndStation() + (measure - stations.Length());
  return stations.StationAt(measure);
}

}  // namespace survey::alignment
