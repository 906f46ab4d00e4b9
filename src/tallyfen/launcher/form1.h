// The launcher menu `Form1` of Tallyfen: seven floating buttons that open the curve coordinate
// window, start the five calculators or show the about box, and a picture panel across which
// the credits scroll upward without end.
#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "tallyfen/launcher/menu_model.h"

class QLabel;

namespace tallyfen {

class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  // The folder the calculators are started from; the launcher's own folder unless a test
  // points it elsewhere.
  void SetProgramFolder(const QString& folder) { programFolder_ = folder; }
  QString ProgramFolder() const { return programFolder_; }

  const CreditsScroll& Scroll() const { return scroll_; }
  QTimer& Timer1() { return timer1_; }
  // Where the background picture is looked for, and whether it was found.
  static QString PicturePath();
  bool PictureLoaded() const { return !picture_.isNull(); }
  // What keeps the menu from working as delivered (data not found, buttons missing); empty
  // when all is in place.
  QStringList SelfCheckProblems() const;

  // The window's handlers: its load (also run again by tests after resizing the panel) and the
  // timer tick.
  void Form_Load();
  void Timer1_Timer();

 private:
  void RunButton(const MenuButton& button);
  void StartProgram(const QString& name);

  QWidget* picture1_ = nullptr;
  QLabel* label1_ = nullptr;
  QTimer timer1_;
  QPixmap picture_;
  CreditsScroll scroll_;
  QString programFolder_;
};

// The one curve coordinate window of the process, created when none is open, otherwise
// brought forward. Returns nullptr (after telling the user) in a build without it.
QWidget* ShowCurveWindow(QWidget* messageParent);

}  // namespace tallyfen
