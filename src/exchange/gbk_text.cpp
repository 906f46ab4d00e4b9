#include "exchange/gbk_text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "exchange/exchange_error.h"

namespace survey::exchange {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw ExchangeError("系统缺少 GBK 文字编码转换。");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the conversion of `in` to `out`; false at the first sequence that cannot be
  // converted, with `at` its offset in `in`.
  bool Append(std::string_view in, std::string& out, std::size_t& at) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buf[4096];
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        at = static_cast<std::size_t>(src - in.data());
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t cd_;
};

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

bool TryUtf8ToGbk(std::string_view utf8, std::string& gbk, std::size_t& badAt) {
  gbk.clear();
  if (IsAscii(utf8)) {  // the common case: numbers and stations
    gbk.assign(utf8);
    return true;
  }
  Converter converter("GBK", "UTF-8");
  gbk.reserve(utf8.size());
  return converter.Append(utf8, gbk, badAt);
}

std::string DecodeFieldText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (IsAscii(bytes)) return std::string(bytes);
  {
    // Valid UTF-8 is UTF-8: iconv refuses overlong forms, surrogates and what lies beyond
    // U+10FFFF.
    Converter utf8("UTF-8", "UTF-8");
    std::string out;
    std::size_t at = 0;
    if (utf8.Append(bytes, out, at)) return out;
  }
  // GBK, converted line by line so that a bad byte is refused with its line (no GBK trail
  // byte is a line feed).
  Converter converter("UTF-8", "GB18030");
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  int line = 1;
  std::size_t start = 0;
  while (true) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::size_t at = 0;
    if (!converter.Append(bytes.substr(start, end - start), out, at)) {
      RefuseLine(line, "既不是 UTF-8 也不是 GBK 编码的文字（第 " + std::to_string(at + 1) + " 个字节）。");
    }
    if (end == bytes.size()) break;
    out.push_back('\n');
    start = end + 1;
    ++line;
  }
  return out;
}

}  // namespace survey::exchange
