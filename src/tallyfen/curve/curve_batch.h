// `tallyfen --curve`: the batch mode (curve_batch_mode.h) with the parameter and export files
// on disk in the user's code page and the report painted into a PDF by Qt.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tallyfen {

// `args` are the options after "--curve"; the streams are stdout and stderr unless given.
// Needs a QApplication (files, PDF).
int RunCurveBatch(const std::vector<std::string>& args);
int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tallyfen
