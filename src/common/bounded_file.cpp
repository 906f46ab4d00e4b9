#include "common/bounded_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/atomic_file.h"

namespace survey {

std::string TooLargeText(std::size_t maxBytes) {
  const bool mb = maxBytes > 1024 * 1024 && maxBytes % (1024 * 1024) == 0;
  const std::string size = mb ? std::to_string(maxBytes / (1024 * 1024)) + " MB" : std::to_string(maxBytes / 1024) + " KB";
  return "文件太大，超过 " + size + " (file larger than " + size + ")";
}

ReadOutcome ReadBoundedFile(const std::string& path, std::size_t maxBytes) {
  ReadOutcome result;
  const auto fail = [&result](std::string reason) {
    result.bytes.clear();
    result.bytes.shrink_to_fit();
    result.reason = std::move(reason);
    return result;
  };
  // Without O_NONBLOCK the open of a FIFO waits for a writer forever; the type is checked on
  // the open file, so it cannot change between the check and the read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return fail(SystemErrorText(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(SystemErrorText(errno));
  if (!S_ISREG(st.st_mode)) return fail("不是普通文件 (not a regular file)");
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return fail(TooLargeText(maxBytes));
  // The size may change while we read; never take more than the limit, and say so when the
  // file grew past it.
  result.bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  char chunk[1 << 16];
  for (;;) {
    const bool inPlace = got < result.bytes.size();
    char* at = inPlace ? result.bytes.data() + got : chunk;
    const std::size_t room = inPlace ? result.bytes.size() - got : sizeof chunk;
    const ssize_t n = ::read(fd, at, room);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(SystemErrorText(errno));
    }
    if (n == 0) break;
    const std::size_t count = static_cast<std::size_t>(n);
    if (!inPlace) {
      if (got + count > maxBytes) return fail(TooLargeText(maxBytes));
      result.bytes.append(chunk, count);
    }
    got += count;
  }
  result.bytes.resize(got);
  result.ok = true;
  return result;
}

}  // namespace survey
