// The window of Brannock: design data, extra stake, commands, toolbar and the report box.
// It only binds widgets to the form's handlers; every rule lives in brannock::Form.
#pragma once

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "brannock/form.h"
#include "brannock/help_window.h"
#include "platform/qt_host.h"

class QLineEdit;
class QTextEdit;
class QToolBar;

namespace platform {
class EnterAsTab;
class SingleInstanceGuard;
}  // namespace platform

namespace brannock {

class HelpWindow;  // defined in help_window.h

// What the font command applies to the selected report text.
struct FontChoice {
  QFont font;  // family, point size, bold, italic, strikethrough, underline
  QColor color;
};
// Asks for a font; nullopt when cancelled. Replaceable in tests.
using FontChooser = std::function<std::optional<FontChoice>(QWidget* parent, const FontChoice& current)>;

class qxjsForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit qxjsForm1(QWidget* parent = nullptr);
  ~qxjsForm1() override;

  Form& form() { return form_; }
  void SetFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }

  // The report box face: a monospaced CJK face at an even pixel size, where a CJK character
  // is exactly two Latin columns wide.
  static QFont ReportFont();
  // The print face: Hei at 12 points, not bold (black ink is the printing default).
  static QFont PrintFont();

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void AniGIF1_Click();
  void Toolbar1_ButtonClick(const QString& key);
  void ShowHelpContents();
  HelpWindow* helpWindow() const { return help_; }

 private:
  void ReadFields();
  void PullReport();
  void ShowReport();

  Form form_;
  platform::QtHost host_{this};
  FontChooser fontChooser_;
  QLineEdit *text1_, *text2_, *text3_, *text4_, *text5_, *text7_;
  QTextEdit* report_;
  QToolBar* toolbar_;
  platform::EnterAsTab* enterAsTab_;
  QPointer<HelpWindow> help_;
};

// Prints a text as the print command does (the print face, one copy), into a PDF file.
Outcome PrintReportToPdf(const std::string& pdfPath, const std::string& text);

// The window when this is the only running copy; otherwise the warning is shown and nullptr
// returned (the running copy is left alone).
std::unique_ptr<qxjsForm1> OpenWindow(platform::SingleInstanceGuard& guard);

// Window mode of the program.
int RunWindow(QApplication& app);

}  // namespace brannock
