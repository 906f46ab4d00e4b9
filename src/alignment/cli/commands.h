// The pieces the program's tables are made of: the route sources, the options every command
// takes, and one function per command, each in its own file.
#pragma once

#include <vector>

#include "alignment/cli/command.h"

namespace survey::alignment::cli {

RouteSource JdSource();
RouteSource ElementSource();
RouteSource LandXmlSource();
std::vector<OptionHelp> CommonOptions();

Command CurvesCommand();
Command StakesCommand();
Command PointCommand();
Command LocateCommand();
Command ProfileCommand();
Command StakeoutCommand();
Command ExportCommand();
Command PlanCommand();

}  // namespace survey::alignment::cli
