// The Quenby window sqxform1: inputs on the left, the listing on the right, printing.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "quenby/form.h"

class QLineEdit;
class QPlainTextEdit;
class QPrinter;

namespace quenby {

class SqxForm1Window : public QWidget {
  Q_OBJECT
 public:
  explicit SqxForm1Window(QWidget* parent = nullptr);
  QLineEdit* Field(int number) const { return fields_.at(static_cast<std::size_t>(number - 1)); }
  QPlainTextEdit* Listing() const { return listing_; }
  const SqxForm1& Form() const { return form_; }

 private:
  void Run(void (SqxForm1::*handler)(survey::Host&));
  void Print();
  void ListingToForm();
  void ShowListing();

  SqxForm1 form_;
  std::array<QLineEdit*, 7> fields_{};
  QPlainTextEdit* listing_ = nullptr;
};

// Shows the print dialog for `printer`; false when cancelled. Tests replace it; an empty
// function restores the platform's dialog.
using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;
void SetPrintDialogRunner(PrintDialogRunner runner);

// Prints the listing: the dialog's number of copies back to back in one document. A cancel
// or a printer failure ends silently; a PDF file that cannot be written shows why. Returns true
// when a document was printed.
bool PrintListing(QWidget* parent, const std::string& listing, const QFont& font);

// Prints a text as the print command does (one copy, the listing's font) into a PDF file;
// false when the file cannot be written.
bool PrintTextToPdf(const std::string& pdfPath, const std::string& text, std::string& reason);

// The listing's font: a Chinese character exactly two Latin columns wide.
QFont ListingFont();

}  // namespace quenby
