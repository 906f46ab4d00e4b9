// Batch mode: the handlers of hhForm1 driven from the command line.
//
//   dovetree --jd T --alpha T --radius T --ls T --station T [--extra T]... [--pdf FILE]
//
// fills Text1 to Text5, runs the main calculation, then the extra stake once per --extra in
// order (Text6 = that value), prints the report to FILE with the print command when asked,
// and writes the report with LF line ends. A refusal writes its message to `err` and returns 2.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "dovetree/form.h"

namespace dovetree {

// Prints a text into a PDF file as the window's print command prints it; supplied by the
// program (printing needs the toolkit, this core does not).
using PdfPrinter = std::function<PrintResult(const std::string& pdfPath, const std::string& text)>;

// Without a printer, --pdf is refused.
int RunDovetreeBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const PdfPrinter& pdf = {});

}  // namespace dovetree
