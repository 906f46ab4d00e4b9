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
  // Shows the contents page, where every help request starts.
  void ShowContents();
  QTextBrowser* browser() const { return browser_; }
  static QString ContentsPath();

 private:
  QTextBrowser* browser_;
};

}  // namespace brannock
