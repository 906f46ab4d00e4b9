// The Quenby window sqxform1: inputs on the left, the listing on the right, printing.
#pragma once

#include <QFont>
#include <QWidget>
#include <functional>

#include "common/services.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"
#include "quenby/batch.h"
#include "quenby/vertical_curve_form.h"

class QApplication;

class QPlainTextEdit;
class QPrinter;

namespace quenby {

// The listing's font: a Chinese character exactly two Latin columns wide.
QFont ListingFont();

// Prints through the print dialog: the dialog's number of copies back to back in one
// document. Cancelled when the dialog is; Failed with the reason when a PDF file cannot be
// written; Refused (nothing to tell) when a printer will not start, which the printing system
// reports itself.
class DialogListingPrinter : public survey::TextPrinter {
 public:
  explicit DialogListingPrinter(QWidget* parent) : parent_(parent) {}
  survey::Outcome Print(const std::string& listing) override;

 private:
  QWidget* parent_;
};


class VerticalCurveWindow : public QWidget {
  Q_OBJECT
 public:
  explicit VerticalCurveWindow(QWidget* parent = nullptr);

  const VerticalCurveForm& form() const { return form_; }

  // The three buttons.
  void ComputeListing();
  void AddExtraStake();
  void PrintListing();

 private:
  // Runs a command that may rewrite the listing; a refusal leaves the box alone, scroll
  // position included.
  void RunOnListing(survey::Outcome (VerticalCurveForm::*command)());
  void ListingToForm();
  void ShowListing();

  platform::QtHost host_{this};
  DialogListingPrinter printer_{this};
  VerticalCurveForm form_{host_, printer_};
  QPlainTextEdit* listing_ = nullptr;
};

// Window mode of the program: the window until it closes; copies may run side by side.
int RunWindow(QApplication& app);

}  // namespace quenby
