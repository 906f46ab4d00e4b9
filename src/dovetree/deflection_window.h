// The window hhForm1: six fields, three buttons and the report box, over StationDeflectionForm.
#pragma once

#include <QFont>
#include <QWidget>

#include "common/services.h"
#include "dovetree/batch.h"
#include "dovetree/deflection_form.h"
#include "platform/qt_host.h"

class QTextEdit;

namespace dovetree {

// Prints through the print dialog in the print face; a failure carries the code 1.
class DialogPrinter : public survey::TextPrinter {
 public:
  explicit DialogPrinter(QWidget* parent) : parent_(parent) {}
  survey::Outcome Print(const std::string& text) override;

 private:
  QWidget* parent_;
};

// Prints into a PDF file as the print command prints it (the print face, one copy): the batch
// mode's --pdf.
class PdfFileWriter : public survey::PdfTextWriter {
 public:
  survey::Outcome Write(const std::string& pdfPath, const std::string& text) override;
};

class DeflectionWindow : public QWidget {
  Q_OBJECT
 public:
  explicit DeflectionWindow(QWidget* parent = nullptr);

  const StationDeflectionForm& form() const { return form_; }

  // The three buttons.
  void ComputeDeflections();
  void AddExtraStake();
  void PrintReport();

  // The print face: Hei at 12 points, not bold.
  static QFont PrintFont();

 private:
  void PullReport();
  void ShowReport();
  // Runs a command that may rewrite the report; a refusal leaves the box alone, scroll
  // position included.
  void RunOnReport(void (StationDeflectionForm::*command)());

  platform::QtHost host_{this};
  DialogPrinter printer_{this};
  StationDeflectionForm form_{host_, printer_};
  QTextEdit* report_ = nullptr;
};

}  // namespace dovetree
