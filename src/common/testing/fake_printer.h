// A printer for form tests: remembers every text it was given (with the PDF path, empty for
// the print dialog) and answers with a preset outcome.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/services.h"

namespace survey::testing {

struct FakePrinter : TextPrinter, PdfTextWriter {
  Outcome Print(const std::string& text) override { return Write("", text); }
  Outcome Write(const std::string& path, const std::string& text) override {
    return printed.emplace_back(path, text), answer;
  }
  Outcome answer;
  std::vector<std::pair<std::string, std::string>> printed;  // path (none from the dialog), text
};

}  // namespace survey::testing
