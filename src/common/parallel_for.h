// Work split over the cores for loops whose iterations are independent (each writes only its
// own slot of a result), as when many points are located on one read-only route.
#pragma once

#include <cstddef>
#include <functional>

namespace survey {

// Calls range(lo, hi) on consecutive parts of [0, count), one part per core (at most 8), and
// returns once all are done. A small count runs on the calling thread alone: starting threads
// costs more than it saves. The first failure of any part is rethrown after all have ended.
void ParallelFor(std::size_t count, const std::function<void(std::size_t, std::size_t)>& range);

}  // namespace survey
