// Runs a batch entry (args, stdout stream, stderr stream) -> status and keeps what it wrote,
// for the batch-mode tests of the programs.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace survey::testing {

struct BatchRun {
  int status = -1;
  std::string out, err;
};

template <class Entry>
BatchRun CaptureBatch(Entry&& entry, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = entry(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace survey::testing
