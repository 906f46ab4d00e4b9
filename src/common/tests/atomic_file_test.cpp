#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/atomic-file-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    for (const std::string& name : Names()) ::unlink((dir_ + "/" + name).c_str());
    ::rmdir(dir_.c_str());
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir_.c_str())) {
      while (dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      ::closedir(d);
    }
    return names;
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  std::string dir_;
};

TEST_F(AtomicFileTest, ReplacesTheTargetAndLeavesNothingElse) {
  Put(Path("a.txt"), "old");
  ::chmod(Path("a.txt").c_str(), 0640);
  const survey::WriteOutcome o = survey::WriteFileAtomically(Path("a.txt"), "new content");
  ASSERT_TRUE(o.ok) << o.error;
  EXPECT_EQ(Read(Path("a.txt")), "new content");
  EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
  struct stat st {};
  ASSERT_EQ(::stat(Path("a.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file's mode is kept
}

TEST_F(AtomicFileTest, NewFileGetsTheUsualModeNotTheTemporaryOne) {
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(survey::WriteFileAtomically(Path("n.txt"), "x").ok);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(Path("n.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(AtomicFileTest, WritingThroughALinkReplacesTheLinkedFile) {
  Put(Path("real.txt"), "old");
  ASSERT_EQ(::symlink(Path("real.txt").c_str(), Path("link.txt").c_str()), 0);
  ASSERT_TRUE(survey::WriteFileAtomically(Path("link.txt"), "new").ok);
  EXPECT_EQ(Read(Path("real.txt")), "new");
  struct stat st {};
  ASSERT_EQ(::lstat(Path("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// Each fault: the target keeps its old bytes, no temporary file stays behind, and the error
// names the file and the system's reason.
TEST_F(AtomicFileTest, AFaultAnywhereLeavesTheTargetAsItWas) {
  const std::string big(100000, 'x');
  struct Case {
    const char* name;
    survey::FileSystemCalls calls;
    const char* reason;
  };
  const Case cases[] = {
      {"disk fills mid-way", survey::FailingWritesAfter(5000, ENOSPC), "磁盘空间不足 (No space left on device)"},
      {"disk full at once", survey::FailingWritesAfter(0, ENOSPC), "磁盘空间不足 (No space left on device)"},
      {"quota", survey::FailingWritesAfter(10, EDQUOT), "超出磁盘配额"},
      {"close fails", survey::FailingClose(EIO), "输入输出错误 (Input/output error)"},
      {"rename fails", survey::FailingRename(EXDEV), "不能跨文件系统改名"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Put(Path("t.txt"), "old");
    survey::WriteOutcome o;
    {
      survey::ScopedFileSystemCalls fault(c.calls);
      o = survey::WriteFileAtomically(Path("t.txt"), big);
    }
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error.rfind(Path("t.txt") + ": ", 0), 0u) << o.error;
    EXPECT_NE(o.reason.find(c.reason), std::string::npos) << o.reason;
    EXPECT_EQ(Read(Path("t.txt")), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"t.txt"});
  }
  // The seam is gone with its scope.
  EXPECT_TRUE(survey::WriteFileAtomically(Path("t.txt"), big).ok);
  EXPECT_EQ(Read(Path("t.txt")), big);
}

TEST_F(AtomicFileTest, UnwritablePlacesAreRefusedWithTheReason) {
  ::mkdir(Path("sub").c_str(), 0755);
  const survey::WriteOutcome dir = survey::WriteFileAtomically(Path("sub"), "x");
  EXPECT_FALSE(dir.ok);
  EXPECT_NE(dir.reason.find("这是一个文件夹"), std::string::npos) << dir.reason;
  ::rmdir(Path("sub").c_str());
  const survey::WriteOutcome missing = survey::WriteFileAtomically(Path("none/x.txt"), "x");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.reason.find("No such file or directory"), std::string::npos) << missing.reason;
  EXPECT_TRUE(Names().empty());
}

TEST_F(AtomicFileTest, StreamedWritesStopAtTheFirstFailureAndAbortOnDestruction) {
  Put(Path("s.txt"), "old");
  {
    survey::ScopedFileSystemCalls fault(survey::FailingWritesAfter(3, ENOSPC));
    survey::AtomicFileWriter w(Path("s.txt"));
    ASSERT_TRUE(w.Open());
    EXPECT_TRUE(w.Write("abc"));
    EXPECT_FALSE(w.Write("def"));
    EXPECT_FALSE(w.Write("ghi"));
    EXPECT_FALSE(w.Commit());
    EXPECT_NE(w.Reason().find("磁盘空间不足"), std::string::npos);
  }
  {
    survey::AtomicFileWriter w(Path("s.txt"));
    ASSERT_TRUE(w.Open());
    EXPECT_TRUE(w.Write("never committed"));
  }
  EXPECT_EQ(Read(Path("s.txt")), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"s.txt"});
}

}  // namespace
