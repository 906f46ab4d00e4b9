// Quenby without a window: the vertical-curve form driven from the command line.
//
//   quenby --radius R --i1 G1 --i2 G2 --jd STATION --elevation H [--spacing S] [--extra STATION]... [--pdf FILE]
//
// prints the listing, and with --pdf one printed copy of it into FILE. Returns the exit status:
// 0 done, 2 refused (message on `err`).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace quenby {

// Prints a text into a PDF file as the print command prints it (one copy, the listing's
// font). Printing needs the toolkit, this core does not: the program supplies it.
class PdfPrinter {
 public:
  virtual ~PdfPrinter() = default;
  // Failed with the system's reason when the file cannot be written.
  virtual survey::Outcome Print(const std::string& pdfPath, const std::string& text) = 0;
};

struct BatchServices {
  PdfPrinter* pdf = nullptr;  // none: --pdf is refused
};

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchServices& services = {});

}  // namespace quenby
