#include "platform/text_files.h"

#include <cerrno>
#include <iconv.h>

#include "common/atomic_file.h"
#include "common/bounded_file.h"

namespace platform {

namespace {

// nullopt when the system has no converter for the pair: passing the text through unchanged
// would write UTF-8 where readers expect GBK.
std::optional<std::string> Convert(std::string_view in, const char* to, const char* from, const char* replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  out.reserve(in.size() * 2 + 4);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buf[4096];
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An unconvertible or invalid sequence: put the replacement and skip one character.
      out += replacement;
      size_t skip = 1;
      if (std::string_view(from) == "UTF-8") {
        const unsigned char c = static_cast<unsigned char>(*src);
        skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      }
      skip = std::min(skip, srcLeft);
      src += skip;
      srcLeft -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

const char* const kNoConverter = "系统缺少 GBK 文字编码转换 (no GBK converter on this system)";

std::optional<std::string> ToGbk(std::string_view utf8) { return Convert(utf8, "GBK", "UTF-8", "?"); }
std::optional<std::string> FromGbk(std::string_view gbk) { return Convert(gbk, "UTF-8", "GB18030", "\xEF\xBF\xBD"); }

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return ToGbk(utf8).value_or(std::string()); }
std::string GbkToUtf8(std::string_view gbk) { return FromGbk(gbk).value_or(std::string()); }

survey::Outcome WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const survey::WriteOutcome o = survey::WriteFileAtomically(path, bytes);
  return o.ok ? survey::Outcome::Done() : survey::Outcome::Failed(o.reason);
}

survey::Outcome WriteGbkFile(const std::string& path, std::string_view utf8) {
  const std::optional<std::string> gbk = ToGbk(utf8);
  if (!gbk) return survey::Outcome::Failed(kNoConverter);
  return WriteFileAtomically(path, *gbk);
}

std::optional<std::string> ReadGbkFile(const std::string& path, std::string* error, std::size_t maxBytes) {
  survey::ReadOutcome read = survey::ReadBoundedFile(path, maxBytes);
  if (!read.ok) {
    if (error) *error = std::move(read.reason);
    return std::nullopt;
  }
  std::optional<std::string> text = FromGbk(read.bytes);
  if (!text && error) *error = kNoConverter;
  return text;
}

}  // namespace platform
