// The outside services a form is built with. Each form receives the ones it needs as references
// at construction, together with its survey::Host: the window passes the real ones (files on
// disk, the printer), batch mode its own (PDF output), tests small fakes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

// Writes a text into a PDF file as a program's print command prints it (its print face, one
// copy). Printing needs the toolkit and the cores do not: a program hands its batch mode one.
class PdfTextWriter {
 public:
  virtual ~PdfTextWriter() = default;
  // Failed with the reason when the file cannot be written; an earlier file then stays.
  virtual Outcome Write(const std::string& pdfPath, const std::string& text) = 0;
};

// The print command's printer in batch mode: the text goes into the PDF file `path` through
// `writer` (none where the program cannot print; batch modes refuse --pdf then). A file that
// cannot be written fails with "无法写入PDF文件：<path>", a line break and the reason, carrying
// `failureCode` for the programs whose print messages show a code.
class PdfFilePrinter final : public TextPrinter {
 public:
  PdfFilePrinter(PdfTextWriter* writer, std::string path, int failureCode)
      : writer_(writer), path_(std::move(path)), failureCode_(failureCode) {}
  Outcome Print(const std::string& text) override {
    if (!writer_) return Outcome::Failed("printing is not available here", failureCode_);
    Outcome written = writer_->Write(path_, text);
    if (written.status != Outcome::Status::Failed) return written;
    return Outcome::Failed("无法写入PDF文件：" + path_ + "\r\n" + written.error, failureCode_);
  }

 private:
  PdfTextWriter* writer_;
  std::string path_;
  int failureCode_;
};

// What a program's batch run may take from outside, one shape for every calculator's RunBatch:
// each run uses the services it needs; a service left out refuses the options that need it
// (--pdf without a writer, --save without a file store).
struct BatchServices {
  TextFileStore* files = nullptr;  // saved reports, parameter files
  PdfTextWriter* pdf = nullptr;    // prints as the print command does, in the program's print face
  std::string today;               // the date a report carries when none is given

  // Only a PDF writer (none: --pdf refused), for the programs that save nothing.
  static BatchServices Printing(PdfTextWriter* writer) {
    BatchServices services;
    services.pdf = writer;
    return services;
  }
};

}  // namespace survey
