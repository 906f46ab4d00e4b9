// The launcher menu of Tallyfen: seven floating buttons that open the curve coordinate window,
// start the five calculators or show the about box, and a picture panel across which the
// credits scroll upward without end.
#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "common/host.h"
#include "platform/qt_host.h"
#include "tallyfen/launcher/menu_model.h"

class QLabel;

namespace tallyfen {

class LauncherWindow : public QWidget {
  Q_OBJECT

 public:
  explicit LauncherWindow(QWidget* parent = nullptr);

  // The folder the calculators are started from; the launcher's own folder unless a test
  // points it elsewhere.
  void SetProgramFolder(const QString& folder) { programFolder_ = folder; }

  const CreditsScroll& Scroll() const { return scroll_; }
  QTimer& CreditsTimer() { return creditsTimer_; }
  // Where the background picture is looked for.
  static QString PicturePath();
  // What keeps the menu from working as delivered (data not found, buttons missing); empty
  // when all is in place.
  QStringList SelfCheckProblems() const;

  // Sizes the credits to the picture panel and starts them from below it (also run again by
  // tests after resizing the panel).
  void RestartCredits();
  // One tick of the credits timer: the label climbs a step.
  void ScrollCredits();

 private:
  void RunEntry(const MenuEntry& entry);
  void StartProgram(const QString& name);

  platform::QtHost host_{this};
  QWidget* picturePanel_ = nullptr;
  QLabel* creditsLabel_ = nullptr;
  QTimer creditsTimer_;
  QPixmap background_;
  CreditsScroll scroll_;
  QString programFolder_;
};

// The one curve coordinate window of the process, created when none is open, otherwise
// brought forward. Returns nullptr (after telling the user through `host`) in a build without it.
QWidget* ShowCurveWindow(survey::Host& host);

}  // namespace tallyfen
