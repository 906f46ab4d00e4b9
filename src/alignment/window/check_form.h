// The deviation report (偏差检查) of the alignment window without widgets: the tolerance fields
// read, the points table (name, X, Y, Z and, where filled, 设计桩号 and 设计偏距) read into the
// check core's typed inputs, and the rows it gives, the same rows as the `check` command.
#pragma once

#include <atomic>
#include <cstddef>

#include "alignment/window/form.h"

namespace survey::alignment::window {

// The tolerances of the fields; throws AlignmentError naming the field (平面限差, 高程限差).
struct CheckTolerances {
  check::ZTolerance z;
  double xy = check::kDefaultToleranceXy;
};
CheckTolerances CheckTolerancesFromFields(const AlignmentForm& form);

// The non-blank rows of the points table: the size of a check run, for progress and the thread.
std::size_t CheckPointRows(const AlignmentForm& form);

// The check of the points table against the form's route, profile and (where the 横断面 page
// has a typical section) cross-section. `cancel` stops the run between rows.
RunResult RunCheck(const AlignmentForm& form, const std::atomic<bool>* cancel, const ProgressFn& progress);

}  // namespace survey::alignment::window
