// Stake-out of the points of a file (--points: the suite's CSV table, a CASS list or GSI-16
// blocks) instead of the route's stakes: for each point its name, the station of its foot
// point on the route (empty when that lies beyond an end), x, y, and the instrument's azimuth,
// angle and distance.
#pragma once

#include "alignment/cli/command.h"
#include "alignment/stakeout.h"

namespace survey::alignment::cli {

void WritePointsStakeout(CommandContext& ctx, const StakeoutStation& instrument);

}  // namespace survey::alignment::cli
