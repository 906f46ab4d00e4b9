// Batch mode: the calculator's handlers driven from the command line, the report on `out`.
// Pure C++: the program hands in the files, the PDF output and today's date.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/services.h"

namespace brannock {

// Writes a report into a PDF file in the print face, one copy, as the print command prints it.
class PdfReportWriter {
 public:
  virtual ~PdfReportWriter() = default;
  // Failed with the reason when the file cannot be written; an earlier file then stays.
  virtual survey::Outcome Write(const std::string& pdfPath, const std::string& text) = 0;
};

struct BatchServices {
  survey::TextFileStore& files;  // where --save writes the saved-report record
  PdfReportWriter& pdf;          // where --pdf prints
  std::string today;             // the date field without --date: DateFieldText of today
};

// brannock --jd T --alpha T --radius T [--ls T] [--date T] [--extra T]... [--save FILE] [--pdf FILE]
// Status 0 with the report on `out` (LF line ends), 2 with the refusal on `err`.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, BatchServices& services);

}  // namespace brannock
