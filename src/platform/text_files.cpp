#include "platform/text_files.h"

#include "common/atomic_file.h"
#include "common/bounded_file.h"
#include "common/gbk_text.h"

namespace platform {

namespace {

// nullopt when the system has no converter: passing the text through unchanged would write
// UTF-8 where readers expect GBK.
std::optional<std::string> Converted(survey::GbkConversion converted) {
  if (converted.status == survey::GbkConversion::Status::NoConverter) return std::nullopt;
  return std::move(converted.text);
}

const char* const kNoConverter = "系统缺少 GBK 文字编码转换 (no GBK converter on this system)";

std::optional<std::string> ToGbk(std::string_view utf8) { return Converted(survey::EncodeGbk(utf8, "?")); }
std::optional<std::string> FromGbk(std::string_view gbk) { return Converted(survey::DecodeGbk(gbk, "\xEF\xBF\xBD")); }

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
