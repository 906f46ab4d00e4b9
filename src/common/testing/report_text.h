// The lines of a report text with CR LF line ends, for tests that compare reports line by line.
#pragma once

#include <string>
#include <vector>

namespace survey::testing {

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

}  // namespace survey::testing
