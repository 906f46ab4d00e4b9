// Superelevation and widening along the route: a value for each side, given at rows that are
// positions on the route, and between rows interpolated in the route's length (its chainage),
// so a station equation between two rows does not bend the transition.
//
// Linear: v = v0 + (v1 - v0)·k, k = (s - s0)/(s1 - s0) in chainage.
// Cubic (widening only, --widening-transition cubic): the high-order transition of road design
// practice, b·(4k³ - 3k⁴), which starts and ends with zero slope and reaches 0.3125·b at
// k = 0.5 (the high-order parabola of widening transitions in highway route design: JTG D20
// 公路路线设计规范, 加宽过渡; 《道路勘测设计》, 加宽). It is written for a transition between 0
// and b, with k counted from the row of value 0; between two rows of other values the same
// curve runs from the value smaller in magnitude to the larger: v = a + (b - a)·(4k³ - 3k⁴),
// a the smaller, k counted from a's row.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "alignment/section/section_tables.h"
#include "alignment/stations.h"

namespace survey::alignment::section {

enum class Transition { Linear, Cubic };

struct SideValues {
  double left = 0, right = 0;
  double Of(Side side) const { return side == Side::Left ? left : right; }
};

class SideSchedule {
 public:
  SideSchedule() = default;
  // Places the rows on the route. Refuses (naming the file and line) a station outside the
  // route or in the gap of an equation, and rows not strictly along the route.
  SideSchedule(const std::vector<SideValuesRow>& rows, const StationLine& stations, std::string_view fileName,
               Transition transition = Transition::Linear);

  bool Empty() const { return chainages_.empty(); }
  // The values at a chainage; nothing before the first row or after the last.
  std::optional<SideValues> At(double chainage) const;

  const std::vector<double>& Chainages() const { return chainages_; }

 private:
  std::vector<double> chainages_;
  std::vector<SideValues> values_;
  Transition transition_ = Transition::Linear;
};

// 4k³ - 3k⁴ for k in [0, 1].
double CubicTransition(double k);

}  // namespace survey::alignment::section
