// The pieces the program's tables are made of: the route sources, the options every command
// takes, and one function per command, each in its own file.
#pragma once

#include <memory>
#include <vector>

#include "alignment/cli/command.h"
#include "alignment/route_rows.h"

namespace survey::alignment::cli {

RouteSource JdSource();
RouteSource ElementSource();
RouteSource LandXmlSource();
std::vector<OptionHelp> CommonOptions();

// The points table of locate --points, read in locate.cpp and by locate's --section columns:
// the points and what keeps their names alive.
struct PointsRead {
  std::vector<SurveyedPoint> points;
  std::shared_ptr<const void> keep;
  bool withZ = false;
};
PointsRead ReadPoints(CommandContext& ctx, bool withProfile);

// The stake list a line asks for: the range, then every --offset, then --skew, refused in that
// order. `offsetTexts`, when given, receives the offsets as typed (blanks around them dropped).
StakeQuery StakeQueryFromOptions(const CommandContext& ctx, std::vector<std::string>* offsetTexts = nullptr);

// What the stakes command reads from its line: the query, the offsets as typed (for the column
// names) and the design with its profile. Refuses in the order the options are checked.
struct StakeRun {
  StakeQuery query;
  std::vector<std::string> offsetLabels;
  const RouteDesign* design = nullptr;
};
StakeRun ReadStakeRun(CommandContext& ctx);
// The route of the curves command: a JD route, or one of elements whose JDs are read back.
const Route& CurvesRoute(CommandContext& ctx);
// The curve rows of a JD route, or the JDs read back from a route of elements.
std::vector<CurveTableRow> CurveOrJdRows(const Route& route);

Command CurvesCommand();
Command StakesCommand();
Command PointCommand();
Command LocateCommand();
Command ProfileCommand();
Command StakeoutCommand();
Command ExportCommand();
Command PlanCommand();

}  // namespace survey::alignment::cli
