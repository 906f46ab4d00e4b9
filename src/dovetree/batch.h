// Batch mode: the deflection form driven from the command line.
//
//   dovetree --jd T --alpha T --radius T --ls T --station T [--extra T]... [--pdf FILE]
//
// fills JD to M, computes the deflections, then adds the extra stakes in order (one per
// --extra), prints the report into FILE when asked, and writes the report with LF line ends. A
// refusal writes its message to `err` and returns 2.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace dovetree {

// Prints a text into a PDF file as the window's print command prints it (the print face, one
// copy). Printing needs the toolkit, this core does not: the program supplies it.
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

}  // namespace dovetree
