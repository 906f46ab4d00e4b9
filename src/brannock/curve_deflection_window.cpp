#include "brannock/curve_deflection_window.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "brannock/animated_mark.h"
#include "brannock/font_dialog.h"
#include "brannock/help_window.h"
#include "common/project_info.h"
#include "platform/enter_as_tab.h"
#include "platform/field_binding.h"
#include "platform/single_instance.h"
#include "platform/text_printing.h"

namespace brannock {

using platform::ToQString;
using platform::ToUtf8;

namespace {

QString Shown(const std::string& report) {
  QString text = ToQString(report);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

QLineEdit* Field(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QLatin1String(name));
  return e;
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* b = new QPushButton(ToQString(caption), parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

// The print and home-page buttons need pictures the style does not have; where the desktop's
// icon theme has them they come from it, otherwise they are drawn here.
QIcon DrawnIcon(const QString& themeName, void (*draw)(QPainter&)) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  draw(p);
  p.end();
  return QIcon::fromTheme(themeName, QIcon(pixmap));
}

void DrawPrinter(QPainter& p) {
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9.5, 3.5, 13, 10));  // the sheet going in
  p.setBrush(QColor(150, 150, 155));
  p.drawRoundedRect(QRectF(3.5, 12.5, 25, 11), 2, 2);  // the body
  p.setBrush(Qt::white);
  p.drawRect(QRectF(8.5, 19.5, 15, 9));  // the printed sheet
  p.drawLine(QPointF(11, 23), QPointF(21, 23));
  p.drawLine(QPointF(11, 26), QPointF(19, 26));
  p.setBrush(QColor(80, 200, 80));
  p.drawEllipse(QPointF(24.5, 15.5), 1.2, 1.2);
}

void DrawHouse(QPainter& p) {
  p.setBrush(QColor(200, 70, 50));
  p.drawPolygon(QPolygonF({QPointF(16, 3.5), QPointF(29, 15.5), QPointF(3, 15.5)}));  // the roof
  p.setBrush(QColor(245, 235, 200));
  p.drawRect(QRectF(6.5, 15.5, 19, 13));  // the walls
  p.setBrush(QColor(120, 80, 40));
  p.drawRect(QRectF(13.5, 19.5, 5, 9));  // the door
}


using Window = CurveDeflectionWindow;
using Fields = CurveDeflectionFields;
using Action = CurveDeflectionWindow::ToolbarAction;

// Object names (found by stored layouts, automation and the window tests) -> form fields.
constexpr platform::FieldBinding<Fields> kFieldObjects[] = {
    {"Text1", &Fields::jd},     {"Text2", &Fields::alpha},        {"Text3", &Fields::radius},
    {"Text4", &Fields::ls},     {"Text5", &Fields::extraStation}, {"Text7", &Fields::printDate},
};

// Object names -> captions and handlers. The extra-stake button sits in its frame, the others
// two to a row in this order.
using CommandButton = platform::ButtonBinding<void (Window::*)()>;
constexpr CommandButton kExtraStakeButton{"Command2", "加桩计算", &Window::AddExtraStake};
constexpr CommandButton kCommandButtons[] = {
    {"Command1", "Brannock", &Window::ComputeReport}, {"Command7", "保持", &Window::SaveReport},
    {"Command3", "字体属性", &Window::ChooseReportFont}, {"Command4", "打  印", &Window::PrintReport},
    {"Command5", "复  位", &Window::ResetReport},      {"Command6", "退  出", &Window::ExitProgram},
};

// Toolbar keys (the actions' object names and data) -> captions and actions, left to right.
struct ToolbarButton {
  const char* key;
  const char* caption;
  Action action;
};
constexpr ToolbarButton kToolbarButtons[] = {
    {"qk", "清空文本", Action::Reset}, {"js", "Brannock", Action::Compute}, {"cr", "加桩计算", Action::ExtraStake},
    {"bc", "保存文本", Action::Save},  {"sz", "字体设置", Action::Font},    {"dy", "打印", Action::Print},
    {"bz", "帮助", Action::Help},      {"zy", "主页", Action::HomePage},    {"tc", "退出", Action::Exit},
};

// A field of the window, named as kFieldObjects names the member it holds.
QLineEdit* BoundField(std::string Fields::*member, QWidget* parent) {
  const auto* binding = std::ranges::find(kFieldObjects, member, &platform::FieldBinding<Fields>::text);
  return Field(binding->objectName, parent);
}

QIcon ToolbarIcon(Action action, const QStyle& style) {
  switch (action) {
    case Action::Reset: return style.standardIcon(QStyle::SP_DialogResetButton);
    case Action::Compute: return style.standardIcon(QStyle::SP_MediaPlay);
    case Action::ExtraStake: return style.standardIcon(QStyle::SP_FileDialogNewFolder);
    case Action::Save: return style.standardIcon(QStyle::SP_DialogSaveButton);
    case Action::Font: return style.standardIcon(QStyle::SP_FileDialogDetailedView);
    case Action::Print: return DrawnIcon(QStringLiteral("document-print"), DrawPrinter);
    case Action::Help: return style.standardIcon(QStyle::SP_DialogHelpButton);
    case Action::HomePage: return DrawnIcon(QStringLiteral("go-home"), DrawHouse);
    case Action::Exit: return style.standardIcon(QStyle::SP_DialogCloseButton);
  }
  return {};
}

}  // namespace

