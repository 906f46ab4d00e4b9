// report --table sections end to end: the built program writes the 路基设计表 as a PDF, read
// back with pdftotext.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/testing/shell_run.h"

namespace {

using Result = survey::testing::ShellResult;
using survey::testing::RunShell;

TEST(SectionsReport, PrintsTheSubgradeTableOnAsManyPagesAsItNeeds) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "alignment-section-report-test";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "jd.csv") << "name,x,y,r\nQD,1000,2000\nZD,2000,2000\n";
  std::ofstream(dir / "profile.csv") << "station,elevation\n0,49\n300,52\n";
  std::ofstream(dir / "section.csv") << "side,part,width,slope,super\nleft,行车道,3.5,-2,1\nright,行车道,3.5,-2,1\n";
  std::ofstream(dir / "super.csv") << "station,left,right\nK0+100,-2,-2\nK0+200,6,-6\n";
  const std::filesystem::path pdf = dir / "sections.pdf";
  std::filesystem::remove(pdf);
  const std::string run = "cd '" + dir.string() + "' && QT_QPA_PLATFORM=offscreen '" + ALIGNMENT_PROGRAM +
                          "' report --table sections --pdf '" + pdf.string() +
                          "' --jd jd.csv --profile profile.csv --section section.csv --superelevation super.csv"
                          " --interval 10";
  const Result written = RunShell(run + " 2>&1");
  ASSERT_EQ(written.status, 0) << written.out;
  const Result text = RunShell("pdftotext -layout '" + pdf.string() + "' - 2>&1");
  ASSERT_EQ(text.status, 0) << text.out;
  EXPECT_NE(text.out.find("路基设计表"), std::string::npos);
  // K0+150: profile 50.50, the left lane at +2 % rises to 50.57, the right at -4 % falls to 50.36.
  EXPECT_NE(text.out.find("50.500"), std::string::npos);
  EXPECT_NE(text.out.find("50.570"), std::string::npos);
  EXPECT_NE(text.out.find("50.360"), std::string::npos);
  // 101 stakes do not fit one page; the last with an elevation, K0+300 at 52.00, is printed too.
  EXPECT_GE(std::count(text.out.begin(), text.out.end(), '\f'), 2);
  EXPECT_NE(text.out.find("52.000"), std::string::npos);

  const Result refused = RunShell("cd '" + dir.string() + "' && QT_QPA_PLATFORM=offscreen '" + ALIGNMENT_PROGRAM +
                                  "' report --table sections --pdf '" + (dir / "none.pdf").string() +
                                  "' --jd jd.csv 2>&1");
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.out.find("report --table sections 需要 --section。"), std::string::npos) << refused.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "none.pdf"));
}

}  // namespace
