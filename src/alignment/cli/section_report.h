// `alignment report --table sections --pdf OUT ...`: the 路基设计表 (section_report.cpp); part of
// the program only where the window is, like the report command it belongs to.
#pragma once

#include <string>
#include <vector>

namespace survey::alignment::cli {

// `commandArgs` are the section command's options (route, profile, --section …, stake range).
// Status 0 written, 2 refused (message on stderr).
int RunSectionsReport(const std::vector<std::string>& commandArgs, const std::string& pdf, const std::string& project);

}  // namespace survey::alignment::cli
