// The profile table: station,elevation,r (桩号,高程,竖曲线半径), one grade change point a
// line in station order, r the radius of the vertical curve there (blank or 0 for none). An
// asymmetric parabolic curve is given instead by length_in,length_out (前半长,后半长): the
// lengths of its halves before and after the point.
#pragma once

#include <string>
#include <vector>

#include "alignment/profile.h"
#include "alignment/stations.h"

namespace survey::alignment {

struct ProfileTableRow {
  double station = 0, elevation = 0, r = 0;
  int line = 0;
  double lengthIn = 0, lengthOut = 0;
};

// Refuses (naming the line) what a table can know: numbers, stations, r or lengths < 0 or
// beyond the suite's magnitude, r together with lengths, one length without the other. The
// profile itself refuses order and overlaps.
std::vector<ProfileTableRow> ReadProfileTable(std::string bytes);

// The profile on the route's chainages; profileStations receives each point's station.
Profile ProfileOnRoute(const std::vector<ProfileTableRow>& rows, const StationLine& stations,
                       std::vector<double>& profileStations);

}  // namespace survey::alignment
