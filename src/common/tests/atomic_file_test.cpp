#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>
#include <unistd.h>

namespace survey {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  // A temporary file left behind shows in the count.
  long Files() const { return std::distance(fs::directory_iterator(dir_), fs::directory_iterator()); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  static std::string Read(const std::string& path) { return (std::stringstream() << std::ifstream(path).rdbuf()).str(); }
  static void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static fs::perms Mode(const std::string& path) { return fs::status(path).permissions(); }

  const std::string dir_ = "/tmp/atomic-file-test-" + std::to_string(::getpid());
};

TEST_F(AtomicFileTest, ReplacesTheTargetKeepingItsModeAndLinks) {
  Put(Path("a.txt"), "old");
  ::chmod(Path("a.txt").c_str(), 0640);
  ASSERT_EQ(::symlink(Path("a.txt").c_str(), Path("link.txt").c_str()), 0);
  const WriteOutcome o = WriteFileAtomically(Path("link.txt"), "new content");
  ASSERT_TRUE(o.ok) << o.error;
  EXPECT_EQ(Read(Path("a.txt")), "new content");
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(Mode(Path("a.txt")), fs::perms(0640));
  EXPECT_EQ(Files(), 2);
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(WriteFileAtomically(Path("n.txt"), "x").ok);
  ::umask(mask);
  EXPECT_EQ(Mode(Path("n.txt")), fs::perms(0644));  // not the temporary file's 0600
}

// Each fault: the target keeps its old bytes, no temporary file stays behind, and the error
// names the file and the system's reason.
TEST_F(AtomicFileTest, AFaultAnywhereLeavesTheTargetAsItWas) {
  FileSystemCalls failingSync;
  failingSync.fsync = [](int) { return errno = EIO, -1; };
  const struct { const char* name; FileSystemCalls calls; const char* reason; } cases[] = {
      {"disk fills mid-way", FailingWritesAfter(5000, ENOSPC), "磁盘空间不足 (No space left on device)"},
      {"disk full at once", FailingWritesAfter(0, ENOSPC), "磁盘空间不足 (No space left on device)"},
      {"quota", FailingWritesAfter(10, EDQUOT), "超出磁盘配额"},
      {"sync fails", failingSync, "输入输出错误 (Input/output error)"},
      {"close fails", FailingClose(EIO), "输入输出错误 (Input/output error)"},
      {"rename fails", FailingRename(EXDEV), "不能跨文件系统改名"},
  };
  const std::string big(100000, 'x');
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Put(Path("t.txt"), "old");
    const WriteOutcome o = [&] {
      ScopedFileSystemCalls fault(c.calls);
      return WriteFileAtomically(Path("t.txt"), big);
    }();
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error, Path("t.txt") + ": " + o.reason);
    EXPECT_NE(o.reason.find(c.reason), std::string::npos) << o.reason;
    EXPECT_EQ(Read(Path("t.txt")), "old");
    EXPECT_EQ(Files(), 1);
  }
  EXPECT_TRUE(WriteFileAtomically(Path("t.txt"), big).ok);  // the fault is gone with its scope
  EXPECT_EQ(Read(Path("t.txt")), big);
}

TEST_F(AtomicFileTest, UnwritablePlacesAndUncommittedWritesChangeNothing) {
  fs::create_directory(Path("sub"));
  EXPECT_NE(WriteFileAtomically(Path("sub"), "x").reason.find("这是一个文件夹"), std::string::npos);
  EXPECT_NE(WriteFileAtomically(Path("none/x.txt"), "x").reason.find("No such file or directory"), std::string::npos);
  Put(Path("s.txt"), "old");
  {
    ScopedFileSystemCalls fault(FailingWritesAfter(3, ENOSPC));
    AtomicFileWriter w(Path("s.txt"));
    ASSERT_TRUE(w.Open());
    EXPECT_TRUE(w.Write("abc"));
    EXPECT_FALSE(w.Write("def"));
    EXPECT_FALSE(w.Commit());
  }
  {
    AtomicFileWriter w(Path("s.txt"));
    ASSERT_TRUE(w.Open() && w.Write("never committed"));
  }
  EXPECT_EQ(Read(Path("s.txt")), "old");
  EXPECT_EQ(Files(), 2);  // "sub" and "s.txt"
}

