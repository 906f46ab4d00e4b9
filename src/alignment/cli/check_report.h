// `alignment report --table check --pdf OUT ...`: the deviation report (偏差报表) printed, a page
// of plot followed by the table pages; part of the program only where the window is.
#pragma once

#include <string>
#include <vector>

namespace survey::alignment::cli {

// `commandArgs` are the check command's options. Status 0 written, 2 refused (message on stderr).
int RunCheckReport(const std::vector<std::string>& commandArgs, const std::string& pdf, const std::string& project);

}  // namespace survey::alignment::cli
