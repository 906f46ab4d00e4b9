#include "rillford/forward_inverse_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "platform/enter_as_tab.h"
#include "platform/field_binding.h"
#include "platform/single_instance.h"
#include "platform/text_printing.h"

namespace rillford {

namespace {

using F = ForwardInverseFields;

// Object names (found by stored layouts, automation and the window tests) -> form fields.
constexpr platform::FieldBinding<F> kFieldObjects[] = {
    {"Text1", &F::forwardAx},       {"Text2", &F::forwardAy},       {"Text3", &F::forwardDegrees},
    {"Text4", &F::forwardMinutes},  {"Text5", &F::forwardSeconds},  {"Text6", &F::forwardDistance},
    {"Text7", &F::forwardBx},       {"Text8", &F::forwardBy},       {"Text9", &F::inverseAx},
    {"Text10", &F::inverseAy},      {"Text11", &F::inverseBx},      {"Text12", &F::inverseBy},
    {"Text13", &F::inverseDegrees}, {"Text14", &F::inverseMinutes}, {"Text15", &F::inverseSeconds},
    {"Text16", &F::inverseDistance},
};

// Buttons -> what a click runs. A refused compute has told the user already; the window keeps
// the fields as the form left them either way.
using ButtonObject = platform::ButtonBinding<void (*)(ForwardInverseForm&)>;
constexpr ButtonObject kButtonObjects[] = {
    {"Command1", "计  算", [](ForwardInverseForm& f) { f.ComputeForward(); }},
    {"Command2", "清  空", [](ForwardInverseForm& f) { f.ClearForward(); }},
    {"Command3", "计  算", [](ForwardInverseForm& f) { f.ComputeInverse(); }},
    {"Command4", "清  空", [](ForwardInverseForm& f) { f.ClearInverse(); }},
};

const char* ObjectNameOf(std::string F::*member) {
  for (const auto& b : kFieldObjects)
    if (b.text == member) return b.objectName;
  return "";
}

constexpr int kFieldWidth = 120;
constexpr int kFieldHeight = 23;
constexpr int kColX = 84;    // X column
constexpr int kColY = 216;   // y column
constexpr int kFrameWidth = 440;
constexpr int kFrameHeight = 200;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 76) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(x, y, w, kFieldHeight);
  label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  return label;
}

QLineEdit* AddField(QWidget* frame, std::string F::*member, int x, int y, int w = kFieldWidth) {
  auto* field = new QLineEdit(frame);
  field->setObjectName(QString::fromLatin1(ObjectNameOf(member)));
  field->setGeometry(x, y, w, kFieldHeight);
  return field;
}

// "方位角:" with the degree, minute and second fields and their unit labels; the labels are
// named from `firstLabel` on.
void AddAzimuthRow(QWidget* frame, int firstLabel, std::string F::*degrees, std::string F::*minutes,
                   std::string F::*seconds, int y) {
  const auto name = [](int n) { return QStringLiteral("Label%1").arg(n).toLatin1(); };
  AddLabel(frame, name(firstLabel).constData(), QStringLiteral("方位角:"), 10, y);
  const QString units[] = {QStringLiteral("度"), QStringLiteral("分"), QStringLiteral("秒")};
  std::string F::* const parts[] = {degrees, minutes, seconds};
  for (int i = 0; i < 3; ++i) {
    AddField(frame, parts[i], kColX + 80 * i, y, 56);
    AddLabel(frame, name(firstLabel + 1 + i).constData(), units[i], kColX + 60 + 80 * i, y, 20);
  }
}

// The X and y headings over the two columns of fields.
void AddColumnHeadings(QWidget* frame, const char* xName, const char* yName) {
  AddLabel(frame, xName, QStringLiteral("X坐标"), kColX, 18, kFieldWidth)->setAlignment(Qt::AlignCenter);
  AddLabel(frame, yName, QStringLiteral("y坐标"), kColY, 18, kFieldWidth)->setAlignment(Qt::AlignCenter);
}

// A point's row: its label, then its X and y fields.
void AddPointRow(QWidget* frame, const char* name, const QString& text, std::string F::*x, std::string F::*y, int top) {
  AddLabel(frame, name, text, 10, top);
  AddField(frame, x, kColX, top);
  AddField(frame, y, kColY, top);
}

void AddButton(QWidget* parent, const char* name, int x, int y) {
  for (const ButtonObject& b : kButtonObjects) {
    if (std::string_view(b.objectName) != name) continue;
    auto* button = new QPushButton(QString::fromUtf8(b.caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, y, 76, 27);
    button->setAutoDefault(false);
  }
}

}  // namespace

