// The built program with a LandXML file: the largest end-point difference goes to stderr,
// the stakes to stdout.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "run_shell.h"

namespace {

using survey::alignment::testing::RunShell;
using Result = survey::alignment::testing::ShellResult;

TEST(AlignmentLandXmlProgram, ReportsTheLargestEndDifferenceOnStderr) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "alignment-landxml-program-test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path xml = dir / "line.xml";
  // The End is 0.4 mm from where the length puts it: accepted, and reported.
  std::ofstream(xml) << "<LandXML><Alignments><Alignment name=\"L\" staStart=\"0\"><CoordGeom>"
                        "<Line length=\"100\"><Start>0 0</Start><End>100.0004 0</End></Line>"
                        "</CoordGeom></Alignment></Alignments></LandXML>";
  const std::string program = std::string("'") + ALIGNMENT_PROGRAM + "'";
  const std::string run = program + " stakes --interval 50 --landxml '" + xml.string() + "'";

  const Result out = RunShell(run + " 2>/dev/null");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.out, "name,station,x,y,azimuth\nQD,0.000,0.000,0.000,0.000000\n,50.000,50.000,0.000,0.000000\n"
                     "ZD,100.000,100.000,0.000,0.000000\n");
  const Result err = RunShell(run + " 2>&1 >/dev/null");
  EXPECT_NE(err.out.find("0.400 mm"), std::string::npos) << err.out;
  std::filesystem::remove_all(dir);
}

}  // namespace
