// The built program end to end: arguments, files on disk, stdout, stderr and the exit status
// as a shell sees them.
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

TEST(AlignmentProgram, CsvOnStdoutMessagesOnStderrRefusalsExitTwo) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "alignment-program-test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path table = dir / "交点表.csv", xml = dir / "line.xml";
  std::ofstream(table) << "\xEF\xBB\xBFname,x,y,r,ls1,ls2\r\nQD,0,0\r\nZD,0,100\r\n";
  // The End is 0.4 mm from where the length puts it: accepted, and reported on stderr.
  std::ofstream(xml) << "<LandXML><Alignments><Alignment name=\"L\" staStart=\"0\"><CoordGeom>"
                        "<Line length=\"100\"><Start>0 0</Start><End>100.0004 0</End></Line>"
                        "</CoordGeom></Alignment></Alignments></LandXML>";
  const std::string program = std::string("'") + ALIGNMENT_PROGRAM + "'";
  const std::string point = program + " point --jd '" + table.string() + "'";
  const std::string stakes = program + " stakes --interval 50 --landxml '" + xml.string() + "'";

  const Result ok = RunShell(point + " --station=K0+040 --offset=-2 2>&1");
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "station,x,y,azimuth\n40.000,2.000,40.000,90.000000\n");
  const Result refused = RunShell(point + " --station 500 2>/dev/null");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(RunShell(point + " --station 500 2>&1 >/dev/null").out.find("alignment: "), std::string::npos);
  const Result help = RunShell(program);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: alignment COMMAND", 0), 0u);

  const Result fromXml = RunShell(stakes + " 2>/dev/null");
  EXPECT_EQ(fromXml.status, 0);
  EXPECT_EQ(fromXml.out, "name,station,x,y,azimuth\nQD,0.000,0.000,0.000,0.000000\n,50.000,50.000,0.000,0.000000\n"
                         "ZD,100.000,100.000,0.000,0.000000\n");
  const Result err = RunShell(stakes + " 2>&1 >/dev/null");
  EXPECT_NE(err.out.find("0.400 mm"), std::string::npos) << err.out;
  std::filesystem::remove_all(dir);
}

// export refuses an output that is one of its inputs (by any name) and names /dev/null as a
// device; the input stays as it was and the status is 2.
TEST(AlignmentProgram, ExportNeverWritesOverAnInputOrADevice) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "alignment-program-export-test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path table = dir / "r.csv", profile = dir / "p.csv";
  const std::string route = "name,x,y,r,ls1,ls2\nQD,0,0\nZD,0,100\n";
  std::ofstream(table) << route;
  std::ofstream(profile) << "station,elevation\n0,10\n100,11\n";
  std::filesystem::create_symlink(profile, dir / "p-link.xml");
  const std::string program = std::string("'") + ALIGNMENT_PROGRAM + "'";
  const std::string exportRun = program + " export --jd '" + table.string() + "' --profile '" + profile.string() + "' --out ";
  const struct {
    std::string out, message;
  } cases[] = {
      {table.string(), "就是输入文件“" + table.string() + "”"},
      {(dir / "p-link.xml").string(), "就是输入文件“" + profile.string() + "”"},
      {"/dev/null", "无法写入 /dev/null：这是一个设备，不是普通文件，不能写入"},
  };
  for (const auto& c : cases) {
    const Result r = RunShell(exportRun + "'" + c.out + "' 2>&1");
    EXPECT_EQ(r.status, 2) << c.out;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
  }
  EXPECT_EQ((std::stringstream() << std::ifstream(table).rdbuf()).str(), route);
  EXPECT_EQ(RunShell(exportRun + "'" + (dir / "new.xml").string() + "'").status, 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
