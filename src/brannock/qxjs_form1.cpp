#include "brannock/qxjs_form1.h"

#include <QAction>
#include <QApplication>
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
#include <QDate>

#include "brannock/animated_mark.h"
#include "brannock/font_dialog.h"
#include "brannock/help_window.h"
#include "common/project_info.h"
#include "platform/enter_as_tab.h"
#include "platform/single_instance.h"
#include "platform/text_files.h"
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

QLineEdit* Field(const char* name, QWidget* parent, const QString& text = QString()) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(QLatin1String(name));
  return e;
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
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

}  // namespace

QFont qxjsForm1::ReportFont() {
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

QFont qxjsForm1::PrintFont() { return platform::ColumnPrintFont(12); }

Outcome PrintReportToPdf(const std::string& pdfPath, const std::string& text) {
  std::string reason;
  if (platform::PrintTextToPdf(ToQString(pdfPath), ToQString(text), qxjsForm1::PrintFont(), 1, &reason))
    return {true, false, {}, 0};
  return {false, false, "无法写入PDF文件：" + pdfPath + "\r\n" + reason, 1};
}

qxjsForm1::qxjsForm1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("qxjsForm1"));
  setWindowTitle(ToQString(form_.title));

  auto* central = new QWidget(this);
  setCentralWidget(central);

  auto* frame1 = new QGroupBox(QStringLiteral("设计数据"), central);
  frame1->setObjectName(QStringLiteral("Frame1"));
  text1_ = Field("Text1", frame1);
  text2_ = Field("Text2", frame1);
  text3_ = Field("Text3", frame1);
  text4_ = Field("Text4", frame1, QStringLiteral("0"));
  auto* g1 = new QGridLayout(frame1);
  g1->addWidget(Label("Label1", QStringLiteral("交点壮号JD："), frame1), 0, 0);
  g1->addWidget(text1_, 0, 1);
  g1->addWidget(Label("Label2", QStringLiteral("偏角角度α："), frame1), 1, 0);
  g1->addWidget(text2_, 1, 1);
  g1->addWidget(Label("Label3", QStringLiteral("曲线半径R ："), frame1), 2, 0);
  g1->addWidget(text3_, 2, 1);
  g1->addWidget(Label("Label4", QStringLiteral("DovetreeLs："), frame1), 3, 0);
  g1->addWidget(text4_, 3, 1);

  auto* frame2 = new QGroupBox(QStringLiteral("任意桩号"), central);
  frame2->setObjectName(QStringLiteral("Frame2"));
  text5_ = Field("Text5", frame2);
  auto* command2 = Button("Command2", QStringLiteral("加桩计算"), frame2);
  auto* g2 = new QGridLayout(frame2);
  g2->addWidget(Label("Label5", QStringLiteral("加密壮号JZ："), frame2), 0, 0);
  g2->addWidget(text5_, 0, 1);
  g2->addWidget(command2, 1, 0, 1, 2);

  auto* command1 = Button("Command1", QStringLiteral("Brannock"), central);
  auto* command3 = Button("Command3", QStringLiteral("字体属性"), central);
  auto* command4 = Button("Command4", QStringLiteral("打  印"), central);
  auto* command5 = Button("Command5", QStringLiteral("复  位"), central);
  auto* command6 = Button("Command6", QStringLiteral("退  出"), central);
  auto* command7 = Button("Command7", QStringLiteral("保持"), central);
  auto* buttons = new QGridLayout;
  buttons->addWidget(command1, 0, 0);
  buttons->addWidget(command7, 0, 1);
  buttons->addWidget(command3, 1, 0);
  buttons->addWidget(command4, 1, 1);
  buttons->addWidget(command5, 2, 0);
  buttons->addWidget(command6, 2, 1);

  const QDate today = QDate::currentDate();
  text7_ = Field("Text7", central, ToQString(DateFieldText(today.year(), today.month(), today.day())));
  auto* date = new QHBoxLayout;
  date->addWidget(new QLabel(QStringLiteral("打印日期：20"), central));
  date->addWidget(text7_);

  auto* mark = new AnimatedMark(central);
  mark->setObjectName(QStringLiteral("AniGIF1"));
  mark->setToolTip(QString::fromUtf8(survey::kProjectHomePage));

  report_ = new QTextEdit(central);
  report_->setObjectName(QStringLiteral("RichTextBox1"));
  report_->setLineWrapMode(QTextEdit::NoWrap);
  report_->setFont(ReportFont());
  report_->setAcceptRichText(false);

  auto* left = new QVBoxLayout;
  left->addWidget(frame1);
  left->addWidget(frame2);
  left->addLayout(buttons);
  left->addLayout(date);
  left->addStretch();
  left->addWidget(mark, 0, Qt::AlignHCenter);
  auto* main = new QHBoxLayout(central);
  main->addLayout(left, 0);
  main->addWidget(report_, 1);

  toolbar_ = new QToolBar(QStringLiteral("工具栏"), this);
  toolbar_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  struct Tool {
    const char* key;
    QString caption;
    QIcon icon;
  };
  const Tool tools[] = {
      {"qk", QStringLiteral("清空文本"), style()->standardIcon(QStyle::SP_DialogResetButton)},
      {"js", QStringLiteral("Brannock"), style()->standardIcon(QStyle::SP_MediaPlay)},
      {"cr", QStringLiteral("加桩计算"), style()->standardIcon(QStyle::SP_FileDialogNewFolder)},
      {"bc", QStringLiteral("保存文本"), style()->standardIcon(QStyle::SP_DialogSaveButton)},
      {"sz", QStringLiteral("字体设置"), style()->standardIcon(QStyle::SP_FileDialogDetailedView)},
      {"dy", QStringLiteral("打印"), DrawnIcon(QStringLiteral("document-print"), DrawPrinter)},
      {"bz", QStringLiteral("帮助"), style()->standardIcon(QStyle::SP_DialogHelpButton)},
      {"zy", QStringLiteral("主页"), DrawnIcon(QStringLiteral("go-home"), DrawHouse)},
      {"tc", QStringLiteral("退出"), style()->standardIcon(QStyle::SP_DialogCloseButton)},
  };
  for (const Tool& t : tools) {
    QAction* a = toolbar_->addAction(t.icon, t.caption);
    a->setObjectName(QLatin1String(t.key));
    a->setData(QLatin1String(t.key));
    connect(a, &QAction::triggered, this, [this, a] { Toolbar1_ButtonClick(a->data().toString()); });
  }
  addToolBar(Qt::TopToolBarArea, toolbar_);

  enterAsTab_ = new platform::EnterAsTab(this);
  enterAsTab_->Add({text1_, text2_, text3_, text4_});
  setTabOrder(text1_, text2_);
  setTabOrder(text2_, text3_);
  setTabOrder(text3_, text4_);
  setTabOrder(text4_, text5_);
  setTabOrder(text5_, command2);
  setTabOrder(command2, command1);

  connect(command1, &QPushButton::clicked, this, &qxjsForm1::Command1_Click);
  connect(command2, &QPushButton::clicked, this, &qxjsForm1::Command2_Click);
  connect(command3, &QPushButton::clicked, this, &qxjsForm1::Command3_Click);
  connect(command4, &QPushButton::clicked, this, &qxjsForm1::Command4_Click);
  connect(command5, &QPushButton::clicked, this, &qxjsForm1::Command5_Click);
  connect(command6, &QPushButton::clicked, this, &qxjsForm1::Command6_Click);
  connect(command7, &QPushButton::clicked, this, &qxjsForm1::Command7_Click);
  connect(mark, &AnimatedMark::clicked, this, &qxjsForm1::AniGIF1_Click);

  form_.writeTextFile = [](const std::string& path, const std::string& utf8) {
    const survey::Outcome o = platform::WriteGbkFile(path, utf8);
    return Outcome{o.ok(), false, o.error, o.ok() ? 0 : 1};
  };
  form_.printText = [this](const std::string& text) {
    const survey::Outcome o = platform::PrintTextWithDialog(this, ToQString(text), PrintFont());
    return Outcome{o.ok(), o.cancelled(), o.error, o.ok() || o.cancelled() ? 0 : 1};
  };
  fontChooser_ = &FontDialog::Ask;

  ShowReport();
  resize(1060, 660);
}

