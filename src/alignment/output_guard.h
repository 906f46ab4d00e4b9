// What the commands that write a file (export, report) check before they write: the output
// is none of the run's input files, and a printed report stays within its row cap.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <vector>

#include "common/batch_cli.h"

namespace survey::alignment {

// The options whose values name files the run reads.
inline constexpr const char* kInputFileOptions[] = {"jd",      "elements",       "landxml",  "profile",
                                                    "points",  "section",        "superelevation", "widening", "slopes"};

// The files the options name for reading.
std::vector<std::string> InputFiles(const ParsedOptions& options);

// Refuses (AlignmentError) when `output` is, links and hard links followed, one of the input
// files: writing it would destroy the input the output is computed from.
void RefuseOutputOverInput(const std::string& option, const std::string& output,
                           const std::vector<std::string>& inputs);

// The most rows of a printed report (the other programs' limit): painting is text by text,
// so 10,000 rows take some 230 pages and seconds; more is not a report anyone prints.
inline constexpr std::size_t kMaxReportRows = 10000;
// The other programs' message: "报表有N行，超过10000行，无法打印。" and on a second line
// "请加大点间距离或分段计算后打印。"
std::string ReportTooLongText(std::size_t rows);

// An output stream buffer that keeps the first `keepLines` lines and only counts the rest,
// so that a stake list far beyond a report's cap is counted without being held.
class LineCappedBuffer : public std::streambuf {
 public:
  explicit LineCappedBuffer(std::size_t keepLines) : keep_(keepLines) {}
  const std::string& Kept() const { return kept_; }
  std::size_t Lines() const { return lines_; }  // complete lines written

 protected:
  std::streamsize xsputn(const char* data, std::streamsize n) override;
  int_type overflow(int_type c) override;

 private:
  std::size_t keep_;
  std::size_t lines_ = 0;
  std::string kept_;
};

}  // namespace survey::alignment
