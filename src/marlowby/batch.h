// Batch mode: the window's handlers driven from the command line, without a window. Pure: the
// program hands in its streams and the services a run writes through.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "coordinates/file_commands.h"
#include "coordinates/stake_batch_services.h"
#include "coordinates/stake_record.h"

namespace marlowby {


// Runs the options (see the usage text); prints the ".ly" lines to `out`. Returns 0 on success,
// 2 when a handler refused (its message on `err`) or the options are not understood.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const coordinates::StakeBatchServices& services);

// The program's batch mode: the run above on the standard streams, with the services on disk
// (a table of its own in memory, GBK text files, the Qt report printer). Defined in the window
// library (batch_on_disk.cpp), which links Qt.
int RunBatch(const std::vector<std::string>& args);

}  // namespace marlowby
