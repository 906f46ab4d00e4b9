// The window hhForm1: six fields, three buttons and the report box, over StationDeflectionForm.
#pragma once

#include <QFont>
#include <QWidget>

#include "common/services.h"
#include "dovetree/batch.h"
#include "dovetree/deflection_form.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

class QApplication;

class QTextEdit;

namespace dovetree {

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
  void RunOnReport(survey::Outcome (StationDeflectionForm::*command)());

  platform::QtHost host_{this};
  platform::DialogTextPrinter printer_{this, PrintFont()};
  StationDeflectionForm form_{host_, printer_};
  QTextEdit* report_ = nullptr;
};

// Window mode of the program: one running copy per user, then the window until it closes.
int RunWindow(QApplication& app);

}  // namespace dovetree
