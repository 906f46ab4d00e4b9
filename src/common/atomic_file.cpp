#include "common/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace survey {

namespace {

FileSystemCalls& Calls() {
  static FileSystemCalls calls = RealFileSystemCalls();
  return calls;
}

const char* ChineseReason(int errnum) {
  switch (errnum) {
    case ENOSPC: return "磁盘空间不足";
    case EDQUOT: return "超出磁盘配额";
    case EFBIG: return "文件太大";
    case EACCES:
    case EPERM: return "没有访问权限";
    case EROFS: return "文件系统是只读的";
    case ENOENT: return "文件夹不存在";
    case ENOTDIR: return "路径中有一段不是文件夹";
    case EISDIR: return "这是一个文件夹";
    case ENAMETOOLONG: return "文件名太长";
    case EIO: return "输入输出错误";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case EXDEV: return "不能跨文件系统改名";
    case EBUSY: return "文件正被使用";
    case ETXTBSY: return "文件正被使用";
    case ELOOP: return "符号链接层数太多";
    default: return "无法写入文件";
  }
}

}  // namespace

std::string SystemErrorText(int errnum) {
  const char* english = strerrordesc_np(errnum);
  std::string text = ChineseReason(errnum);
  text += " (";
  text += english ? english : ("error " + std::to_string(errnum)).c_str();
  text += ")";
  return text;
}

FileSystemCalls RealFileSystemCalls() {
  FileSystemCalls c;
  c.write = [](int fd, const void* data, size_t size) { return ::write(fd, data, size); };
  c.fsync = [](int fd) { return ::fsync(fd); };
  c.close = [](int fd) { return ::close(fd); };
  c.rename = [](const char* from, const char* to) { return ::rename(from, to); };
  return c;
}

ScopedFileSystemCalls::ScopedFileSystemCalls(FileSystemCalls calls) : saved_(Calls()) {
  FileSystemCalls real = RealFileSystemCalls();
  if (!calls.write) calls.write = real.write;
  if (!calls.fsync) calls.fsync = real.fsync;
  if (!calls.close) calls.close = real.close;
  if (!calls.rename) calls.rename = real.rename;
  Calls() = std::move(calls);
}

ScopedFileSystemCalls::~ScopedFileSystemCalls() { Calls() = std::move(saved_); }

FileSystemCalls FailingWritesAfter(size_t budget, int errnum) {
  FileSystemCalls c;
  auto left = std::make_shared<size_t>(budget);
  c.write = [left, errnum](int fd, const void* data, size_t size) -> ssize_t {
    if (*left == 0) {
      errno = errnum;
      return -1;
    }
    const size_t n = size < *left ? size : *left;
    const ssize_t done = ::write(fd, data, n);
    if (done > 0) *left -= static_cast<size_t>(done);
    return done;
  };
  return c;
}

FileSystemCalls FailingClose(int errnum) {
  FileSystemCalls c;
  c.close = [errnum](int fd) {
    ::close(fd);
    errno = errnum;
    return -1;
  };
  return c;
}

FileSystemCalls FailingRename(int errnum) {
  FileSystemCalls c;
  c.rename = [errnum](const char*, const char*) {
    errno = errnum;
    return -1;
  };
  return c;
}

AtomicFileWriter::AtomicFileWriter(std::string target) : target_(std::move(target)) {}

AtomicFileWriter::~AtomicFileWriter() { Abort(); }

bool AtomicFileWriter::Fail(int errnum) {
  if (error_.empty()) {
    reason_ = SystemErrorText(errnum);
    error_ = target_ + ": " + reason_;
  }
  Abort();
  return false;
}

bool AtomicFileWriter::Open() {
  if (fd_ >= 0 || Failed()) return !Failed();
  // A link is followed, so that saving over it replaces the file it points to, not the link.
  std::string final = target_;
  if (char* real = ::realpath(target_.c_str(), nullptr)) {
    final = real;
    std::free(real);
  }
  struct stat existing {};
  const bool exists = ::stat(final.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return Fail(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);

  const std::size_t slash = final.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : final.substr(0, slash == 0 ? 1 : slash);
  std::string base = slash == std::string::npos ? final : final.substr(slash + 1);
  if (base.empty()) return Fail(EISDIR);
  if (base.size() > 200) base.resize(200);  // room for the marks within NAME_MAX
  std::string pattern = dir + "/." + base + ".XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return Fail(errno);
  fd_ = fd;
  temp_ = pattern;
  final_ = final;
  // The new file gets the mode of the one it replaces, or what a plain create would give.
  mode_t mode = 0;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd_, mode) != 0) return Fail(errno);
  return true;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return Fail(Failed() ? EIO : EBADF);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = Calls().write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    if (n == 0) return Fail(ENOSPC);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool AtomicFileWriter::Commit() {
  if (fd_ < 0) return Fail(Failed() ? EIO : EBADF);
  if (Calls().fsync(fd_) != 0) return Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (Calls().close(fd) != 0) return Fail(errno);
  if (Calls().rename(temp_.c_str(), final_.c_str()) != 0) return Fail(errno);
  temp_.clear();
  // The rename itself reaches the disk with the folder; a folder that cannot be synced (some
  // network file systems) does not make the written file less complete.
  const std::size_t slash = final_.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : final_.substr(0, slash == 0 ? 1 : slash);
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

void AtomicFileWriter::Abort() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter writer(path);
  if (writer.Open() && writer.Write(bytes) && writer.Commit()) return {true, {}, {}};
  return {false, writer.Error(), writer.Reason()};
}

}  // namespace survey
