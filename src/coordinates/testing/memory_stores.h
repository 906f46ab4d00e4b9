// In-memory stand-ins of the file store and the report printer, for the form tests of the
// coordinate programs.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coordinates/file_commands.h"

namespace coordinates::testing {

// Files kept in a map. Writes below "/readonly/" fail as a write-protected folder would.
class MemoryTextFiles : public TextFileStore {
 public:
  survey::Outcome Write(const std::string& path, std::string_view utf8) override {
    if (path.rfind("/readonly/", 0) == 0) return survey::Outcome::Failed("Permission denied");
    files[path] = std::string(utf8);
    return survey::Outcome::Done();
  }
  std::optional<std::string> Read(const std::string& path, std::string* error) override {
    const auto it = files.find(path);
    if (it == files.end()) {
      if (error) *error = "No such file";
      return std::nullopt;
    }
    return it->second;
  }
  std::map<std::string, std::string> files;
};

// Remembers every report it was asked to show, and the PDF file a batch mode named.
class RecordingReportPrinter : public FileReportPrinter {
 public:
  bool ShowReport(const ReportData& report, std::string*) override {
    reports.push_back(report);
    return true;
  }
  void SetPdfFile(const std::string& path) override { pdfFile = path; }
  std::vector<ReportData> reports;
  std::string pdfFile;
};

}  // namespace coordinates::testing
