#include "alignment/locate_index.h"

#include "alignment/route.h"

namespace survey::alignment {

LocateIndex::LocateIndex(const std::vector<Element>&) {}
Location LocateIndex::Nearest(double, double) const { return {}; }

}  // namespace survey::alignment
