// The report command (see report.cpp); in the program only where the window is.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace survey::alignment::window {
struct ReportTable;
}

namespace survey::alignment::cli {

class CommandContext;

// The rows of one command printed to `pdf`: `command` runs with `options` (its own options and
// refusals; its messages, a LandXML import's notes among them, to stderr) with `collect` in
// place of its run. `collect` keeps the rows up to kMaxReportRows and returns how many there
// are; more than that is refused with the count, without laying out a table. `table` then
// makes the printed table of what was kept. Status 0 written, 2 refused (message on stderr).
int PrintCommandRows(const std::string& command, const std::vector<std::string>& options, const std::string& pdf,
                     const std::function<std::size_t(CommandContext& ctx)>& collect,
                     const std::function<window::ReportTable()>& table);

// args[0] is "report". Status 0 written, 2 refused (message on stderr).
int RunReport(const std::vector<std::string>& args);

}  // namespace survey::alignment::cli
