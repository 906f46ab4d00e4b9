#include "common/gbk_text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace survey {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)), fromUtf8_(std::string_view(from) == "UTF-8") {}
  ~Converter() {
    if (Opened()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Opened() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Appends the conversion of `in` to `out`. At a sequence that cannot be converted: with a
  // replacement, appends it and skips one character (one byte of anything but UTF-8); without,
  // returns false with `at` its offset in `in`.
  bool Append(std::string_view in, std::string& out, std::string_view replacement, std::size_t& at) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buf[4096];
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      if (replacement.empty()) {
        at = static_cast<std::size_t>(src - in.data());
        return false;
      }
      out += replacement;
      std::size_t skip = 1;
      if (fromUtf8_) {
        const unsigned char c = static_cast<unsigned char>(*src);
        skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      }
      skip = std::min(skip, left);
      src += skip;
      left -= skip;
    }
    return true;
  }

 private:
  iconv_t cd_;
  bool fromUtf8_;
};

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

GbkConversion Refused(std::string text, std::string_view in, std::size_t at) {
  GbkConversion c;
  c.status = GbkConversion::Status::Unconvertible;
  c.text = std::move(text);
  c.badAt = at;
  c.badLine = 1 + static_cast<int>(std::count(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
  const std::size_t newline = at == 0 ? std::string_view::npos : in.rfind('\n', at - 1);
  c.badColumn = newline == std::string_view::npos ? at : at - newline - 1;
  return c;
}

GbkConversion NoConverter() {
  GbkConversion c;
  c.status = GbkConversion::Status::NoConverter;
  return c;
}

}  // namespace

GbkConversion EncodeGbk(std::string_view utf8, std::string_view replacement) {
  GbkConversion result;
  if (IsAscii(utf8)) {  // the common case: numbers, stations and keys
    result.text.assign(utf8);
    return result;
  }
  Converter converter("GBK", "UTF-8");
  if (!converter.Opened()) return NoConverter();
  result.text.reserve(utf8.size());
  std::size_t at = 0;
  if (!converter.Append(utf8, result.text, replacement, at)) return Refused(std::move(result.text), utf8, at);
  return result;
}

GbkConversion DecodeGbk(std::string_view gbk, std::string_view replacement) {
  GbkConversion result;
  if (IsAscii(gbk)) {
    result.text.assign(gbk);
    return result;
  }
  Converter converter("UTF-8", "GB18030");
  if (!converter.Opened()) return NoConverter();
  result.text.reserve(gbk.size() + gbk.size() / 2);
  std::size_t start = 0;
  while (true) {
    std::size_t end = gbk.find('\n', start);
    if (end == std::string_view::npos) end = gbk.size();
    std::size_t at = 0;
    if (!converter.Append(gbk.substr(start, end - start), result.text, replacement, at)) {
      return Refused(std::move(result.text), gbk, start + at);
    }
    if (end == gbk.size()) break;
    result.text.push_back('\n');
    start = end + 1;
  }
  return result;
}

std::size_t FirstInvalidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    // Eight ASCII bytes at a time: tables are mostly digits.
    if (i + 8 <= n) {
      std::uint64_t block;
      std::memcpy(&block, p + i, 8);
      if ((block & 0x8080808080808080ULL) == 0) {
        i += 8;
        continue;
      }
    }
    const unsigned c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    unsigned lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return i;
    }
    if (i + len > n || p[i + 1] < lo || p[i + 1] > hi) return i;
    for (std::size_t k = 2; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return i;
    }
    i += len;
  }
  return std::string_view::npos;
}

bool IsValidUtf8(std::string_view bytes) { return FirstInvalidUtf8(bytes) == std::string_view::npos; }

}  // namespace survey
