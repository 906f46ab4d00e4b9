#include "exchange/unique_names.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace survey::exchange {

std::size_t MakeNamesUnique(std::vector<PointRecord>& points) {
  // Every name as given is taken first, so a suffixed name never takes one that a later point
  // carries by itself ("A", "A", "A_2" gives "A", "A_3", "A_2").
  std::unordered_set<std::string> taken;
  taken.reserve(points.size() * 2);
  for (const PointRecord& p : points) taken.insert(p.name);
  std::unordered_set<std::string> seen;
  seen.reserve(points.size() * 2);
  std::unordered_map<std::string, int> nextSuffix;
  std::size_t renamed = 0;
  for (PointRecord& p : points) {
    if (seen.insert(p.name).second) continue;
    int& n = nextSuffix.try_emplace(p.name, 2).first->second;
    std::string candidate;
    do {
      candidate = p.name + "_" + std::to_string(n++);
    } while (taken.contains(candidate));
    taken.insert(candidate);
    seen.insert(candidate);
    p.name = std::move(candidate);
    ++renamed;
  }
  return renamed;
}

}  // namespace survey::exchange
