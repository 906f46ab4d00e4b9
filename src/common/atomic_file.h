// The one way the suite writes a file. The bytes go to a temporary file in the target's
// folder; every write, the flush to disk (fsync) and the close are checked, and only then is
// the temporary file renamed over the target. On any failure the temporary file is removed,
// the target keeps its earlier content, and the error names the file and the system's reason
// ("磁盘空间不足 (No space left on device)").
//
// The system calls go through a replaceable table, so tests can make a write fail half-way
// with ENOSPC, or the close or the rename fail, for every kind of file the programs write.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace survey {

// The reason of a failed system call for the user: Chinese, then the system's English text,
// e.g. "磁盘空间不足 (No space left on device)".
std::string SystemErrorText(int errnum);

struct WriteOutcome {
  bool ok = false;
  std::string error;   // "<path>: <reason>" when not ok
  std::string reason;  // the reason alone
};

// Writes one file by atomic replace. The target must be a regular file the user may write
// (a link is followed to one; a dangling link, a link loop, a device such as /dev/null and a
// read-only file are refused), or a new name in a folder. The replacement keeps the old
// file's mode, without setuid and setgid. The temporary file is ".NAME.tmp-PID-XXXXXX";
// a successful Commit() also removes those that writers since killed left of the same file.
// Open() first; then Write() any number of times (a failed write is remembered, later writes
// do nothing); Commit() syncs, closes and renames. A writer destroyed without a successful
// Commit() removes its temporary file.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string target);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool Open();
  bool Write(std::string_view bytes);
  bool Commit();
  // Removes the temporary file; the target stays as it was.
  void Abort();

  bool Failed() const { return !error_.empty(); }
  // "<target>: <reason>" after a failure.
  const std::string& Error() const { return error_; }
  // The reason alone.
  const std::string& Reason() const { return reason_; }
  const std::string& Target() const { return target_; }

 private:
  bool Fail(int errnum);
  bool FailWith(std::string reason);

  std::string target_;
  std::string final_;  // the target with links resolved
  std::string temp_;
  int fd_ = -1;
  std::string error_, reason_;
};

// Removes the temporary files of `path` whose writer process no longer runs (Commit() does
// this after its rename).
void RemoveStaleTemporaries(const std::string& path);

// The whole file at once.
WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes);

// The system calls the writer makes; tests replace them.
struct FileSystemCalls {
  std::function<ssize_t(int fd, const void* data, size_t size)> write;
  std::function<int(int fd)> fsync;
  std::function<int(int fd)> close;
  std::function<int(const char* from, const char* to)> rename;
};

// The real calls.
FileSystemCalls RealFileSystemCalls();

// Replaces the calls for the lifetime of the object (tests only; not thread-safe).
class ScopedFileSystemCalls {
 public:
  explicit ScopedFileSystemCalls(FileSystemCalls calls);
  ~ScopedFileSystemCalls();
  ScopedFileSystemCalls(const ScopedFileSystemCalls&) = delete;
  ScopedFileSystemCalls& operator=(const ScopedFileSystemCalls&) = delete;

 private:
  FileSystemCalls saved_;
};

// Ready-made faults: writes succeed for the first `budget` bytes, then fail with `errnum`
// (a short write first when a write crosses the budget), as a filling disk does.
FileSystemCalls FailingWritesAfter(size_t budget, int errnum);
// Every close fails with `errnum` (after really closing, as close(2) does).
FileSystemCalls FailingClose(int errnum);
// Every rename fails with `errnum`.
FileSystemCalls FailingRename(int errnum);

}  // namespace survey
