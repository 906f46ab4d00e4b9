#include "common/parallel_for.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace survey {

void ParallelFor(std::size_t count, const std::function<void(std::size_t, std::size_t)>& range) {
  constexpr std::size_t kSerialBelow = 1024;
  const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
  if (threads == 1 || count < kSerialBelow) {
    range(0, count);
    return;
  }
  std::vector<std::thread> workers;
  std::vector<std::exception_ptr> failures(threads);
  const std::size_t part = (count + threads - 1) / threads;
  for (std::size_t t = 1; t < threads; ++t) {
    workers.emplace_back([&, t] {
      try {
        range(std::min(count, t * part), std::min(count, (t + 1) * part));
      } catch (...) {
        failures[t] = std::current_exception();
      }
    });
  }
  try {
    range(0, std::min(count, part));
  } catch (...) {
    failures[0] = std::current_exception();
  }
  for (std::thread& w : workers) w.join();
  for (const std::exception_ptr& f : failures) {
    if (f) std::rethrow_exception(f);
  }
}

}  // namespace survey
