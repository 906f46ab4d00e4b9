#include "common/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <signal.h>
#include <vector>
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

// ".NAME.tmp-": the temporary files of NAME start so, followed by the writer's process id.
std::string TemporaryPrefix(const std::string& base) { return "." + base + ".tmp-"; }

}  // namespace

void RemoveStaleTemporaries(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base.size() > 200) base.resize(200);
  const std::string prefix = TemporaryPrefix(base);
  DIR* folder = ::opendir(dir.c_str());
  if (!folder) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix)) continue;
    // PID-XXXXXX: a writer of this process may still be at work (another thread), and one
    // of a living process is; only the files of writers that are gone are left over.
    const std::string_view rest = name.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || rest.size() != dash + 7 || dash > 10) continue;
    if (rest.substr(0, dash).find_first_not_of("0123456789") != std::string_view::npos) continue;
    const long pid = std::strtol(std::string(rest.substr(0, dash)).c_str(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid() || pid > INT_MAX) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    stale.emplace_back(name);
  }
  ::closedir(folder);
  for (const std::string& name : stale) {
    const std::string file = dir + "/" + name;
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) ::unlink(file.c_str());
  }
}

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

bool AtomicFileWriter::Fail(int errnum) { return FailWith(SystemErrorText(errnum)); }

bool AtomicFileWriter::FailWith(std::string reason) {
  if (error_.empty()) {
    reason_ = std::move(reason);
    error_ = target_ + ": " + reason_;
  }
  Abort();
  return false;
}

bool AtomicFileWriter::Open() {
  if (fd_ >= 0 || Failed()) return !Failed();
  // A link is followed, so that saving over it replaces the file it points to, not the link;
  // a link that leads nowhere (dangling, or a loop) is refused rather than replaced by a file.
  std::string final = target_;
  struct stat link {};
  const bool isLink = ::lstat(target_.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  if (char* real = ::realpath(target_.c_str(), nullptr)) {
    final = real;
    std::free(real);
  } else if (isLink) {
    if (errno != ENOENT) return Fail(errno);  // ELOOP: a loop
    return FailWith("符号链接指向的文件不存在 (dangling symbolic link)");
  }
  struct stat existing {};
  const bool exists = ::stat(final.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Fail(EISDIR);
  if (exists && (S_ISCHR(existing.st_mode) || S_ISBLK(existing.st_mode))) {
    return FailWith("这是一个设备，不是普通文件，不能写入 (a device, not a regular file)");
  }
  if (exists && !S_ISREG(existing.st_mode)) return FailWith("不是普通文件，不能写入 (not a regular file)");
  // A file the user may not write (or one nobody may write: read-only on purpose) is not
  // replaced, although the folder would allow the rename.
  if (exists && (::access(final.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0)) return Fail(EACCES);

  const std::size_t slash = final.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : final.substr(0, slash == 0 ? 1 : slash);
  std::string base = slash == std::string::npos ? final : final.substr(slash + 1);
  if (base.empty()) return Fail(EISDIR);
  if (base.size() > 200) base.resize(200);  // room for the marks within NAME_MAX
  std::string pattern = dir + "/" + TemporaryPrefix(base) + std::to_string(::getpid()) + "-XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return Fail(errno);
  fd_ = fd;
  temp_ = pattern;
  final_ = final;
  // The new file gets the mode of the one it replaces (without setuid and setgid, which a
  // written data file must not gain), or what a plain create would give; and its owner where
  // the system lets us (as root), so that replacing does not hand the file to us.
  mode_t mode = 0;
  if (exists) {
    mode = existing.st_mode & 07777 & ~static_cast<mode_t>(S_ISUID | S_ISGID);
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(fd_, existing.st_uid, existing.st_gid);
    }
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
  RemoveStaleTemporaries(final_);
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
