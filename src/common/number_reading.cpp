#include "common/number_reading.h"

#include <cmath>
#include <cstdlib>

namespace survey {

std::string NormaliseFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    // Full-width forms U+FF01..U+FF5E are EF BC 81..EF BD 9E in UTF-8; we need FF0B..FF19.
    if (i + 2 < text.size() && static_cast<unsigned char>(text[i]) == 0xEF &&
        static_cast<unsigned char>(text[i + 1]) == 0xBC) {
      const unsigned c = static_cast<unsigned char>(text[i + 2]);
      const unsigned code = 0xFF00 + (c - 0x80);
      if ((code >= 0xFF10 && code <= 0xFF19) || code == 0xFF0E || code == 0xFF0B || code == 0xFF0D) {
        out.push_back(static_cast<char>(code - 0xFF00 + 0x20));
        i += 3;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::size_t NumberPrefixLength(std::string_view s, std::size_t* mantissaLength) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) {
    *mantissaLength = 0;
    return 0;
  }
  *mantissaLength = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < s.size() && IsDigit(s[j])) ++j, ++expDigits;
    if (expDigits > 0) i = j;
  }
  return i;
}

namespace {

double Parse(std::string_view s) {
  const std::string copy(s);
  return std::strtod(copy.c_str(), nullptr);
}

}  // namespace

std::optional<double> ReadStrictNumber(std::string_view raw) {
  const std::string text = NormaliseFullWidth(raw);
  std::string_view s(text);
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  std::size_t mantissa = 0;
  const std::size_t n = NumberPrefixLength(s, &mantissa);
  if (n == 0 || n != s.size()) return std::nullopt;
  const double v = Parse(s);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

double ReadLeadingNumber(std::string_view raw) {
  const std::string text = NormaliseFullWidth(raw);
  std::string_view s(text);
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  std::size_t mantissa = 0;
  const std::size_t n = NumberPrefixLength(s, &mantissa);
  if (n == 0) return 0;
  double v = Parse(s.substr(0, n));
  if (!std::isfinite(v)) v = Parse(s.substr(0, mantissa));
  return std::isfinite(v) ? v : 0;
}

double ReadLeadingNumberIgnoringBlanks(std::string_view raw) {
  std::string compact;
  compact.reserve(raw.size());
  for (char c : raw) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') compact.push_back(c);
  }
  return ReadLeadingNumber(compact);
}

}  // namespace survey
