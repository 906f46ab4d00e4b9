// Rillford without a window: the same computations, driven from the command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rillford {

// --forward --ax --ay --deg --min --sec --dist, or --inverse --ax --ay --bx --by.
// Returns the exit status: 0 done, 2 refused (message on `err`).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rillford
