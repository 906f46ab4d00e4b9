// GBK, the encoding of the suite's files on disk and of the field's point lists, to and from
// the UTF-8 the programs hold, through the system's iconv. GBK is read as GB18030, its
// superset, so that a file another program wrote with the extended characters still reads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace survey {

struct GbkConversion {
  enum class Status {
    Done,
    Unconvertible,  // a sequence the target cannot hold, with no replacement asked for
    NoConverter,    // the system has no converter: passing the text on unchanged would be wrong
  };
  Status status = Status::Done;
  std::string text;       // Done: the whole text; Unconvertible: what came before the bad sequence
  std::size_t badAt = 0;  // Unconvertible: the offset of the bad sequence in the input
  int badLine = 0;        // Unconvertible: its line (from 1)
  std::size_t badColumn = 0;  // Unconvertible: its byte in that line (from 0)

  bool ok() const { return status == Status::Done; }
};

// UTF-8 to GBK. Each character GBK cannot hold becomes `replacement`; with none it is refused
// (Unconvertible), never replaced behind the caller's back.
GbkConversion EncodeGbk(std::string_view utf8, std::string_view replacement = {});

// GBK to UTF-8, one line at a time (no GBK trail byte is a line feed), so that a bad byte is
// named by its line. Each bad byte becomes `replacement`; with none it is refused.
GbkConversion DecodeGbk(std::string_view gbk, std::string_view replacement = {});

// The offset of the first byte that breaks UTF-8 (overlong forms, surrogates and code points
// beyond U+10FFFF included), or npos. Checked here, not by iconv, which lets the last through.
std::size_t FirstInvalidUtf8(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

}  // namespace survey