ForwardInverseWindow::ForwardInverseWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("坐标计算    路线测量计算组编制    2003修正版"));
  setFont(platform::CjkFont(QStringLiteral("SimSun"), 9));
  QPalette green = palette();
  green.setColor(QPalette::Window, QColor(192, 255, 192));
  setPalette(green);
  setAutoFillBackground(true);

  // Frame1: the forward problem. Creation order is the tab order.
  auto* forwardBox = new QGroupBox(QStringLiteral("坐标正算"), this);
  forwardBox->setObjectName(QStringLiteral("Frame1"));
  forwardBox->setGeometry(8, 8, kFrameWidth, kFrameHeight);
  AddColumnHeadings(forwardBox, "Label1", "Label2");
  AddPointRow(forwardBox, "Label3", QStringLiteral("A点坐标:"), &F::forwardAx, &F::forwardAy, 42);
  AddAzimuthRow(forwardBox, 4, &F::forwardDegrees, &F::forwardMinutes, &F::forwardSeconds, 74);
  AddLabel(forwardBox, "Label8", QStringLiteral("边  长:"), 10, 106);
  AddField(forwardBox, &F::forwardDistance, kColX, 106);
  AddPointRow(forwardBox, "Label9", QStringLiteral("B点坐标:"), &F::forwardBx, &F::forwardBy, 154);
  AddButton(forwardBox, "Command1", 352, 42);
  AddButton(forwardBox, "Command2", 352, 90);

  // Frame2: the inverse problem.
  auto* inverseBox = new QGroupBox(QStringLiteral("坐标反算"), this);
  inverseBox->setObjectName(QStringLiteral("Frame2"));
  inverseBox->setGeometry(8, 16 + kFrameHeight, kFrameWidth, kFrameHeight);
  AddColumnHeadings(inverseBox, "Label10", "Label11");
  AddPointRow(inverseBox, "Label12", QStringLiteral("A点坐标:"), &F::inverseAx, &F::inverseAy, 42);
  AddPointRow(inverseBox, "Label13", QStringLiteral("B点坐标:"), &F::inverseBx, &F::inverseBy, 74);
  AddAzimuthRow(inverseBox, 14, &F::inverseDegrees, &F::inverseMinutes, &F::inverseSeconds, 122);
  AddLabel(inverseBox, "Label18", QStringLiteral("边  长:"), 10, 154);
  AddField(inverseBox, &F::inverseDistance, kColX, 154);
  AddButton(inverseBox, "Command3", 352, 42);
  AddButton(inverseBox, "Command4", 352, 90);

  // Results in blue; they stay editable like any field.
  for (auto member : {&F::forwardBx, &F::forwardBy, &F::inverseDegrees, &F::inverseMinutes, &F::inverseSeconds,
                      &F::inverseDistance}) {
    QLineEdit* field = platform::FieldNamed(*this, ObjectNameOf(member));
    QPalette blue = field->palette();
    blue.setColor(QPalette::Text, QColor(0, 0, 255));
    field->setPalette(blue);
  }

  // Enter moves on through the inputs, except from the last input of each problem.
  auto* enter = new platform::EnterAsTab(this);
  for (auto member : {&F::forwardAx, &F::forwardAy, &F::forwardDegrees, &F::forwardMinutes, &F::forwardSeconds,
                      &F::inverseAx, &F::inverseAy, &F::inverseBx})
    enter->Add(platform::FieldNamed(*this, ObjectNameOf(member)));

  for (const ButtonObject& b : kButtonObjects) {
    auto* button = findChild<QPushButton*>(QLatin1String(b.objectName));
    connect(button, &QPushButton::clicked, this, [this, handler = b.handler] { Run(handler); });
  }

  // A fixed dialog border: the size cannot change.
  setFixedSize(kFrameWidth + 16, 2 * kFrameHeight + 24);
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void ForwardInverseWindow::Run(void (*handler)(ForwardInverseForm&)) {
  platform::PullFields<F>(*this, kFieldObjects, form_.fields());
  handler(form_);
  platform::PushFields<F>(*this, kFieldObjects, form_.fields());
}

int RunWindow(QApplication& app) {
  return platform::RunWindow(app, QStringLiteral("rillford"), platform::Instances::OnePerUser,
                             [] { return std::make_unique<ForwardInverseWindow>(); });
}

}  // namespace rillford
