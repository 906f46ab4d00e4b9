// The built program once end to end: arguments, files on disk, stdout, stderr and the exit
// status as a shell sees them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "run_shell.h"

namespace {

using survey::alignment::testing::RunShell;
using Result = survey::alignment::testing::ShellResult;

TEST(AlignmentProgram, WritesCsvOnStdoutAndRefusesWithStatusTwo) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "alignment-program-test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path table = dir / "交点表.csv";
  std::ofstream(table) << "\xEF\xBB\xBFname,x,y,r,ls1,ls2\r\nQD,0,0\r\nZD,0,100\r\n";
  const std::string program = std::string("'") + ALIGNMENT_PROGRAM + "'";

  const Result ok = RunShell(program + " point --jd '" + table.string() + "' --station=K0+040 --offset=-2 2>&1");
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "station,x,y,azimuth\n40.000,2.000,40.000,90.000000\n");

  const Result refused = RunShell(program + " point --jd '" + table.string() + "' --station 500 2>/dev/null");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out, "");
  const Result message = RunShell(program + " point --jd '" + table.string() + "' --station 500 2>&1 >/dev/null");
  EXPECT_NE(message.out.find("alignment: "), std::string::npos);

  const Result help = RunShell(program);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: alignment COMMAND", 0), 0u);
  std::filesystem::remove_all(dir);
}

}  // namespace
