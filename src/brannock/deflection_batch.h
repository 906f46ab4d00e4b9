// Batch mode: the calculator's handlers driven from the command line, the report on `out`.
// Pure C++: the program hands in the files, the PDF output and today's date.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/services.h"

namespace brannock {

// brannock --jd T --alpha T --radius T [--ls T] [--date T] [--extra T]... [--save FILE] [--pdf FILE]
// Status 0 with the report on `out` (LF line ends), 2 with the refusal on `err`.
// Of `services`: the file store --save writes the saved-report record to, the PDF writer --pdf
// prints with (the print face, one copy) and today (DateFieldText) for a missing --date.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const survey::BatchServices& services);

}  // namespace brannock
