// The `check` command (偏差报表) on the command line: its options and points read into the
// core's typed inputs (alignment/check/check_rows.h), the rows written as CSV.
#pragma once

#include <functional>

#include "alignment/check/check_rows.h"
#include "alignment/cli/command.h"

namespace survey::alignment::cli {

// Reads the check command's options and points (refusing before any row), calls `start` once
// they are read and `sink` for every point in the table's order (the row's name lives until the
// call returns); returns the tolerances and the summary.
check::CheckRun ForEachCheckRow(CommandContext& ctx, const std::function<void(const check::CheckRun&)>& start,
                                const std::function<void(const check::CheckRow&, const check::CheckRun&)>& sink);

Command CheckCommand();

}  // namespace survey::alignment::cli
