// Batch runs over in-memory files: a name not in `files` cannot be opened.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "alignment/alignment_error.h"
#include "alignment/cli/program.h"
#include "common/testing/batch_capture.h"

namespace survey::alignment {

using cli::FileReader;
using cli::RunBatch;

class BatchFixture : public ::testing::Test {
 protected:
  std::map<std::string, std::string> files;
  FileReader Reader() const {
    return [this](const std::string& path) {
      const auto it = files.find(path);
      if (it == files.end()) throw AlignmentError("无法打开文件“" + path + "”。");
      return it->second;
    };
  }
  survey::testing::BatchRun Run(const std::vector<std::string>& args) {
    const FileReader reader = Reader();
    return survey::testing::CaptureBatch(
        [&](const std::vector<std::string>& a, std::ostream& out, std::ostream& err) { return RunBatch(a, out, err, reader); },
        args);
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The straight test route of the cross-section and field-check tests: north from (1000, 2000)
  // (jd.csv), a profile rising 1 % from 49.00 at K0+000 (profile.csv), each side a lane of 3.5 m
  // at −2 % and a shoulder of 0.75 m at −4 % (section.csv): the edges at ±4.25, 0.10 below the line.
  void AddStraightRouteWithSection() {
    files["jd.csv"] = "name,x,y,r\nQD,1000,2000\nZD,2000,2000\n";
    files["profile.csv"] = "station,elevation\n0,49\n300,52\n";
    files["section.csv"] =
        "side,part,width,slope,super\nleft,行车道,3.5,-2,1\nleft,土路肩,0.75,-4,0\n"
        "right,行车道,3.5,-2,1\nright,土路肩,0.75,-4,0\n";
  }
  // A refused run: status 2, nothing on stdout, every mention on stderr.
  void ExpectRefused(const std::vector<std::string>& args, std::initializer_list<std::string> mentions) {
    const survey::testing::BatchRun r = Run(args);
    std::string line;
    for (const std::string& a : args) line += a + " ";
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_EQ(r.out, "") << line;
    for (const std::string& m : mentions) EXPECT_NE(r.err.find(m), std::string::npos) << line << "\n -> " << r.err;
  }
};

}  // namespace survey::alignment
