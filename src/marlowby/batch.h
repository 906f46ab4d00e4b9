// Batch mode: the window's handlers driven from the command line, without a window.
#pragma once

#include <string>
#include <vector>

namespace marlowby {

// Runs the options (see the usage text); prints the ".ly" lines to stdout. Returns 0 on success,
// 2 when a handler refused (its message on stderr) or the options are not understood.
int RunBatch(const std::vector<std::string>& args);

}  // namespace marlowby
