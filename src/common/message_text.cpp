#include "common/message_text.h"

#include <cstdint>
#include <cstdio>

namespace survey {

namespace {

// Length of the valid UTF-8 sequence at `at` and its code point, or 0 when invalid.
std::size_t Utf8At(std::string_view s, std::size_t at, std::uint32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned c = byte(at);
  std::size_t len;
  unsigned lo = 0x80, hi = 0xBF;
  if (c < 0x80) {
    code = c;
    return 1;
  }
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    code = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    code = c & 0x0F;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    code = c & 0x07;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (at + len > s.size() || byte(at + 1) < lo || byte(at + 1) > hi) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if (k > 1 && (byte(at + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + k) & 0x3F);
  }
  return len;
}

bool Hidden(std::uint32_t code) {
  return (code >= 0x80 && code <= 0x9F) || (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char buf[12];
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    std::uint32_t code = 0;
    const std::size_t len = Utf8At(text, at, code);
    if (len == 0) {
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
      ++at;
      continue;
    }
    if (code == '\n') {
      out += "\\n";
    } else if (code == '\r') {
      out += "\\r";
    } else if (code == '\t') {
      out += "\\t";
    } else if (code < 0x20 || code == 0x7F) {
      std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(code));
      out += buf;
    } else if (Hidden(code)) {
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(code));
      out += buf;
    } else {
      out.append(text.substr(at, len));
    }
    at += len;
  }
  return out;
}

}  // namespace survey
