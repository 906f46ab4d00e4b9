#include "alignment/stations.h"

#include "alignment/alignment_error.h"

namespace survey::alignment {

StationLine::StationLine(double startStation, std::vector<StationEquation> equations, double length)
    : equations_(std::move(equations)) {
  parts_.push_back({0, length, startStation});
}

double StationLine::StationAt(double chainage) const { return parts_.front().station0 + chainage; }

StationLine::Found StationLine::Find(double station) const { return {Where::Inside, station - StartStation()}; }

double StationLine::ChainageAt(double station) const { return Find(station).chainage; }

std::string StationMessageText(double station) { return std::to_string(station); }

}  // namespace survey::alignment
