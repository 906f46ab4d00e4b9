// The help shipped with the program: HTML pages shown in a window of their own, the contents
// page first.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace brannock {

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  // Shows the contents page (what help command 3 asked for).
  void ShowContents();
  QTextBrowser* browser() const { return browser_; }
  static QString ContentsPath();

 private:
  QTextBrowser* browser_;
};

}  // namespace brannock