QFont CurveDeflectionWindow::ReportFont() {
  QFont f = platform::CjkFont(QStringLiteral("宋体"), 10.5, true);
  // Only even pixel sizes give the CJK glyphs exactly two Latin advances in these faces.
  f.setPixelSize(14);
  // Full hinting rounds the advances to whole pixels (7 and 14); unhinted they differ by a
  // 64th of a pixel and long lines drift.
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  return f;
}

QFont CurveDeflectionWindow::PrintFont() { return platform::ColumnPrintFont(12); }

CurveDeflectionWindow::CurveDeflectionWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("qxjsForm1"));
  setWindowTitle(ToQString(form_.title()));
  const QDate today = QDate::currentDate();
  form_.fields().printDate = DateFieldText(today.year(), today.month(), today.day());

  auto* central = new QWidget(this);
  setCentralWidget(central);

  auto* designBox = new QGroupBox(QStringLiteral("设计数据"), central);
  designBox->setObjectName(QStringLiteral("Frame1"));
  QLineEdit* jd = BoundField(&Fields::jd, designBox);
  QLineEdit* alpha = BoundField(&Fields::alpha, designBox);
  QLineEdit* radius = BoundField(&Fields::radius, designBox);
  QLineEdit* ls = BoundField(&Fields::ls, designBox);
  auto* g1 = new QGridLayout(designBox);
  g1->addWidget(Label("Label1", QStringLiteral("交点壮号JD："), designBox), 0, 0);
  g1->addWidget(jd, 0, 1);
  g1->addWidget(Label("Label2", QStringLiteral("偏角角度α："), designBox), 1, 0);
  g1->addWidget(alpha, 1, 1);
  g1->addWidget(Label("Label3", QStringLiteral("曲线半径R ："), designBox), 2, 0);
  g1->addWidget(radius, 2, 1);
  g1->addWidget(Label("Label4", QStringLiteral("缓和曲线Ls："), designBox), 3, 0);
  g1->addWidget(ls, 3, 1);

  auto* extraStakeBox = new QGroupBox(QStringLiteral("任意桩号"), central);
  extraStakeBox->setObjectName(QStringLiteral("Frame2"));
  QLineEdit* extraStation = BoundField(&Fields::extraStation, extraStakeBox);
  QPushButton* extraStake = Button(kExtraStakeButton.objectName, kExtraStakeButton.caption, extraStakeBox);
  connect(extraStake, &QPushButton::clicked, this, kExtraStakeButton.handler);
  auto* g2 = new QGridLayout(extraStakeBox);
  g2->addWidget(Label("Label5", QStringLiteral("加密壮号JZ："), extraStakeBox), 0, 0);
  g2->addWidget(extraStation, 0, 1);
  g2->addWidget(extraStake, 1, 0, 1, 2);

  auto* buttons = new QGridLayout;
  QPushButton* compute = nullptr;
  for (int i = 0; i < static_cast<int>(std::size(kCommandButtons)); ++i) {
    const CommandButton& b = kCommandButtons[i];
    QPushButton* button = Button(b.objectName, b.caption, central);
    connect(button, &QPushButton::clicked, this, b.handler);
    buttons->addWidget(button, i / 2, i % 2);
    if (i == 0) compute = button;
  }

  QLineEdit* printDate = BoundField(&Fields::printDate, central);
  auto* date = new QHBoxLayout;
  date->addWidget(new QLabel(QStringLiteral("打印日期：20"), central));
  date->addWidget(printDate);

  auto* mark = new AnimatedMark(central);
  mark->setObjectName(QStringLiteral("AniGIF1"));
  mark->setToolTip(QString::fromUtf8(survey::kProjectHomePage));
  connect(mark, &AnimatedMark::clicked, this, &Window::OpenHomePage);

  report_ = new QTextEdit(central);
  report_->setObjectName(QStringLiteral("RichTextBox1"));
  report_->setLineWrapMode(QTextEdit::NoWrap);
  report_->setFont(ReportFont());
  report_->setAcceptRichText(false);

  auto* left = new QVBoxLayout;
  left->addWidget(designBox);
  left->addWidget(extraStakeBox);
  left->addLayout(buttons);
  left->addLayout(date);
  left->addStretch();
  left->addWidget(mark, 0, Qt::AlignHCenter);
  auto* main = new QHBoxLayout(central);
  main->addLayout(left, 0);
  main->addWidget(report_, 1);

  AddToolbar();

  auto* enterAsTab = new platform::EnterAsTab(this);
  enterAsTab->Add({jd, alpha, radius, ls});
  setTabOrder(jd, alpha);
  setTabOrder(alpha, radius);
  setTabOrder(radius, ls);
  setTabOrder(ls, extraStation);
  setTabOrder(extraStation, extraStake);
  setTabOrder(extraStake, compute);

  fontChooser_ = &FontDialog::Ask;
  platform::PushFields<Fields>(*this, kFieldObjects, form_.fields());
  ShowReport();
  resize(1060, 660);
}

