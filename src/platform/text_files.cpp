#include "platform/text_files.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <iconv.h>

namespace platform {

namespace {

std::string Convert(std::string_view in, const char* to, const char* from, const char* replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
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

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return Convert(utf8, "GBK", "UTF-8", "?"); }
std::string GbkToUtf8(std::string_view gbk) { return Convert(gbk, "UTF-8", "GB18030", "\xEF\xBF\xBD"); }

FileOutcome WriteFileAtomically(const std::string& path, std::string_view bytes) {
  QSaveFile file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  if (!file.open(QIODevice::WriteOnly)) return {false, file.errorString().toStdString()};
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    const std::string reason = file.errorString().toStdString();
    file.cancelWriting();
    return {false, reason};
  }
  if (!file.commit()) return {false, file.errorString().toStdString()};
  return {true, {}};
}

FileOutcome WriteGbkFile(const std::string& path, std::string_view utf8) {
  return WriteFileAtomically(path, Utf8ToGbk(utf8));
}

std::optional<std::string> ReadGbkFile(const std::string& path, std::string* error) {
  QFile file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = file.errorString().toStdString();
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  return GbkToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace platform
