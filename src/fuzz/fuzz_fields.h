// Splits a fuzzer's bytes into field texts at NUL bytes, so one input fills several fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace survey::fuzz {

inline std::vector<std::string> SplitFields(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> fields(count);
  size_t field = 0;
  for (size_t i = 0; i < size && field < count; ++i) {
    if (data[i] == 0) {
      ++field;
    } else {
      fields[field].push_back(static_cast<char>(data[i]));
    }
  }
  return fields;
}

}  // namespace survey::fuzz
