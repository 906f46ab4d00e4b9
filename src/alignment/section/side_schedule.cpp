#include "alignment/section/side_schedule.h"

#include <algorithm>
#include <cmath>

#include "alignment/alignment_error.h"
#include "alignment/table_reader.h"

namespace survey::alignment::section {

namespace {

double Interpolate(double v0, double v1, double k, Transition transition) {
  if (transition == Transition::Linear) return v0 + (v1 - v0) * k;
  if (std::fabs(v1) < std::fabs(v0)) return v1 + (v0 - v1) * CubicTransition(1 - k);
  return v0 + (v1 - v0) * CubicTransition(k);
}

}  // namespace

double CubicTransition(double k) { return k * k * k * (4 - 3 * k); }

SideSchedule::SideSchedule(const std::vector<SideValuesRow>& rows, const StationLine& stations,
                           std::string_view fileName, Transition transition)
    : transition_(transition) {
  chainages_.reserve(rows.size());
  values_.reserve(rows.size());
  for (const SideValuesRow& row : rows) {
    const StationLine::Found found = stations.Find(row.station);
    const auto refuse = [&](const std::string& what) {
      throw AlignmentError(FilePrefix(fileName) + LinePrefix(row.line) + "桩号 " + row.stationText + what, row.line);
    };
    if (found.where == StationLine::Where::Gap) refuse(" 落在断链的空缺中，路线上没有这个桩号。");
    if (found.where != StationLine::Where::Inside) refuse(" 不在路线上。");
    if (!chainages_.empty() && !(found.chainage > chainages_.back())) {
      refuse(" 不在上一行之后：各行须按桩号顺序沿路线排列。");
    }
    chainages_.push_back(found.chainage);
    values_.push_back({row.left, row.right});
  }
}

std::optional<SideValues> SideSchedule::At(double chainage) const {
  if (chainages_.empty() || chainage < chainages_.front() || chainage > chainages_.back()) return std::nullopt;
  const auto upper = std::upper_bound(chainages_.begin(), chainages_.end(), chainage);
  if (upper == chainages_.end()) return values_.back();
  const std::size_t i = static_cast<std::size_t>(upper - chainages_.begin()) - 1;
  const double k = (chainage - chainages_[i]) / (chainages_[i + 1] - chainages_[i]);
  return SideValues{Interpolate(values_[i].left, values_[i + 1].left, k, transition_),
                    Interpolate(values_[i].right, values_[i + 1].right, k, transition_)};
}

}  // namespace survey::alignment::section
