#include "common/bounded_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace survey {
namespace {

namespace fs = std::filesystem;

class BoundedFileTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  const std::string dir_ = "/tmp/bounded-file-test-" + std::to_string(::getpid());
};

// Whatever is not a regular file within the limit is refused at once, with its reason: a
// device would read without end and a FIFO would wait for a writer.
TEST_F(BoundedFileTest, OnlyRegularFilesWithinTheLimitAreRead) {
  std::ofstream(Path("ten.txt"), std::ios::binary) << "0123456789";
  ASSERT_EQ(::symlink(Path("ten.txt").c_str(), Path("link.txt").c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", Path("zero.alnproj").c_str()), 0);
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  ASSERT_EQ(::symlink(Path("fifo").c_str(), Path("fifo-link").c_str()), 0);
  fs::create_directories(Path("folder"));
  const struct {
    std::string path;
    std::size_t limit;
    const char* reasonStart;  // nullptr: read
  } cases[] = {
      {Path("ten.txt"), 10, nullptr},
      {Path("link.txt"), 10, nullptr},
      {Path("ten.txt"), 9, "文件太大，超过 0 KB"},
      {Path("ten.txt"), 64u << 20, nullptr},
      {Path("zero.alnproj"), 64u << 20, "不是普通文件"},
      {"/dev/zero", 1u << 30, "不是普通文件"},
      {Path("fifo"), 100, "不是普通文件"},
      {Path("fifo-link"), 100, "不是普通文件"},
      {Path("folder"), 100, "不是普通文件"},
      {Path("missing"), 100, "文件夹不存在"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " limit " + std::to_string(c.limit));
    const ReadOutcome o = ReadBoundedFile(c.path, c.limit);
    if (!c.reasonStart) {
      ASSERT_TRUE(o.ok) << o.reason;
      EXPECT_EQ(o.bytes, "0123456789");
    } else {
      EXPECT_FALSE(o.ok);
      EXPECT_TRUE(o.bytes.empty());
      EXPECT_EQ(o.reason.rfind(c.reasonStart, 0), 0u) << o.reason;
    }
  }
}

TEST(TooLargeText, NamesTheLimitInTheUnitItWasGivenIn) {
  EXPECT_EQ(TooLargeText(64u << 20), "文件太大，超过 64 MB (file larger than 64 MB)");
  EXPECT_EQ(TooLargeText(1u << 20), "文件太大，超过 1024 KB (file larger than 1024 KB)");
}

}  // namespace
}  // namespace survey
