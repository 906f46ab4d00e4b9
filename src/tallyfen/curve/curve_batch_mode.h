// The curve coordinate window without a window: options fill the fields, the window's own
// handlers compute, and the grid goes to standard output as ".ly" lines. Pure C++: the files
// and the report printer are handed in by the caller, so a test runs it in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "common/services.h"
#include "coordinates/file_commands.h"

namespace tallyfen {

// The report printer of batch mode: it writes the report into the PDF file named on the
// command line instead of showing it.
class PdfReportPrinter : public coordinates::ReportPrinter {
 public:
  virtual void SetPdfPath(const std::string& path) = 0;
};

struct CurveBatchServices {
  survey::TextFileStore& files;  // --open, --save, --export
  PdfReportPrinter& report;      // --report
};

// `args` are the options after "--curve". Status 0 with the ".ly" lines on `out` (UTF-8, LF),
// status 2 with the refusal on `err`, or the usage (--help, status 0).
int RunCurveBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  CurveBatchServices& services);

}  // namespace tallyfen
