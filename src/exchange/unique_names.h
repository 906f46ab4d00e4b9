// An instrument finds a point by its name: two points of one file must never share one. A
// station listed twice (an overlapping station equation) or a name given twice keeps its first
// use; each later one gets a suffix "_2", "_3" ..., the first that names no other point.
#pragma once

#include <vector>

#include "exchange/point_record.h"

namespace survey::exchange {

// Renames in place; returns how many points were renamed.
std::size_t MakeNamesUnique(std::vector<PointRecord>& points);

}  // namespace survey::exchange
