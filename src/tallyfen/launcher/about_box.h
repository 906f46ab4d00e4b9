// The about box: borderless, green, the suite's name, what it is for and how to
// reach its makers. Any click on it closes it; nothing else happens on a click.
#pragma once

#include <QWidget>

namespace tallyfen {

class AboutBox : public QWidget {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// The one about box of the process: created when none is open, otherwise brought forward.
// It deletes itself when closed, so the next call shows it afresh.
AboutBox* ShowAboutBox();

// The program's 32 x 32 icon, also the icon of every Tallyfen window.
QPixmap ProgramIcon();

}  // namespace tallyfen
