// Blanks around a field, the one trim of the suite: spaces and tabs by default (a cell of a
// line), or any set given (" \t\r\n" for text that may hold line breaks, as a pasted cell).
#pragma once

#include <string_view>

namespace survey {

inline constexpr std::string_view kLineBlanks = " \t";
inline constexpr std::string_view kAllBlanks = " \t\r\n";

constexpr std::string_view TrimBlanks(std::string_view text, std::string_view blanks = kLineBlanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace survey
