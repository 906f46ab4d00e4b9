#include "alignment/stations.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "alignment/alignment_error.h"

namespace survey::alignment {

namespace {

// A station typed within half a millimetre of the end of a part (as a station printed to three
// decimals is) still names that end.
constexpr double kStationSlack = 0.0005;
// No station of a real route comes near this; it keeps station arithmetic exact to the millimetre.
constexpr double kMaxStation = 1e9;

std::string EquationText(const StationEquation& eq) {
  return StationMessageText(eq.back) + "=" + StationMessageText(eq.ahead);
}

}  // namespace

std::string StationMessageText(double station) {
  char buf[64];
  if (!(station >= 0) || !(station < 1e12)) {
    std::snprintf(buf, sizeof buf, "%.3f", station);
    return buf;
  }
  const long long mm = std::llround(station * 1000);
  std::snprintf(buf, sizeof buf, "K%lld+%03lld.%03lld", mm / 1000000, (mm / 1000) % 1000, mm % 1000);
  return buf;
}

StationLine::StationLine(double startStation, std::vector<StationEquation> equations, double length)
    : equations_(std::move(equations)) {
  if (!std::isfinite(startStation)) throw AlignmentError("起点桩号不是有限数。");
  if (std::fabs(startStation) > kMaxStation) throw AlignmentError("起点桩号超出范围。");
  if (!(length >= 0)) throw AlignmentError("路线长度不是有效的数。");
  Part part{0, length, startStation};
  for (const StationEquation& eq : equations_) {
    if (!std::isfinite(eq.back) || !std::isfinite(eq.ahead)) {
      throw AlignmentError("断链 " + EquationText(eq) + "：桩号不是有限数。");
    }
    if (std::fabs(eq.back) > kMaxStation || std::fabs(eq.ahead) > kMaxStation) {
      throw AlignmentError("断链 " + EquationText(eq) + "：桩号超出范围。");
    }
    if (eq.back < part.station0) {
      throw AlignmentError("断链 " + EquationText(eq) + "：断前桩号小于本段起点桩号 " +
                           StationMessageText(part.station0) + "，断链须按路线顺序给出。");
    }
    const double at = part.chainage0 + (eq.back - part.station0);
    if (at > length + kStationSlack) throw AlignmentError("断链 " + EquationText(eq) + "：在路线终点之外。");
    part.chainage1 = std::min(at, length);
    parts_.push_back(part);
    part = Part{part.chainage1, length, eq.ahead};
  }
  parts_.push_back(part);
}

double StationLine::StationAt(double chainage) const {
  // The last part starting at or before the chainage: at an equation, the part after it.
  auto it = std::upper_bound(parts_.begin(), parts_.end(), chainage,
                             [](double c, const Part& p) { return c < p.chainage0; });
  const Part& part = it == parts_.begin() ? parts_.front() : *(it - 1);
  return part.station0 + (chainage - part.chainage0);
}

StationLine::Found StationLine::Find(double station) const {
  if (!std::isfinite(station)) return {Where::Gap, 0};
  // Latest part first: a station occurring twice means the position after the equation.
  for (double slack : {0.0, kStationSlack}) {
    for (auto it = parts_.rbegin(); it != parts_.rend(); ++it) {
      const double s1 = it->Station1();
      if (station >= it->station0 - slack && station <= s1 + slack) {
        const double c = it->chainage0 + (std::clamp(station, it->station0, s1) - it->station0);
        return {Where::Inside, std::clamp(c, it->chainage0, it->chainage1)};
      }
    }
  }
  double lo = parts_.front().station0, hi = parts_.front().Station1();
  for (const Part& p : parts_) {
    lo = std::min(lo, p.station0);
    hi = std::max(hi, p.Station1());
  }
  if (station < lo) return {Where::Before, 0};
  if (station > hi) return {Where::After, 0};
  return {Where::Gap, 0};
}

double StationLine::ChainageAt(double station) const {
  const Found found = Find(station);
  switch (found.where) {
    case Where::Inside:
      return found.chainage;
    case Where::Gap:
      if (!std::isfinite(station)) throw AlignmentError("桩号不是有限数。");
      for (std::size_t k = 1; k < parts_.size(); ++k) {
        if (station > parts_[k - 1].Station1() && station < parts_[k].station0) {
          throw AlignmentError("桩号 " + StationMessageText(station) + " 落在断链 " + EquationText(equations_[k - 1]) +
                               " 的空缺中，路线上没有这个桩号。");
        }
      }
      throw AlignmentError("桩号 " + StationMessageText(station) + " 落在断链的空缺中，路线上没有这个桩号。");
    case Where::Before:
    case Where::After:
      break;
  }
  throw AlignmentError("桩号 " + StationMessageText(station) + " 在路线之外（路线从 " + StationMessageText(StartStation()) +
                       " 到 " + StationMessageText(EndStation()) + "）。");
}

}  // namespace survey::alignment