CurveDeflectionWindow::~CurveDeflectionWindow() = default;

void CurveDeflectionWindow::AddToolbar() {
  auto* toolbar = new QToolBar(QStringLiteral("工具栏"), this);
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setMovable(false);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (const ToolbarButton& t : kToolbarButtons) {
    QAction* a = toolbar->addAction(ToolbarIcon(t.action, *style()), ToQString(t.caption));
    a->setObjectName(QLatin1String(t.key));
    a->setData(QLatin1String(t.key));
    connect(a, &QAction::triggered, this, [this, action = t.action] { Run(action); });
  }
  addToolBar(Qt::TopToolBarArea, toolbar);
}

void CurveDeflectionWindow::PullReport() {
  // The user may have edited the report or clicked into it; the form works on what is shown.
  form_.SetReportFromBox(ToUtf8(report_->toPlainText()), static_cast<std::size_t>(report_->textCursor().position()));
}

void CurveDeflectionWindow::ShowReport() {
  // The box would write new text in the face at its cursor, which after a font command is the
  // face of the selection; a new report starts in the box's own face.
  report_->clear();
  report_->setCurrentCharFormat(QTextCharFormat());
  report_->setPlainText(Shown(form_.report()));
  QTextCursor c = report_->textCursor();
  c.setPosition(static_cast<int>(form_.InsertionBoxPosition()));
  report_->setTextCursor(c);
}

void CurveDeflectionWindow::ComputeReport() {
  platform::PullFields<Fields>(*this, kFieldObjects, form_.fields());
  if (form_.ComputeReport().ok()) ShowReport();
}

void CurveDeflectionWindow::AddExtraStake() {
  platform::PullFields<Fields>(*this, kFieldObjects, form_.fields());
  PullReport();
  if (!form_.AddExtraStake().ok()) return;
  const survey::InsertedLines& line = *form_.lastInserted();
  // Into the document rather than a fresh copy of the text, so the user's formatting stays.
  QTextCursor c(report_->document());
  c.setPosition(static_cast<int>(survey::BoxPositionOfByteOffset(form_.report(), line.at)));
  // The new line takes the report's own face, not that of a line the user restyled.
  QTextCharFormat plain;
  plain.setFont(report_->font());
  c.setCharFormat(plain);
  c.insertText(Shown(line.text));
  report_->setTextCursor(c);
}

void CurveDeflectionWindow::ChooseReportFont() {
  if (!fontChooser_) return;
  QTextCursor c = report_->textCursor();
  const QTextCharFormat current = c.charFormat();
  FontChoice now{current.font(), current.foreground().color()};
  const auto choice = fontChooser_(this, now);
  if (!choice) return;  // a cancelled dialog changes nothing
  QTextCharFormat f;
  f.setFontFamilies(QStringList{choice->font.family()});
  f.setFontPointSize(choice->font.pointSizeF());
  f.setFontWeight(choice->font.bold() ? QFont::Bold : QFont::Normal);
  f.setFontItalic(choice->font.italic());
  f.setFontStrikeOut(choice->font.strikeOut());
  f.setFontUnderline(choice->font.underline());
  f.setForeground(choice->color);
  c.mergeCharFormat(f);
  report_->mergeCurrentCharFormat(f);
}

void CurveDeflectionWindow::PrintReport() {
  PullReport();
  form_.PrintReport();
}

void CurveDeflectionWindow::ResetReport() {
  form_.ResetReport();
  ShowReport();
}

void CurveDeflectionWindow::ExitProgram() { close(); }

void CurveDeflectionWindow::SaveReport() {
  PullReport();
  if (form_.SaveReport().ok()) setWindowTitle(ToQString(form_.title()));
}

void CurveDeflectionWindow::OpenHomePage() {
  QDesktopServices::openUrl(QUrl(QString::fromUtf8(survey::kProjectHomePage)));
}

void CurveDeflectionWindow::ShowHelpContents() {
  if (!help_) help_ = new HelpWindow(this);
  help_->ShowContents();
  help_->show();
  help_->raise();
}

void CurveDeflectionWindow::Run(ToolbarAction action) {
  switch (action) {
    case ToolbarAction::Reset: ResetReport(); break;
    case ToolbarAction::Compute: ComputeReport(); break;
    case ToolbarAction::ExtraStake: AddExtraStake(); break;
    case ToolbarAction::Save: SaveReport(); break;
    case ToolbarAction::Font: ChooseReportFont(); break;
    case ToolbarAction::Print: PrintReport(); break;
    case ToolbarAction::Help: ShowHelpContents(); break;
    case ToolbarAction::HomePage: OpenHomePage(); break;
    case ToolbarAction::Exit: ExitProgram(); break;
  }
}

int RunWindow(QApplication& app) {
  return platform::RunWindow(app, QStringLiteral("brannock"), platform::Instances::OnePerUser,
                             [] { return std::make_unique<CurveDeflectionWindow>(); });
}

}  // namespace brannock
