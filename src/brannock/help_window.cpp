#include "brannock/help_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/paths.h"

namespace brannock {

QString HelpWindow::ContentsPath() { return platform::SharedDataFile(QStringLiteral("brannock/bangzhu.html")); }

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Brannock 帮助"));
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  auto* contents = new QPushButton(QStringLiteral("目录"), this);
  contents->setObjectName(QStringLiteral("HelpContents"));
  auto* back = new QPushButton(QStringLiteral("后退"), this);
  back->setObjectName(QStringLiteral("HelpBack"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
  connect(contents, &QPushButton::clicked, this, &HelpWindow::ShowContents);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  resize(720, 560);
}

void HelpWindow::ShowContents() {
  const QString path = ContentsPath();
  if (!QFileInfo::exists(path)) {
    browser_->setPlainText(QStringLiteral("找不到帮助文件：%1").arg(path));
    return;
  }
  browser_->setSearchPaths({QFileInfo(path).absolutePath()});
  browser_->setSource(QUrl::fromLocalFile(path));
}

}  // namespace brannock
