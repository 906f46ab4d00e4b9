// The report command (see report.cpp); in the program only where the window is.
#pragma once

#include <string>
#include <vector>

namespace survey::alignment::cli {

// args[0] is "report". Status 0 written, 2 refused (message on stderr).
int RunReport(const std::vector<std::string>& args);

}  // namespace survey::alignment::cli
