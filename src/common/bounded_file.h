// The one way the suite reads a whole file it was given: only a regular file (after links
// are followed), never more than a stated number of bytes. A device such as /dev/zero would
// otherwise read without end, and a FIFO would block the window until a writer appears.
#pragma once

#include <cstddef>
#include <string>

namespace survey {

struct ReadOutcome {
  bool ok = false;
  std::string bytes;
  // Why it could not be read, in Chinese with the system's text where there is one
  // ("不是普通文件 (not a regular file)"); empty when ok.
  std::string reason;
};

// The whole file, or the reason it is refused: it cannot be opened, is not a regular file,
// is larger than `maxBytes`, or grows beyond it while it is read.
ReadOutcome ReadBoundedFile(const std::string& path, std::size_t maxBytes);

// "文件太大，超过 64 MB (file larger than 64 MB)"; sizes up to a megabyte in KB.
std::string TooLargeText(std::size_t maxBytes);

}  // namespace survey
