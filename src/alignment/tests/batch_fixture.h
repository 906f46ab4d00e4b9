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
