// The outside services a form is built with. Each form receives the ones it needs as references
// at construction, together with its survey::Host: the window passes the real ones (files on
// disk, the printer), batch mode its own (PDF output), tests small fakes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/outcome.h"

namespace survey {

// Text files in the user's code page (GBK on disk, UTF-8 here), written by atomic replace.
class TextFileStore {
 public:
  virtual ~TextFileStore() = default;
  // Failed with the reason when the file cannot be written; an earlier file of that name then
  // stays as it was.
  virtual Outcome Write(const std::string& path, std::string_view utf8) = 0;
  // The text as UTF-8, or nullopt with the reason in *error.
  virtual std::optional<std::string> Read(const std::string& path, std::string* error) = 0;
};

// Prints a plain-text report: through the print dialog in a window, into a PDF file in batch
// mode. Cancelled when the user closes the dialog.
class TextPrinter {
 public:
  virtual ~TextPrinter() = default;
  virtual Outcome Print(const std::string& text) = 0;
};

}  // namespace survey
