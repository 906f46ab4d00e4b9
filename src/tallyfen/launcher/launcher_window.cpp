#include "tallyfen/launcher/launcher_window.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPointer>

#include "fennick/factory.h"
#include "fennick/kestrel_command.h"
#include "platform/paths.h"
#include "platform/qt_host.h"
#include "tallyfen/launcher/about_box.h"
#include "tallyfen/launcher/program_start.h"

#ifdef TALLYFEN_HAS_CURVE_WINDOW
#include "tallyfen/curve/curve_coordinate_window.h"
#endif

namespace tallyfen {

namespace {

const QColor kMenuColor(192, 255, 255);

// Layout of the menu, in pixels: a column of buttons on the left, the picture panel beside it.
constexpr int kMargin = 12;
constexpr int kButtonWidth = 124;
constexpr int kButtonHeight = 34;
constexpr int kButtonGap = 4;
constexpr int kPanelWidth = 284;
constexpr int kPanelHeight = 7 * kButtonHeight + 6 * kButtonGap;

// The picture panel: draws its picture at its natural size from the top left and clips the
// credits label that moves across it.
class PicturePanel : public QWidget {
 public:
  PicturePanel(const QPixmap* picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setObjectName(QStringLiteral("Picture1"));
    setAutoFillBackground(true);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (!picture_->isNull()) painter.drawPixmap(0, 0, *picture_);
  }

 private:
  const QPixmap* picture_;
};

}  // namespace

QString LauncherWindow::PicturePath() { return platform::SharedDataFile(QStringLiteral("tallyfen/menu_background.png")); }

LauncherWindow::LauncherWindow(QWidget* parent) : QWidget(parent), programFolder_(platform::ProgramDir()) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tallyfen"));
  setWindowIcon(QIcon(ProgramIcon()));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, kMenuColor);
  setPalette(p);
  setFixedSize(kMargin * 3 + kButtonWidth + kPanelWidth, kMargin * 2 + kPanelHeight);

  QFont buttonFont = font();
  buttonFont.setPointSize(12);
  int y = kMargin;
  for (const MenuEntry& entry : kMenuButtons) {
    fennick::KestrelCommand* button = fennick::CreateControl(fennick::KestrelCommandClassId(), this);
    if (!button) continue;  // reported by SelfCheckProblems
    button->setObjectName(platform::ToQString(entry.objectName));
    button->SetBackColor(kMenuColor);
    button->SetForeColor(QColor(0, 0, 128));
    button->SetFont(buttonFont);
    button->SetCaption(platform::ToQString(entry.caption));
    button->setGeometry(kMargin, y, kButtonWidth, kButtonHeight);
    connect(button, &fennick::KestrelCommand::Click, this, [this, &entry] { RunEntry(entry); });
    y += kButtonHeight + kButtonGap;
  }

  background_.load(PicturePath());
  picturePanel_ = new PicturePanel(&background_, this);
  picturePanel_->setGeometry(kMargin * 2 + kButtonWidth, kMargin, kPanelWidth, kPanelHeight);
  QPalette panelPalette = picturePanel_->palette();
  panelPalette.setColor(QPalette::Window, QColor(255, 255, 255));
  picturePanel_->setPalette(panelPalette);

  creditsLabel_ = new QLabel(picturePanel_);
  creditsLabel_->setObjectName(QStringLiteral("Label1"));
  creditsLabel_->setAttribute(Qt::WA_TranslucentBackground);
  creditsLabel_->setWordWrap(true);
  creditsLabel_->setIndent(6);
  creditsLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette labelPalette = creditsLabel_->palette();
  labelPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
  creditsLabel_->setPalette(labelPalette);

  for (const MenuEntry& entry : kContextMenuEntries) {
    auto* action = new QAction(platform::ToQString(entry.caption), this);
    action->setObjectName(platform::ToQString(entry.objectName));
    connect(action, &QAction::triggered, this, [this, &entry] { RunEntry(entry); });
    addAction(action);
  }
  setContextMenuPolicy(Qt::ActionsContextMenu);
  setToolTip(QStringLiteral("右键单击可打开“路线平面计算”与“坐标转换”"));

  creditsTimer_.setObjectName(QStringLiteral("Timer1"));
  creditsTimer_.setInterval(kScrollIntervalMs);
  connect(&creditsTimer_, &QTimer::timeout, this, &LauncherWindow::ScrollCredits);
  RestartCredits();
}

void LauncherWindow::RestartCredits() {
  creditsTimer_.stop();
  QString credits = platform::ToQString(CreditsText());
  credits.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  creditsLabel_->setText(credits);
  QFont f = creditsLabel_->font();
  f.setPointSize(12);
  creditsLabel_->setFont(f);
  setFont(f);
  const int panelWidth = survey::PixelsToTwips(picturePanel_->width());
  const int panelHeight = survey::PixelsToTwips(picturePanel_->height());
  scroll_.Restart(panelWidth, panelHeight);
  creditsLabel_->setGeometry(0, survey::TwipsToPixels(panelHeight), picturePanel_->width(),
                             survey::TwipsToPixels(scroll_.LabelHeight()));
  creditsTimer_.start();
}

void LauncherWindow::ScrollCredits() {
  const int top = scroll_.Tick();
  creditsLabel_->move(0, survey::TwipsToPixels(top));
}

void LauncherWindow::RunEntry(const MenuEntry& entry) {
  switch (entry.action) {
    case MenuAction::CurveWindow: ShowCurveWindow(host_); break;
    case MenuAction::AboutBox: ShowAboutBox(); break;
    case MenuAction::StartProgram: StartProgram(platform::ToQString(entry.program)); break;
  }
}

void LauncherWindow::StartProgram(const QString& name) {
  const survey::Outcome outcome = StartProgramFrom(programFolder_, name);
  if (!outcome.ok()) host_.ShowMessage(ProgramStartFailedMessage(platform::ToUtf8(name), outcome.error));
}

QStringList LauncherWindow::SelfCheckProblems() const {
  QStringList problems;
  if (background_.isNull()) problems << QStringLiteral("背景图片未找到: %1").arg(PicturePath());
  for (const MenuEntry& entry : kMenuButtons) {
    const QString name = platform::ToQString(entry.objectName);
    if (!findChild<fennick::KestrelCommand*>(name)) problems << QStringLiteral("按钮 %1 未能创建").arg(name);
  }
  if (ProgramIcon().isNull()) problems << QStringLiteral("程序图标缺失");
  return problems;
}

QWidget* ShowCurveWindow([[maybe_unused]] survey::Host& host) {
#ifdef TALLYFEN_HAS_CURVE_WINDOW
  static QPointer<CurveCoordinateWindow> window;
  if (!window) {
    window = new CurveCoordinateWindow(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(QIcon(ProgramIcon()));
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
#else
  host.ShowMessage(CurveWindowMissingMessage());
  return nullptr;
#endif
}

}  // namespace tallyfen
