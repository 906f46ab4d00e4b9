// Batch mode: the calculator's handlers driven from the command line, the report on `out`.
// Pure C++: the program hands in the files, the PDF output and today's date.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/services.h"

namespace brannock {

struct BatchServices {
  survey::TextFileStore& files;  // where --save writes the saved-report record
  survey::PdfTextWriter& pdf;    // where --pdf prints (the print face, one copy)
  std::string today;             // the date field without --date: DateFieldText of today
};

// brannock --jd T --alpha T --radius T [--ls T] [--date T] [--extra T]... [--save FILE] [--pdf FILE]
// Status 0 with the report on `out` (LF line ends), 2 with the refusal on `err`.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, BatchServices& services);

}  // namespace brannock
