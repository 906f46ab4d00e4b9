#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
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

}  // namespace
}  // namespace survey
