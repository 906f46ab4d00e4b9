// Quenby without a window: the same handlers, driven from the command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quenby {

// --radius --i1 --i2 --jd --elevation [--spacing] [--extra]...; prints the listing.
// Returns the exit status: 0 done, 2 refused (message on `err`).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quenby