qxjsForm1::~qxjsForm1() = default;

void qxjsForm1::ReadFields() {
  form_.Text1 = ToUtf8(text1_->text());
  form_.Text2 = ToUtf8(text2_->text());
  form_.Text3 = ToUtf8(text3_->text());
  form_.Text4 = ToUtf8(text4_->text());
  form_.Text5 = ToUtf8(text5_->text());
  form_.Text7 = ToUtf8(text7_->text());
}

void qxjsForm1::PullReport() {
  // The user may have edited the report or clicked into it; the form works on what is shown.
  form_.SetReportFromBox(ToUtf8(report_->toPlainText()), static_cast<std::size_t>(report_->textCursor().position()));
}

void qxjsForm1::ShowReport() {
  // The box would write new text in the face at its cursor, which after a font command is the
  // face of the selection; a new report starts in the box's own face.
  report_->clear();
  report_->setCurrentCharFormat(QTextCharFormat());
  report_->setPlainText(Shown(form_.report));
  QTextCursor c = report_->textCursor();
  c.setPosition(static_cast<int>(form_.InsertionBoxPosition()));
  report_->setTextCursor(c);
}

void qxjsForm1::Command1_Click() {
  ReadFields();
  if (form_.Command1_Click(host_)) ShowReport();
}

void qxjsForm1::Command2_Click() {
  ReadFields();
  PullReport();
  const auto line = form_.Command2_Click(host_);
  if (!line) return;
  // Into the document rather than a fresh copy of the text, so the user's formatting stays.
  QTextCursor c(report_->document());
  c.setPosition(static_cast<int>(survey::BoxPositionOfByteOffset(form_.report, line->at)));
  // The new line takes the report's own face, not that of a line the user restyled.
  QTextCharFormat plain;
  plain.setFont(report_->font());
  c.setCharFormat(plain);
  c.insertText(Shown(line->text));
  report_->setTextCursor(c);
}

