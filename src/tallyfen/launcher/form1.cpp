#include "tallyfen/launcher/form1.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPointer>

#include "fennick/factory.h"
#include "fennick/kestrel_command.h"
#include "platform/paths.h"
#include "platform/qt_host.h"
#include "tallyfen/launcher/guanyu.h"
#include "tallyfen/launcher/program_start.h"

#ifdef TALLYFEN_HAS_CURVE_WINDOW
#include "tallyfen/curve/qx_form1.h"
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

// The picture panel: draws its picture at its natural size from the top left, like a picture
// box, and clips the credits label that moves across it.
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

QString Form1::PicturePath() { return platform::SharedDataFile(QStringLiteral("tallyfen/menu_background.png")); }

Form1::Form1(QWidget* parent) : QWidget(parent), programFolder_(platform::ProgramDir()) {
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
  for (const MenuButton& b : kMenuButtons) {
    fennick::KestrelCommand* button = fennick::CreateControl(fennick::KestrelCommandClassId(), this);
    if (!button) continue;  // reported by SelfCheckProblems
    button->setObjectName(QString::fromUtf8(b.control.data(), static_cast<qsizetype>(b.control.size())));
    button->SetBackColor(kMenuColor);
    button->SetForeColor(QColor(0, 0, 128));
    button->SetFont(buttonFont);
    button->SetCaption(QString::fromUtf8(b.caption.data(), static_cast<qsizetype>(b.caption.size())));
    button->setGeometry(kMargin, y, kButtonWidth, kButtonHeight);
    connect(button, &fennick::KestrelCommand::Click, this, [this, &b] { RunButton(b); });
    y += kButtonHeight + kButtonGap;
  }

  picture_.load(PicturePath());
  picture1_ = new PicturePanel(&picture_, this);
  picture1_->setGeometry(kMargin * 2 + kButtonWidth, kMargin, kPanelWidth, kPanelHeight);
  QPalette panelPalette = picture1_->palette();
  panelPalette.setColor(QPalette::Window, QColor(255, 255, 255));
  picture1_->setPalette(panelPalette);

  label1_ = new QLabel(picture1_);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setAttribute(Qt::WA_TranslucentBackground);
  label1_->setWordWrap(true);
  label1_->setIndent(6);
  label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette labelPalette = label1_->palette();
  labelPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
  label1_->setPalette(labelPalette);

  // The whole-route program came after the seven buttons; it is reached from the menu's
  // context menu so that the buttons keep their places.
  auto* alignment = new QAction(QStringLiteral("路线平面计算（全线逐桩坐标、平面图）…"), this);
  alignment->setObjectName(QStringLiteral("alignmentAction"));
  connect(alignment, &QAction::triggered, this, [this] { StartProgram(QStringLiteral("alignment")); });
  addAction(alignment);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  setToolTip(QStringLiteral("右键单击可打开“路线平面计算”"));

  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer1_.setInterval(kScrollIntervalMs);
  connect(&timer1_, &QTimer::timeout, this, &Form1::Timer1_Timer);
  Form_Load();
}

void Form1::Form_Load() {
  timer1_.stop();
  QString credits = QString::fromStdString(CreditsText());
  credits.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  label1_->setText(credits);
  QFont f = label1_->font();
  f.setPointSize(12);
  label1_->setFont(f);
  setFont(f);
  const int panelWidth = PixelsToTwips(picture1_->width());
  const int panelHeight = PixelsToTwips(picture1_->height());
  scroll_.Load(panelWidth, panelHeight);
  label1_->setGeometry(0, TwipsToPixels(panelHeight), picture1_->width(), TwipsToPixels(scroll_.LabelHeight()));
  timer1_.start();
}

void Form1::Timer1_Timer() {
  const int top = scroll_.Tick();
  label1_->move(0, TwipsToPixels(top));
}

void Form1::RunButton(const MenuButton& b) {
  switch (b.action) {
    case MenuAction::CurveWindow: ShowCurveWindow(this); break;
    case MenuAction::AboutBox: ShowAboutBox(); break;
    case MenuAction::StartProgram:
      StartProgram(QString::fromUtf8(b.program.data(), static_cast<qsizetype>(b.program.size())));
      break;
  }
}

void Form1::StartProgram(const QString& name) {
  const StartOutcome outcome = StartProgramFrom(programFolder_, name);
  if (!outcome.started)
    platform::PresentMessage(this, ProgramStartFailedMessage(name.toStdString(), platform::ToUtf8(outcome.reason)));
}

QStringList Form1::SelfCheckProblems() const {
  QStringList problems;
  if (picture_.isNull()) problems << QStringLiteral("背景图片未找到: %1").arg(PicturePath());
  for (const MenuButton& b : kMenuButtons) {
    const QString name = QString::fromUtf8(b.control.data(), static_cast<qsizetype>(b.control.size()));
    if (!findChild<fennick::KestrelCommand*>(name)) problems << QStringLiteral("按钮 %1 未能创建").arg(name);
  }
  if (ProgramIcon().isNull()) problems << QStringLiteral("程序图标缺失");
  return problems;
}

QWidget* ShowCurveWindow([[maybe_unused]] QWidget* messageParent) {
#ifdef TALLYFEN_HAS_CURVE_WINDOW
  static QPointer<QxForm1> window;
  if (!window) {
    window = new QxForm1(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(QIcon(ProgramIcon()));
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
#else
  platform::PresentMessage(messageParent, CurveWindowMissingMessage());
  return nullptr;
#endif
}

}  // namespace tallyfen