// Targets that must not be replaced: each is refused with its reason and stays what it was
// (a link stays a link, a read-only file keeps its bytes and mode), and no temporary file
// stays behind.
TEST_F(AtomicFileTest, TargetsThatAreNotWritableFilesAreRefusedAsTheyAre) {
  Put(Path("ro.txt"), "old");
  ::chmod(Path("ro.txt").c_str(), 0444);
  ASSERT_EQ(::symlink(Path("nowhere.txt").c_str(), Path("dangling.txt").c_str()), 0);
  ASSERT_EQ(::symlink(Path("loop-b").c_str(), Path("loop-a").c_str()), 0);
  ASSERT_EQ(::symlink(Path("loop-a").c_str(), Path("loop-b").c_str()), 0);
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  const long before = Files();
  const struct {
    std::string target;
    const char* reason;
  } cases[] = {
      {Path("ro.txt"), "没有访问权限 (Permission denied)"},
      {Path("dangling.txt"), "符号链接指向的文件不存在"},
      {Path("loop-a"), "符号链接层数太多"},
      {"/dev/null", "这是一个设备，不是普通文件"},
      {Path("fifo"), "不是普通文件，不能写入"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const WriteOutcome o = WriteFileAtomically(c.target, "new");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.reason.rfind(c.reason, 0), 0u) << o.reason;
    EXPECT_EQ(o.error.rfind(c.target + ": ", 0), 0u) << o.error;
  }
  EXPECT_EQ(Read(Path("ro.txt")), "old");
  EXPECT_EQ(Mode(Path("ro.txt")), fs::perms(0444));
  EXPECT_TRUE(fs::is_symlink(Path("dangling.txt")));
  EXPECT_FALSE(fs::exists(Path("nowhere.txt")));
  EXPECT_TRUE(fs::is_symlink(Path("loop-a")));
  EXPECT_EQ(Files(), before);
}

TEST_F(AtomicFileTest, TheModeIsKeptWithoutSetuidOrSetgid) {
  for (const mode_t mode : {04755, 02750, 06700, 01644}) {
    SCOPED_TRACE(mode);
    Put(Path("tool"), "old");
    ASSERT_EQ(::chmod(Path("tool").c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomically(Path("tool"), "new").ok);
    EXPECT_EQ(Mode(Path("tool")), fs::perms(mode & 01777));
    EXPECT_EQ(Read(Path("tool")), "new");
  }
  if (::geteuid() == 0) {  // only root may give a file away: the replacement keeps its owner
    ASSERT_EQ(::chown(Path("tool").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(WriteFileAtomically(Path("tool"), "newer").ok);
    struct stat st {};
    ASSERT_EQ(::stat(Path("tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
}

// A writer killed before its rename leaves ".NAME.tmp-PID-XXXXXX"; the next successful write
// of NAME removes it, and nothing else: not the file of a writer still running (this process
// or another), not another file's, not a name that only looks alike.
TEST_F(AtomicFileTest, TheNextWriteRemovesTemporariesOfKilledWriters) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);  // its pid now names no process
  const std::string dead = std::to_string(child), self = std::to_string(::getpid()), alive = "1";
  const std::vector<std::string> left = {".f.txt.tmp-" + dead + "-Ab12Cd", ".f.txt.tmp-" + dead + "-zzzzzz"};
  const std::vector<std::string> kept = {".f.txt.tmp-" + self + "-Ab12Cd", ".f.txt.tmp-" + alive + "-Ab12Cd",
                                         ".g.txt.tmp-" + dead + "-Ab12Cd", ".f.txt.tmp-" + dead + "-Ab12C",
                                         ".f.txt.tmp-x" + dead + "-Ab12Cd", ".f.txt.backup", "f.txt.tmp-" + dead + "-Ab12Cd"};
  for (const std::string& name : left) Put(Path(name), std::string(1000, 'x'));
  for (const std::string& name : kept) Put(Path(name), "keep");
  {
    ScopedFileSystemCalls fault(FailingRename(EIO));
    EXPECT_FALSE(WriteFileAtomically(Path("f.txt"), "first").ok);  // a failed write cleans nothing
  }
  for (const std::string& name : left) EXPECT_TRUE(fs::exists(Path(name))) << name;
  ASSERT_TRUE(WriteFileAtomically(Path("f.txt"), "second").ok);
  for (const std::string& name : left) EXPECT_FALSE(fs::exists(Path(name))) << name;
  for (const std::string& name : kept) EXPECT_EQ(Read(Path(name)), "keep") << name;
  EXPECT_EQ(Read(Path("f.txt")), "second");
  EXPECT_EQ(Files(), static_cast<long>(kept.size()) + 1);
}

}  // namespace
}  // namespace survey
