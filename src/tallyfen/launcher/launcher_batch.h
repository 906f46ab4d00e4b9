// Tallyfen without a window: the curve coordinate computation (--curve ...), starting a
// calculator (--start NAME) or the help.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/outcome.h"

namespace tallyfen {

// Starts a calculator of the suite by its bare file name, without waiting for it.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  virtual survey::Outcome Start(std::string_view name) = 0;
};

// The batch mode of the curve coordinate window: the options after "--curve" -> exit status.
using CurveBatchEntry = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct LauncherBatchServices {
  ProgramStarter& starter;
  CurveBatchEntry curveBatch = nullptr;  // nullptr in a build without the curve window
};

// Returns the exit status: 0 done, 2 refused (the reason on `err`).
int RunLauncherBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const LauncherBatchServices& services);

}  // namespace tallyfen
