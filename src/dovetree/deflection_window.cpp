#include "dovetree/deflection_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

#include "common/twips.h"
#include "platform/enter_as_tab.h"
#include "platform/single_instance.h"
#include "platform/field_binding.h"
#include "platform/text_printing.h"
#include "platform/twips_rect.h"

namespace dovetree {

namespace {

// Object names (found by stored layouts, automation and the window tests) -> form fields, in
// the order Enter moves through them.
constexpr platform::FieldBinding<DeflectionFields> kFieldObjects[] = {
    {"Text1", &DeflectionFields::jd},     {"Text2", &DeflectionFields::alpha},
    {"Text3", &DeflectionFields::radius}, {"Text4", &DeflectionFields::ls},
    {"Text5", &DeflectionFields::station}, {"Text6", &DeflectionFields::extra},
};

// Where each field sits: its frame, its label and the top of its box in twips.
struct FieldPlace {
  const char* field;
  const char* frame;
  const char* label;
  const char* caption;
  int top;
};
constexpr FieldPlace kFieldPlaces[] = {
    {"Text1", "Frame1", "Label1", "交点桩号JD：", 240}, {"Text2", "Frame1", "Label2", "偏角角度α：", 720},
    {"Text3", "Frame1", "Label3", "曲线半径R ：", 1200}, {"Text4", "Frame1", "Label4", "缓和曲线Ls：", 1680},
    {"Text5", "Frame3", "Label6", "置镜点桩号：", 240},  {"Text6", "Frame2", "Label5", "随机加桩JZ：", 240},
};

struct FrameLayout {
  const char* name;
  const char* caption;
  int top, height;
};
constexpr FrameLayout kFrames[] = {
    {"Frame1", "原始数据", 0, 2175}, {"Frame3", "测站数据", 2280, 735}, {"Frame2", "加桩数据", 3120, 735}};

// Object names of the buttons -> commands, left to right.
// Places in twips: left and width.
using ButtonControl = platform::ButtonBinding<void (DeflectionWindow::*)()>;
constexpr ButtonControl kButtons[] = {
    {"Command1", "偏角计算", &DeflectionWindow::ComputeDeflections, {0, 0, 975}},
    {"Command3", "打  印", &DeflectionWindow::PrintReport, {960, 0, 855}},
    {"Command2", "加桩计算", &DeflectionWindow::AddExtraStake, {1800, 0, 975}},
};

// The layout is kept in twips, as the window was drawn.
using platform::Twips;

}  // namespace

DeflectionWindow::DeflectionWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("hhForm1"));
  setWindowTitle(platform::ToQString(kWindowTitle));
  setFont(platform::CjkFont(QStringLiteral("宋体"), 9));
  setFixedSize(survey::TwipsToPixels(9360), survey::TwipsToPixels(4485));

  for (const FrameLayout& entry : kFrames) {
    auto* frame = new QGroupBox(platform::ToQString(entry.caption), this);
    frame->setObjectName(QLatin1String(entry.name));
    frame->setGeometry(Twips(0, entry.top, 2775, entry.height));
  }
  // A label sits at the left of its box, 120 twips lower than the box top.
  for (const FieldPlace& place : kFieldPlaces) {
    auto* frame = findChild<QGroupBox*>(QLatin1String(place.frame));
    auto* label = new QLabel(platform::ToQString(place.caption), frame);
    label->setObjectName(QLatin1String(place.label));
    label->setGeometry(Twips(120, place.top + 120, 1200, 255));
    auto* box = new QLineEdit(frame);
    box->setObjectName(QLatin1String(place.field));
    box->setGeometry(Twips(1320, place.top, 1335, 375));
  }
  QWidget* tabOrder[std::size(kFieldObjects) + std::size(kButtons) + 1] = {};
  std::size_t next = 0;
  auto* enter = new platform::EnterAsTab(this);
  for (const auto& binding : kFieldObjects) {
    QLineEdit* field = platform::FieldNamed(*this, binding.objectName);
    enter->Add(field);
    tabOrder[next++] = field;
  }
  QPushButton* buttons[std::size(kButtons)] = {};
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    const ButtonControl& entry = kButtons[i];
    buttons[i] = new QPushButton(platform::ToQString(entry.caption), this);
    buttons[i]->setObjectName(QLatin1String(entry.objectName));
    buttons[i]->setGeometry(Twips(entry.place.x, 3960, entry.place.width, 375));
    connect(buttons[i], &QPushButton::clicked, this, entry.handler);
  }
  // Tab goes from the fields to the buttons in command order: compute, extra stake, print.
  for (const char* name : {"Command1", "Command2", "Command3"})
    tabOrder[next++] = findChild<QPushButton*>(QLatin1String(name));

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
  tabOrder[next++] = report_;
  for (std::size_t i = 0; i + 1 < next; ++i) setTabOrder(tabOrder[i], tabOrder[i + 1]);

  ShowReport();
  tabOrder[0]->setFocus();
}

void DeflectionWindow::PullReport() {
  // The user may have typed in the box or moved the cursor; the form works on what is shown.
  form_.SetReportFromBox(platform::ToUtf8(report_->toPlainText()),
                         static_cast<std::size_t>(report_->textCursor().position()));
}

void DeflectionWindow::ShowReport() {
  report_->setPlainText(platform::ToQString(form_.ReportWithLf()));
  QTextCursor cursor = report_->textCursor();
  cursor.setPosition(static_cast<int>(form_.InsertionCharacters()));
  report_->setTextCursor(cursor);
}

void DeflectionWindow::RunOnReport(survey::Outcome (StationDeflectionForm::*command)()) {
  platform::PullFields<DeflectionFields>(*this, kFieldObjects, form_.fields());
  PullReport();
  const std::string before = form_.Report();
  const std::size_t cursor = form_.InsertionOffset();
  (form_.*command)();
  if (form_.Report() != before || form_.InsertionOffset() != cursor) ShowReport();
}

void DeflectionWindow::ComputeDeflections() { RunOnReport(&StationDeflectionForm::ComputeDeflections); }

void DeflectionWindow::AddExtraStake() { RunOnReport(&StationDeflectionForm::AddExtraStake); }

void DeflectionWindow::PrintReport() {
  PullReport();
  form_.PrintReport();
}

QFont DeflectionWindow::PrintFont() { return platform::ColumnPrintFont(12); }

int RunWindow(QApplication& app) {
  return platform::RunWindow(app, QStringLiteral("dovetree"), platform::Instances::OnePerUser,
                             [] { return std::make_unique<DeflectionWindow>(); });
}

}  // namespace dovetree
