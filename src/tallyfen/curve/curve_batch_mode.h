// The curve coordinate window without a window: options fill the fields, the window's own
// handlers compute, and the grid goes to standard output as ".ly" lines. Pure C++: the files
// and the report printer are handed in by the caller, so a test runs it in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "common/services.h"
#include "coordinates/file_commands.h"
#include "coordinates/stake_batch_services.h"

namespace tallyfen {


// `args` are the options after "--curve". Status 0 with the ".ly" lines on `out` (UTF-8, LF),
// status 2 with the refusal on `err`, or the usage (--help, status 0).
int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const coordinates::StakeBatchServices& services);

}  // namespace tallyfen
