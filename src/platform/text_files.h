// Text files of the suite: GBK on disk (what Chinese desktop software reads), UTF-8 inside.
// Files with only ASCII content are byte-identical either way.
//
// Writes replace the target atomically: the text goes to a temporary file beside it, which is
// renamed over the target only when complete, so a failed write never leaves a half-written
// file in place of a good one.
#pragma once

#include "common/outcome.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 to GBK; a character GBK cannot hold becomes "?". Empty when the system has no
// converter (the file functions refuse then).
std::string Utf8ToGbk(std::string_view utf8);
// GBK (read as GB18030, its superset) to UTF-8; an invalid byte becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

survey::Outcome WriteFileAtomically(const std::string& path, std::string_view bytes);
survey::Outcome WriteGbkFile(const std::string& path, std::string_view utf8);
// The most a parameter file may hold; anything bigger is not one of ours.
inline constexpr std::size_t kMaxParameterFileBytes = 1024 * 1024;

// The file's text as UTF-8, or nullopt (with the reason in *error) when it cannot be read.
// Only regular files are read (a FIFO or a device is refused, never waited on), and only up
// to `maxBytes`.
std::optional<std::string> ReadGbkFile(const std::string& path, std::string* error = nullptr,
                                       std::size_t maxBytes = kMaxParameterFileBytes);

}  // namespace platform
