// The batch entry points of the calculators whose batch modes need no Qt, fed with an argument
// vector (arguments separated by NUL bytes).
#include <cstdint>
#include <sstream>

#include "dovetree/batch.h"
#include "fuzz/fuzz_fields.h"
#include "quenby/batch.h"
#include "rillford/batch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::vector<std::string> args = survey::fuzz::SplitFields(data + 1, size - 1, 16);
  std::vector<std::string> used;
  for (const std::string& a : args) {
    if (!a.empty()) used.push_back(a);
  }
  std::ostringstream out, err;
  switch (data[0] % 3) {
    case 0: dovetree::RunBatch(used, out, err); break;
    case 1: quenby::RunBatch(used, out, err); break;
    default: rillford::RunBatch(used, out, err); break;
  }
  return 0;
}
