#include "alignment/output_guard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ostream>

#include "refusal.h"

namespace survey::alignment {
namespace {

namespace fs = std::filesystem;

TEST(OutputGuard, AnOutputThatIsAnInputByAnyNameIsRefused) {
  const fs::path dir = fs::temp_directory_path() / ("output-guard-" + std::to_string(::getpid()));
  fs::create_directories(dir / "sub");
  const std::string route = (dir / "r.csv").string(), other = (dir / "other.csv").string();
  std::ofstream(route) << "x";
  std::ofstream(other) << "y";
  fs::create_symlink(route, dir / "link.csv");
  fs::create_hard_link(route, dir / "hard.csv");
  const struct {
    std::string output;
    bool refused;
  } cases[] = {
      {route, true},
      {(dir / "sub" / ".." / "r.csv").string(), true},
      {(dir / "link.csv").string(), true},
      {(dir / "hard.csv").string(), true},
      {other, false},
      {(dir / "new.xml").string(), false},
  };
  for (const auto& c : cases) {
    const std::string refusal = RefusalOf([&] { RefuseOutputOverInput("out", c.output, {other + "-missing", route}); });
    if (c.refused) {
      EXPECT_EQ(refusal, "--out 的输出文件“" + c.output + "”就是输入文件“" + route + "”，写入会毁掉输入；请另选输出文件名。");
    } else {
      EXPECT_EQ(refusal, "(accepted)") << c.output;
    }
  }
  fs::remove_all(dir);

  ParsedOptions options;
  options.values = {{"jd", {"a.csv"}}, {"profile", {"p.csv"}}, {"points", {"q.csv"}}, {"out", {"o.xml"}}, {"interval", {"5"}}};
  EXPECT_EQ(InputFiles(options), (std::vector<std::string>{"a.csv", "p.csv", "q.csv"}));
}

// Lines past the cap are counted, not kept, however the writes split them.
TEST(OutputGuard, LineCappedBufferKeepsTheFirstLinesAndCountsAll) {
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{1000}}) {
    LineCappedBuffer buffer(2);
    std::ostream out(&buffer);
    const std::string text = "a,b\n1,2\n3,4\n5,6\n7";
    for (std::size_t at = 0; at < text.size(); at += chunk) out << text.substr(at, chunk);
    out.flush();
    EXPECT_EQ(buffer.Kept(), "a,b\n1,2\n") << chunk;
    EXPECT_EQ(buffer.Lines(), 4u) << chunk;
  }
  EXPECT_EQ(ReportTooLongText(123456), "报表有123456行，超过10000行，无法打印。\n请加大点间距离或分段计算后打印。");
}

}  // namespace
}  // namespace survey::alignment
