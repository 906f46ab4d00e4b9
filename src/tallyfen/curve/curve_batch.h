// The curve coordinate window without a window: options fill the fields, the window's own
// handlers compute, and the grid goes to standard output as ".ly" lines.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tallyfen {

// `args` are the options after "--curve". Status 0 with the ".ly" lines on stdout (UTF-8, LF),
// or status 2 with the refusal on stderr. Needs a QApplication (files, PDF).
int RunCurveBatch(const std::vector<std::string>& args);
int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tallyfen
