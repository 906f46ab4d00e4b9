// report --table check end to end: the built program writes the deviation report as a PDF, read
// back with pdftotext (the table, the summary, the page count with the plot) and pdftoppm (the
// failed points painted red on the plot page, none when every point passes).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/testing/shell_run.h"

namespace {

using Result = survey::testing::ShellResult;
using survey::testing::RunShell;

// Red pixels of a binary PPM (P6, maxval 255).
std::size_t RedPixels(const std::string& ppm) {
  std::istringstream in(ppm);
  std::string magic;
  int w = 0, h = 0, max = 0;
  in >> magic >> w >> h >> max;
  in.get();
  std::size_t red = 0;
  for (long i = 0; i < static_cast<long>(w) * h; ++i) {
    const int r = in.get(), g = in.get(), b = in.get();
    if (!in) break;
    if (r > 180 && g < 60 && b < 60) ++red;
  }
  return red;
}

class CheckReport : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / "alignment-check-report-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "jd.csv") << "name,x,y,r\nQD,1000,2000\nZD,2000,2000\n";
    std::ofstream(dir / "profile.csv") << "station,elevation\n0,49\n300,52\n";
  }
  Result Report(const std::string& points, const std::string& more = "") {
    std::ofstream(dir / "points.csv") << points;
    std::filesystem::remove(dir / "check.pdf");
    return RunShell("cd '" + dir.string() + "' && QT_QPA_PLATFORM=offscreen '" + ALIGNMENT_PROGRAM +
                    "' report --table check --pdf check.pdf --jd jd.csv --profile profile.csv --points points.csv " +
                    more + " 2>&1");
  }
  std::filesystem::path dir;
};

TEST_F(CheckReport, PlotPageThenTheTableWithTheSummary) {
  // K0+100 design 50.00: A +0.004 passes, B +0.012 fails, C at the lower limit −0.015 passes.
  const Result written = Report("name,x,y,z\nA,1100,2000,50.004\nB,1150,2000,50.512\nC,1200,2000,50.985\n",
                                "--tolerance-z +0.010/-0.015");
  ASSERT_EQ(written.status, 0) << written.out;
  const Result text = RunShell("pdftotext -layout '" + (dir / "check.pdf").string() + "' - 2>&1");
  ASSERT_EQ(text.status, 0) << text.out;
  EXPECT_NE(text.out.find("共 3 点，合格 2 点，不合格 1 点"), std::string::npos) << text.out;
  // pdftotext may drop the blanks between the CJK words of the page line.
  std::string compact = text.out;
  std::erase(compact, ' ');
  EXPECT_NE(compact.find("第2页共2页"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("不合格"), std::string::npos);
  EXPECT_NE(text.out.find("填挖高度"), std::string::npos);
  EXPECT_NE(text.out.find("K0+150.000"), std::string::npos);
  const Result page = RunShell("pdftoppm -f 1 -l 1 -r 40 '" + (dir / "check.pdf").string() + "' 2>/dev/null");
  EXPECT_GT(RedPixels(page.out), 0u);

  const Result passing = Report("name,x,y,z\nA,1100,2000,50.004\nC,1200,2000,50.985\n", "--tolerance-z +0.010/-0.015");
  ASSERT_EQ(passing.status, 0) << passing.out;
  const Result clean = RunShell("pdftoppm -f 1 -l 1 -r 40 '" + (dir / "check.pdf").string() + "' 2>/dev/null");
  EXPECT_EQ(RedPixels(clean.out), 0u);
}

TEST_F(CheckReport, RefusesAsTheCommandDoesAndWritesNothing) {
  const Result dup = Report("name,x,y,z\nA,1100,2000,50\nA,1150,2000,50\n");
  EXPECT_EQ(dup.status, 2);
  EXPECT_NE(dup.out.find("第 3 行：点名“A”与第 2 行重复。"), std::string::npos) << dup.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "check.pdf"));
  // The PDF never replaces the points it is computed from.
  const Result over = RunShell("cd '" + dir.string() + "' && QT_QPA_PLATFORM=offscreen '" + ALIGNMENT_PROGRAM +
                               "' report --table check --pdf points.csv --jd jd.csv --profile profile.csv --points "
                               "points.csv 2>&1");
  EXPECT_EQ(over.status, 2) << over.out;
}

}  // namespace
