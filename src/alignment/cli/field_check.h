// The field checks on the command line: slope staking on `locate` (--slopes, with --section),
// cut and fill beside every measured z, and the `check` command (偏差报表).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/check/field_check.h"
#include "alignment/cli/command.h"

namespace survey::alignment::cli {

// locate: --slopes, refused without --section (WithSectionLocate runs the section's locate).
Command WithSlopesLocate(Command locate);

// locate with --section: section_elevation, with z section_dz and fill_cut; with --slopes as
// well, the slope stake of every point beyond the outermost edge.
void RunLocateOnSection(CommandContext& ctx);

// --slopes FILE.
OptionHelp SlopesOption();

enum class CheckResult { Pass, Fail, Outside };

// One measured point of the deviation report.
struct CheckRow {
  std::string_view name;
  double x = 0, y = 0, z = 0;
  bool inside = false;
  double station = 0, offset = 0;
  std::optional<double> designZ, dz;                 // dz = z − design
  std::optional<double> along, across, distance;     // with an intended position
  CheckResult result = CheckResult::Outside;
};

// What a check run found: the columns it has and the tolerances it used.
struct CheckRun {
  bool withIntended = false;
  check::ZTolerance toleranceZ;
  double toleranceXy = check::kDefaultToleranceXy;
  check::CheckSummary summary;
  std::string maxDzName, maxXyName;  // the points of the largest deviations
};

// Reads the check command's options and points (refusing before any row), calls `start` once
// they are read and `sink` for every point in the table's order (the row's name lives until the
// call returns); returns the tolerances and the summary.
CheckRun ForEachCheckRow(CommandContext& ctx, const std::function<void(const CheckRun&)>& start,
                         const std::function<void(const CheckRow&, const CheckRun&)>& sink);

// "pass", "fail", "outside".
const char* CheckResultKey(CheckResult result);
// The last line of the report: count, passed, failed and the largest deviations with their points.
std::string CheckSummaryText(const CheckRun& run, int decimals);

Command CheckCommand();

}  // namespace survey::alignment::cli
