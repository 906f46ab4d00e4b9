#include "tallyfen/launcher/about_box.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>

#include "common/project_info.h"
#include "common/twips.h"
#include "platform/twips_rect.h"

namespace tallyfen {

namespace {

using platform::Twips;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QColor& color) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->setAutoFillBackground(false);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, color);
  label->setPalette(p);
  // A click on a label must reach the box: no text selection or links here.
  label->setTextInteractionFlags(Qt::NoTextInteraction);
  return label;
}

}  // namespace

QPixmap ProgramIcon() { return QPixmap(QStringLiteral(":/tallyfen/tallyfen-32.png")); }

AboutBox::AboutBox(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("guanyu"));
  setWindowTitle(QStringLiteral("Tallyfen"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(survey::TwipsToPixels(4680), survey::TwipsToPixels(3090));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(0, 128, 0));
  setPalette(p);

  auto* image = new QLabel(this);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(ProgramIcon());
  image->setGeometry(Twips(240, 240, 480, 480));

  const QColor light(255, 255, 192);
  QLabel* title = MakeLabel(this, "Label1", QStringLiteral("Tallyfen"), QColor(255, 255, 0));
  QFont titleFont(QStringLiteral("SimSun"));
  titleFont.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                         QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei")});
  titleFont.setPointSize(12);
  titleFont.setBold(true);
  title->setFont(titleFont);
  title->move(survey::TwipsToPixels(1320), survey::TwipsToPixels(360));
  title->adjustSize();

  QFont textFont = font();
  textFont.setPointSize(9);
  QLabel* description = MakeLabel(
      this, "Label2",
      QStringLiteral("    本软件适合于公路工程测量。在开发过程中不断地听取试用人员的建议，使之功能逐渐完善。"
                     "如果你在使用中遇到什么问题可以与我联系。"),
      light);
  description->setFont(textFont);
  description->setWordWrap(true);
  description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  description->setGeometry(Twips(360, 960, 3975, 1140));

  QLabel* home = MakeLabel(this, "Label3", QStringLiteral("主页：%1").arg(QString::fromUtf8(survey::kProjectHomePage)), light);
  home->setFont(textFont);
  home->setGeometry(Twips(360, 2190, 3975, 300));
  QLabel* mail = MakeLabel(this, "Label4", QStringLiteral("邮箱：%1").arg(QString::fromUtf8(survey::kContactAddress)), light);
  mail->setFont(textFont);
  mail->setGeometry(Twips(360, 2520, 3975, 300));

  for (QObject* child : children())
    if (child->isWidgetType()) child->installEventFilter(this);
}

void AboutBox::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  close();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    close();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

AboutBox* ShowAboutBox() {
  static QPointer<AboutBox> box;
  if (!box) box = new AboutBox;
  box->show();
  box->raise();
  box->activateWindow();
  return box;
}

}  // namespace tallyfen
