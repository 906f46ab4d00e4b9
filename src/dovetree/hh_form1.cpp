#include "dovetree/hh_form1.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/enter_as_tab.h"
#include "platform/single_instance.h"
#include "platform/text_printing.h"

namespace dovetree {

namespace {

// Positions are kept in twips as designed and placed at 15 twips a pixel (96 dpi).
QRect Twips(int left, int top, int width, int height) { return QRect(left / 15, top / 15, width / 15, height / 15); }

// A labelled field: the label at the left of its box, 120 twips lower than the box top.
QLineEdit* AddField(QWidget* parent, const char* labelName, const char* caption, const char* boxName, int boxTop) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setObjectName(QString::fromLatin1(labelName));
  label->setGeometry(Twips(120, boxTop + 120, 1200, 255));
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(boxName));
  box->setGeometry(Twips(1320, boxTop, 1335, 375));
  return box;
}

QGroupBox* AddFrame(QWidget* parent, const char* name, const char* caption, QRect geometry) {
  auto* frame = new QGroupBox(QString::fromUtf8(caption), parent);
  frame->setObjectName(QString::fromLatin1(name));
  frame->setGeometry(geometry);
  return frame;
}

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption, QRect geometry) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  return button;
}

}  // namespace

HhForm1::HhForm1(QWidget* parent) : QWidget(parent), host_(this) {
  setObjectName(QStringLiteral("hhForm1"));
  setWindowTitle(QString::fromUtf8(kWindowTitle));
  setFont(platform::CjkFont(QStringLiteral("宋体"), 9));
  setFixedSize(9360 / 15, 4485 / 15);

  QGroupBox* frame1 = AddFrame(this, "Frame1", "原始数据", Twips(0, 0, 2775, 2175));
  text_[0] = AddField(frame1, "Label1", "交点桩号JD：", "Text1", 240);
  text_[1] = AddField(frame1, "Label2", "偏角角度α：", "Text2", 720);
  text_[2] = AddField(frame1, "Label3", "曲线半径R ：", "Text3", 1200);
  text_[3] = AddField(frame1, "Label4", "DovetreeLs：", "Text4", 1680);
  QGroupBox* frame3 = AddFrame(this, "Frame3", "测站数据", Twips(0, 2280, 2775, 735));
  text_[4] = AddField(frame3, "Label6", "置镜点桩号：", "Text5", 240);
  QGroupBox* frame2 = AddFrame(this, "Frame2", "加桩数据", Twips(0, 3120, 2775, 735));
  text_[5] = AddField(frame2, "Label5", "随机加桩JZ：", "Text6", 240);

  QPushButton* command1 = AddButton(this, "Command1", "偏角计算", Twips(0, 3960, 975, 375));
  QPushButton* command3 = AddButton(this, "Command3", "打  印", Twips(960, 3960, 855, 375));
  QPushButton* command2 = AddButton(this, "Command2", "加桩计算", Twips(1800, 3960, 975, 375));

  report_ = new QTextEdit(this);
  report_->setObjectName(QStringLiteral("RichTextBox1"));
  report_->setGeometry(Twips(2760, 0, 6615, 4455));
  report_->setAcceptRichText(false);
  // The fixed window leaves the box no room to widen: a line longer than the box (the help
  // text's second line) wraps, anywhere in a run of CJK text, so nothing needs a sideways
  // scroll. The report rows are narrower than the box and stay one line each.
  report_->setLineWrapMode(QTextEdit::WidgetWidth);
  report_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // The columns need one advance per Latin character and two per CJK one; 9 pt gives 6 and 12
  // pixels at 96 dpi in the monospaced CJK faces.
  report_->setFont(platform::CjkFont(QStringLiteral("宋体"), 9, true));

  auto* enter = new platform::EnterAsTab(this);
  for (QLineEdit* t : text_) enter->Add(t);
  QWidget* order[] = {text_[0], text_[1], text_[2], text_[3], text_[4], text_[5], command1, command2, command3, report_};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  connect(command1, &QPushButton::clicked, this, &HhForm1::Command1_Click);
  connect(command2, &QPushButton::clicked, this, &HhForm1::Command2_Click);
  connect(command3, &QPushButton::clicked, this, &HhForm1::Command3_Click);

  form_.printText = [this](const std::string& text) {
    const survey::Outcome o = platform::PrintTextWithDialog(this, platform::ToQString(text), PrintFont());
    return PrintResult{o.ok(), o.cancelled(), o.error, o.ok() || o.cancelled() ? 0 : 1};
  };

  ShowReport();
  text_[0]->setFocus();
}

void HhForm1::PullFields() {
  std::string* fields[] = {&form_.Text1, &form_.Text2, &form_.Text3, &form_.Text4, &form_.Text5, &form_.Text6};
  for (int i = 0; i < 6; ++i) *fields[i] = platform::ToUtf8(text_[i]->text());
}

void HhForm1::PullReport() {
  // The user may have typed in the box or moved the cursor; the form works on what is shown.
  form_.SetReportFromBox(platform::ToUtf8(report_->toPlainText()),
                         static_cast<std::size_t>(report_->textCursor().position()));
}

void HhForm1::ShowReport() {
  report_->setPlainText(platform::ToQString(form_.ReportWithLf()));
  QTextCursor cursor = report_->textCursor();
  cursor.setPosition(static_cast<int>(form_.InsertionCharacters()));
  report_->setTextCursor(cursor);
}

void HhForm1::Command1_Click() {
  PullFields();
  PullReport();
  const std::string before = form_.Report();
  const std::size_t cursor = form_.InsertionOffset();
  form_.Command1_Click(host_);
  // A refusal leaves the box alone, scroll position included.
  if (form_.Report() != before || form_.InsertionOffset() != cursor) ShowReport();
}

void HhForm1::Command2_Click() {
  PullFields();
  PullReport();
  const std::string before = form_.Report();
  const std::size_t cursor = form_.InsertionOffset();
  form_.Command2_Click(host_);
  // A refusal leaves the box alone, scroll position included.
  if (form_.Report() != before || form_.InsertionOffset() != cursor) ShowReport();
}

void HhForm1::Command3_Click() {
  PullReport();
  form_.Command3_Click(host_);
}

QFont HhForm1::PrintFont() { return platform::ColumnPrintFont(12); }

PrintResult PrintReportToPdf(const std::string& pdfPath, const std::string& text) {
  std::string reason;
  if (platform::PrintTextToPdf(platform::ToQString(pdfPath), platform::ToQString(text), HhForm1::PrintFont(), 1, &reason))
    return {true, false, {}, 0};
  return {false, false, "无法写入PDF文件：" + pdfPath + "\r\n" + reason, 1};
}

std::unique_ptr<HhForm1> OpenWindow(platform::SingleInstanceGuard& guard) {
  if (!guard.IsFirst()) {
    platform::PresentMessage(nullptr, survey::AlreadyRunningMessage());
    return nullptr;
  }
  return std::make_unique<HhForm1>();
}

int RunWindow(QApplication& app) {
  platform::SingleInstanceGuard guard(QStringLiteral("dovetree"));
  std::unique_ptr<HhForm1> window = OpenWindow(guard);
  if (!window) return 0;
  window->show();
  return app.exec();
}

}  // namespace dovetree
