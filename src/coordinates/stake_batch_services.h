// The batch services of the programs with a stake table (Marlowby, the curve window of
// Tallyfen): the suite's one shape, with the table a run fills and the report printer that
// --report points at a PDF file.
#pragma once

#include <ostream>
#include <string>

#include "common/services.h"
#include "coordinates/file_commands.h"
#include "coordinates/stake_record.h"

namespace coordinates {

struct StakeBatchServices : survey::BatchServices {
  // A table of the run's own: emptying it at the end must not empty the table of a window that
  // is open at the same time. None: the run keeps its rows in memory.
  StakeTable* table = nullptr;
  FileReportPrinter* report = nullptr;
  // Why the table could not be opened; empty when it is open.
  std::string tableError;

  // Refuses (false, the reason on `err`) a run whose table could not be opened, or that lacks the
  // files or the report printer every such run writes through.
  bool Usable(std::ostream& err) const {
    if (!tableError.empty()) {
      err << tableError << '\n';
      return false;
    }
    if (!files || !report) {
      err << "batch mode lacks its files or its report printer\n";
      return false;
    }
    return true;
  }
};

}  // namespace coordinates
