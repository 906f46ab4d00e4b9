// Quenby without a window: the same handlers, driven from the command line.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quenby {

// Prints a text into a PDF file as the window's print command prints it, true when written,
// else the system's reason in `reason`; supplied by the program (printing needs the toolkit,
// this core does not).
using PdfPrinter = std::function<bool(const std::string& pdfPath, const std::string& text, std::string& reason)>;

// --radius --i1 --i2 --jd --elevation [--spacing] [--extra]... [--pdf FILE]; prints the
// listing, and with --pdf one printed copy of it into FILE. Without a printer --pdf is refused.
// Returns the exit status: 0 done, 2 refused (message on `err`).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const PdfPrinter& pdf = {});

}  // namespace quenby