void qxjsForm1::Command3_Click() {
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

void qxjsForm1::Command4_Click() {
  PullReport();
  form_.Command4_Click(host_);
}

void qxjsForm1::Command5_Click() {
  form_.Command5_Click();
  ShowReport();
}

void qxjsForm1::Command6_Click() { close(); }

void qxjsForm1::Command7_Click() {
  PullReport();
  if (form_.Command7_Click(host_)) setWindowTitle(ToQString(form_.title));
}

void qxjsForm1::AniGIF1_Click() { QDesktopServices::openUrl(QUrl(QString::fromUtf8(survey::kProjectHomePage))); }

void qxjsForm1::ShowHelpContents() {
  if (!help_) help_ = new HelpWindow(this);
  help_->ShowContents();
  help_->show();
  help_->raise();
}

void qxjsForm1::Toolbar1_ButtonClick(const QString& key) {
  switch (ActionForKey(ToUtf8(key))) {
    case ToolbarAction::Reset: Command5_Click(); break;
    case ToolbarAction::Compute: Command1_Click(); break;
    case ToolbarAction::ExtraStake: Command2_Click(); break;
    case ToolbarAction::Save: Command7_Click(); break;
    case ToolbarAction::Font: Command3_Click(); break;
    case ToolbarAction::Print: Command4_Click(); break;
    case ToolbarAction::Help: ShowHelpContents(); break;
    case ToolbarAction::HomePage: AniGIF1_Click(); break;
    case ToolbarAction::Exit: Command6_Click(); break;
    case ToolbarAction::None: break;
  }
}

std::unique_ptr<qxjsForm1> OpenWindow(platform::SingleInstanceGuard& guard) {
  if (!guard.IsFirst()) {
    platform::PresentMessage(nullptr, survey::AlreadyRunningMessage());
    return nullptr;
  }
  return std::make_unique<qxjsForm1>();
}

int RunWindow(QApplication& app) {
  platform::SingleInstanceGuard guard(QStringLiteral("brannock"));
  auto window = OpenWindow(guard);
  if (!window) return 0;
  window->show();
  return app.exec();
}

}  // namespace brannock
