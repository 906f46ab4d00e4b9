// The window of Brannock: design data, extra stake, commands, toolbar and the report box.
// It only binds widgets to the form's handlers; every rule lives in CurveDeflectionForm.
#pragma once

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>

#include "brannock/curve_deflection_form.h"
#include "brannock/help_window.h"
#include "coordinates/gbk_text_files.h"
#include "platform/qt_host.h"
#include "platform/text_printing.h"

class QTextEdit;

namespace brannock {

// What the font command applies to the selected report text.
struct FontChoice {
  QFont font;  // family, point size, bold, italic, strikethrough, underline
  QColor color;
};
// Asks for a font; nullopt when cancelled. Replaceable in tests.
using FontChooser = std::function<std::optional<FontChoice>(QWidget* parent, const FontChoice& current)>;

class CurveDeflectionWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit CurveDeflectionWindow(QWidget* parent = nullptr);
  ~CurveDeflectionWindow() override;

  const CurveDeflectionForm& form() const { return form_; }
  void SetFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }

  // The report box face: a monospaced CJK face at an even pixel size, where a CJK character
  // is exactly two Latin columns wide.
  static QFont ReportFont();
  // The print face: Hei at 12 points, not bold (black ink is the printing default).
  static QFont PrintFont();

  void ComputeReport();
  void AddExtraStake();
  void ChooseReportFont();  // for the selected report text
  void PrintReport();
  void ResetReport();
  void SaveReport();
  void ExitProgram();
  void OpenHomePage();
  void ShowHelpContents();
  HelpWindow* helpWindow() const { return help_; }

  // What the toolbar buttons do (their keys are in the window's toolbar table).
  enum class ToolbarAction { Reset, Compute, ExtraStake, Save, Font, Print, Help, HomePage, Exit };
  void Run(ToolbarAction action);

 private:
  void AddToolbar();
  void PullReport();
  void ShowReport();

  platform::QtHost host_{this};
  coordinates::GbkTextFileStore files_;
  platform::DialogTextPrinter printer_{this, PrintFont()};
  CurveDeflectionForm form_{host_, files_, printer_};
  FontChooser fontChooser_;
  QTextEdit* report_ = nullptr;
  QPointer<HelpWindow> help_;
};

// Window mode of the program: one window per user.
int RunWindow(QApplication& app);

}  // namespace brannock
