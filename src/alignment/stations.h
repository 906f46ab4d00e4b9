// Stations along a route: start station plus chainage, changed by station equations (断链).
//
// Each equation BACK=AHEAD says that the station reading BACK (counted on from the previous
// part) is also read AHEAD from there on. AHEAD above BACK leaves a gap of stations that exist
// nowhere; AHEAD below BACK makes the stations between them occur twice, and such a station
// means the position after the equation.
#pragma once

#include <limits>
#include <string>
#include <vector>

namespace survey::alignment {

struct StationEquation {
  double back = 0, ahead = 0;
};

class StationLine {
 public:
  // One part of the route with continuous stations: chainage [chainage0, chainage1] reads
  // station0 + (chainage - chainage0).
  struct Part {
    double chainage0 = 0, chainage1 = 0, station0 = 0;
    double Station1() const { return station0 + (chainage1 - chainage0); }
  };

  StationLine() : StationLine(0, {}) {}
  // Refuses (AlignmentError) values that are not finite, equations out of order along the
  // route, and equations beyond `length` (the route's chainage length).
  StationLine(double startStation, std::vector<StationEquation> equations,
              double length = std::numeric_limits<double>::infinity());

  // The station read at a chainage; at an equation the ahead station.
  double StationAt(double chainage) const;
  // The chainage of a station: after the equation where it occurs twice; refused when it falls
  // in the gap of an equation or outside the route.
  double ChainageAt(double station) const;

  // Where a station lies, without refusing.
  enum class Where { Inside, Gap, Before, After };
  struct Found {
    Where where = Where::Inside;
    double chainage = 0;  // Inside only
  };
  Found Find(double station) const;

  double StartStation() const { return parts_.front().station0; }
  double EndStation() const { return parts_.back().Station1(); }
  double Length() const { return parts_.back().chainage1; }
  const std::vector<Part>& Parts() const { return parts_; }
  const std::vector<StationEquation>& Equations() const { return equations_; }

 private:
  std::vector<StationEquation> equations_;
  std::vector<Part> parts_;  // in chainage order, at least one
};

// A station as a refusal names it: K12+345.678, or plain metres when negative.
std::string StationMessageText(double station);

}  // namespace survey::alignment
