#include "alignment/stake_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "alignment/alignment_error.h"

namespace survey::alignment {

namespace {

struct Range {
  double from = 0, to = 0;  // chainages
};

double RangeEnd(const Route& route, double station, bool isFrom) {
  const StationLine::Found found = route.Stations().Find(station);
  switch (found.where) {
    case StationLine::Where::Inside:
      return found.chainage;
    case StationLine::Where::Before:
      return 0;
    case StationLine::Where::After:
      return route.Length();
    case StationLine::Where::Gap:
      break;
  }
  try {
    route.ChainageAtStation(station);
  } catch (const AlignmentError& e) {
    throw AlignmentError(std::string(isFrom ? "起始" : "终止") + e.what());
  }
  throw AlignmentError("桩号不在路线上。");
}

// Main points within the range, those at one position (within kStakeMergeDistance) made one
// stake whose name lists them all.
std::vector<Stake> MainStakes(const Route& route, const Range& range) {
  std::vector<Stake> out;
  for (const MainPoint& m : route.MainPoints()) {
    if (m.chainage < range.from || m.chainage > range.to) continue;
    if (!out.empty() && m.chainage - out.back().chainage <= kStakeMergeDistance) {
      out.back().name += "/" + m.name;
      continue;
    }
    out.push_back({m.name, m.chainage, route.StationAt(m.chainage)});
  }
  return out;
}

// The piece of each part of the route's stations that lies within the range, in chainage
// order: `visit(part, lo, hi, s0, s1)` with its chainages lo..hi and stations s0..s1.
template <typename Visit>
void ForEachPartInRange(const Route& route, const Range& range, Visit&& visit) {
  for (const StationLine::Part& part : route.Stations().Parts()) {
    const double lo = std::max(part.chainage0, range.from);
    const double hi = std::min(part.chainage1, range.to);
    if (!(lo <= hi)) continue;
    visit(part, lo, hi, part.station0 + (lo - part.chainage0), part.station0 + (hi - part.chainage0));
  }
}

// The whole multiples first..last (in intervals) of the interval within stations s0..s1.
// Rounding of s / interval must not drop a multiple that sits exactly on an end.
struct Multiples {
  double first, last;
};
Multiples MultiplesWithin(double s0, double s1, double interval) {
  return {std::ceil(s0 / interval - 1e-9), std::floor(s1 / interval + 1e-9)};
}

// The whole multiples of the interval on each part of the route's stations within the range,
// in chainage order; `visit(station, chainage)`.
template <typename Visit>
void ForEachMultiple(const Route& route, const Range& range, double interval, Visit&& visit) {
  ForEachPartInRange(route, range, [&](const StationLine::Part& part, double lo, double hi, double s0, double s1) {
    const auto [first, last] = MultiplesWithin(s0, s1, interval);
    if (!(first <= last)) return;
    const auto count = static_cast<long long>(last - first) + 1;
    for (long long n = 0; n < count; ++n) {
      const double station = (first + static_cast<double>(n)) * interval;
      visit(station, std::clamp(part.chainage0 + (station - part.station0), lo, hi));
    }
  });
}

double MultipleCount(const Route& route, const Range& range, double interval) {
  double count = 0;
  ForEachPartInRange(route, range, [&](const StationLine::Part&, double, double, double s0, double s1) {
    const Multiples m = MultiplesWithin(s0, s1, interval);
    count += std::max(0.0, m.last - m.first + 1);
  });
  return count;
}

template <typename Emit>
void Merge(const Route& route, const Range& range, double interval, const std::vector<Stake>& mains, Emit&& emit) {
  std::size_t next = 0;
  bool any = false;
  double last = 0;  // chainage of the last row emitted
  auto emitRow = [&](const Stake& s) {
    emit(s);
    any = true;
    last = s.chainage;
  };
  ForEachMultiple(route, range, interval, [&](double station, double chainage) {
    while (next < mains.size() && mains[next].chainage < chainage - kStakeMergeDistance) emitRow(mains[next++]);
    if (next < mains.size() && mains[next].chainage - chainage <= kStakeMergeDistance) return;
    if (any && chainage - last <= kStakeMergeDistance) return;
    emitRow(Stake{std::string(), chainage, station});
  });
  while (next < mains.size()) emitRow(mains[next++]);
}

std::string IntervalText(double interval) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", interval);
  return text;
}

}  // namespace

void ForEachStake(const Route& route, const StakeOptions& options, const std::function<void(const Stake&)>& sink) {
  const double interval = options.interval;
  if (!std::isfinite(interval) || !(interval > 0)) throw AlignmentError("桩距必须是大于 0 的数。");
  // A relative margin, so that 0.001 typed as text (a hair below or above 1e-3) passes at three
  // places.
  const double tolerance = 1e-9;
  if (interval < kMinStakeInterval * (1 - tolerance)) {
    throw AlignmentError("桩距 " + IntervalText(interval) + " m 小于 0.001 m：桩位无法区分，请加大桩距。");
  }
  const int places = std::clamp(options.stationDecimals, 0, 17);
  if (interval * std::pow(10.0, places) < 1 - tolerance) {
    throw AlignmentError("桩距 " + IntervalText(interval) + " m 小于桩号的末位（" + std::to_string(places) +
                         " 位小数）：相邻两桩的桩号会相同，请加大桩距或增加小数位数。");
  }
  for (const std::optional<double>& s : {options.fromStation, options.toStation}) {
    if (s && !std::isfinite(*s)) throw AlignmentError("起止桩号不是有限数。");
  }
  // Multiples must stay exact integers times the interval.
  for (const StationLine::Part& part : route.Stations().Parts()) {
    if (!(std::max(std::fabs(part.station0), std::fabs(part.Station1())) / interval < 1e15)) {
      throw AlignmentError("桩距相对桩号过小。");
    }
  }
  Range range{0, route.Length()};
  if (options.fromStation) range.from = RangeEnd(route, *options.fromStation, true);
  if (options.toStation) range.to = RangeEnd(route, *options.toStation, false);
  if (range.from > range.to) {
    throw AlignmentError("起始桩号 " + StationMessageText(*options.fromStation) + " 在终止桩号 " +
                         StationMessageText(*options.toStation) + " 之后。");
  }
  const std::vector<Stake> mains = MainStakes(route, range);
  // The limit counts the rows asked for: every multiple and every main point, before merging.
  const double asked = MultipleCount(route, range, interval) + static_cast<double>(mains.size());
  if (asked > static_cast<double>(kMaxStakeRows)) {
    throw AlignmentError("桩号表超过 " + std::to_string(kMaxStakeRows) + " 行，请加大桩距或缩小范围。");
  }
  Merge(route, range, interval, mains, sink);
}

std::vector<Stake> StakeList(const Route& route, const StakeOptions& options) {
  std::vector<Stake> rows;
  ForEachStake(route, options, [&rows](const Stake& s) { rows.push_back(s); });
  return rows;
}

}  // namespace survey::alignment
