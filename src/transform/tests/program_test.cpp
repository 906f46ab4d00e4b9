// The built program end to end as a shell sees it, with no proj.db anywhere (PROJ_DATA points
// nowhere): files on disk, CSV on stdout, notes and refusals on stderr, the exit status; and a
// GNSS survey in B, L taken to station and offset by transform then alignment.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/testing/shell_run.h"

namespace {

using Result = survey::testing::ShellResult;

// With no proj.db anywhere: the programs must not need one.
Result RunShell(const std::string& command) {
  return survey::testing::RunShell("PROJ_DATA=/nonexistent PROJ_LIB=/nonexistent " + command);
}

TEST(TransformProgram, GnssPointsToStationAndOffsetInTwoCommands) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "transform-program-test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path gnss = dir / "gnss.csv", grid = dir / "grid.csv", jd = dir / "jd.csv";
  // GBK as a Chinese spreadsheet saves it: 点名,B,L,H.
  std::ofstream(gnss) << "\xb5\xe3\xc3\xfb,B,L,H\r\nK1,30.45254425,111.17583596,452.3\r\n";
  // A straight route due north through the point's grid position, 10 m west of it.
  std::ofstream(jd) << "name,x,y,r\nQD,3403000,528670.0889\nZD,3405000,528670.0889\n";
  const std::string transform = std::string("'") + TRANSFORM_PROGRAM + "'";
  const std::string alignment = std::string("'") + ALIGNMENT_PROGRAM + "'";

  const Result forward = RunShell(transform + " forward --zone 37 --no-factors --points '" + gnss.string() + "' > '" +
                                  grid.string() + "'; echo $?");
  EXPECT_EQ(forward.out, "0\n");
  std::ifstream in(grid);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, "name,x,y,h\nK1,3404079.3582,528680.0889,452.3000\n");

  const Result locate = RunShell(alignment + " locate --jd '" + jd.string() + "' --points '" + grid.string() + "' 2>&1");
  EXPECT_EQ(locate.status, 0) << locate.out;
  EXPECT_EQ(locate.out, "name,x,y,station,offset,status\nK1,3404079.358,528680.089,1079.358,10.000,ok\n");

  const Result far = RunShell(transform + " forward --zone 40 --points '" + gnss.string() + "' 2>&1");
  EXPECT_EQ(far.status, 0) << far.out;  // 8.7° from 120°E: inside the 10° limit
  const Result bad = RunShell(transform + " forward --zone 41 --points '" + gnss.string() + "' 2>&1");
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out.rfind("transform: 第 2 行：经度距中央子午线", 0), 0u) << bad.out;
  const Result help = RunShell(transform);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: transform COMMAND", 0), 0u);
  std::filesystem::remove_all(dir);
}

}  // namespace
