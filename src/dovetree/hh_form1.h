// The window hhForm1: six fields, three buttons and the report box, wired to HhForm.
#pragma once

#include <QFont>
#include <QWidget>
#include <memory>

#include "dovetree/form.h"
#include "platform/qt_host.h"

class QApplication;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace platform {
class SingleInstanceGuard;
}

namespace dovetree {

class HhForm1 : public QWidget {
  Q_OBJECT
 public:
  explicit HhForm1(QWidget* parent = nullptr);

  HhForm& Form() { return form_; }

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

  // The print face: Hei at 12 points, not bold.
  static QFont PrintFont();

 private:
  void PullFields();
  void PullReport();
  void ShowReport();

  HhForm form_;
  platform::QtHost host_;
  QLineEdit* text_[6] = {};
  QTextEdit* report_ = nullptr;
};

// Prints a text as the print command does (the print face, one copy), into a PDF file.
PrintResult PrintReportToPdf(const std::string& pdfPath, const std::string& text);

// Window load: when `guard` says another copy runs, the warning is shown and nullptr returned
// (this copy ends); otherwise the window, not yet shown.
std::unique_ptr<HhForm1> OpenWindow(platform::SingleInstanceGuard& guard);

// Window mode of the program: one running copy, the window until it closes.
int RunWindow(QApplication& app);

}  // namespace dovetree
