#include "rillford/window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/enter_as_tab.h"
#include "platform/qt_host.h"
#include "platform/single_instance.h"
#include "platform/text_printing.h"

namespace rillford {

namespace {

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

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, int x, int y) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(x, y, 76, 27);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

QString WindowTitle() { return QStringLiteral("坐标计算    路线测量计算组编制    2003修正版"); }

Form4Window::Form4Window(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(WindowTitle());
  setFont(platform::CjkFont(QStringLiteral("SimSun"), 9));
  QPalette green = palette();
  green.setColor(QPalette::Window, QColor(192, 255, 192));
  setPalette(green);
  setAutoFillBackground(true);

  auto makeField = [this](QWidget* frame, int number, int x, int y, int w = kFieldWidth) {
    auto* field = new QLineEdit(frame);
    field->setObjectName(QStringLiteral("Text%1").arg(number));
    field->setGeometry(x, y, w, kFieldHeight);
    fields_.at(static_cast<std::size_t>(number - 1)) = field;
    return field;
  };
  // "方位角:" with degree, minute and second fields and their unit labels, labels and fields
  // numbered from `label` and `field`.
  auto addAzimuthRow = [&makeField](QWidget* frame, int label, int field, int y) {
    const auto name = [](int n) { return QStringLiteral("Label%1").arg(n).toLatin1(); };
    AddLabel(frame, name(label).constData(), QStringLiteral("方位角:"), 10, y);
    const QString units[] = {QStringLiteral("度"), QStringLiteral("分"), QStringLiteral("秒")};
    for (int i = 0; i < 3; ++i) {
      makeField(frame, field + i, kColX + 80 * i, y, 56);
      AddLabel(frame, name(label + 1 + i).constData(), units[i], kColX + 60 + 80 * i, y, 20);
    }
  };

  // Frame1: the forward problem. Creation order is the tab order.
  auto* frame1 = new QGroupBox(QStringLiteral("坐标正算"), this);
  frame1->setObjectName(QStringLiteral("Frame1"));
  frame1->setGeometry(8, 8, kFrameWidth, kFrameHeight);
  AddLabel(frame1, "Label1", QStringLiteral("X坐标"), kColX, 18, kFieldWidth)->setAlignment(Qt::AlignCenter);
  AddLabel(frame1, "Label2", QStringLiteral("y坐标"), kColY, 18, kFieldWidth)->setAlignment(Qt::AlignCenter);
  AddLabel(frame1, "Label3", QStringLiteral("A点坐标:"), 10, 42);
  makeField(frame1, 1, kColX, 42);
  makeField(frame1, 2, kColY, 42);
  addAzimuthRow(frame1, 4, 3, 74);
  AddLabel(frame1, "Label8", QStringLiteral("边  长:"), 10, 106);
  makeField(frame1, 6, kColX, 106);
  AddLabel(frame1, "Label9", QStringLiteral("B点坐标:"), 10, 154);
  makeField(frame1, 7, kColX, 154);
  makeField(frame1, 8, kColY, 154);
  auto* command1 = AddButton(frame1, "Command1", QStringLiteral("计  算"), 352, 42);
  auto* command2 = AddButton(frame1, "Command2", QStringLiteral("清  空"), 352, 90);

  // Frame2: the inverse problem.
  auto* frame2 = new QGroupBox(QStringLiteral("坐标反算"), this);
  frame2->setObjectName(QStringLiteral("Frame2"));
  frame2->setGeometry(8, 16 + kFrameHeight, kFrameWidth, kFrameHeight);
  AddLabel(frame2, "Label10", QStringLiteral("X坐标"), kColX, 18, kFieldWidth)->setAlignment(Qt::AlignCenter);
  AddLabel(frame2, "Label11", QStringLiteral("y坐标"), kColY, 18, kFieldWidth)->setAlignment(Qt::AlignCenter);
  AddLabel(frame2, "Label12", QStringLiteral("A点坐标:"), 10, 42);
  makeField(frame2, 9, kColX, 42);
  makeField(frame2, 10, kColY, 42);
  AddLabel(frame2, "Label13", QStringLiteral("B点坐标:"), 10, 74);
  makeField(frame2, 11, kColX, 74);
  makeField(frame2, 12, kColY, 74);
  addAzimuthRow(frame2, 14, 13, 122);
  AddLabel(frame2, "Label18", QStringLiteral("边  长:"), 10, 154);
  makeField(frame2, 16, kColX, 154);
  auto* command3 = AddButton(frame2, "Command3", QStringLiteral("计  算"), 352, 42);
  auto* command4 = AddButton(frame2, "Command4", QStringLiteral("清  空"), 352, 90);

  // Results in blue; they stay editable like any field.
  for (int n : {7, 8, 13, 14, 15, 16}) {
    QPalette blue = Field(n)->palette();
    blue.setColor(QPalette::Text, QColor(0, 0, 255));
    Field(n)->setPalette(blue);
  }

  auto* enter = new platform::EnterAsTab(this);
  for (int n : {1, 2, 3, 4, 5, 9, 10, 11}) enter->Add(Field(n));

  connect(command1, &QPushButton::clicked, this, [this] { Run(&Form4::Command1_Click); });
  connect(command2, &QPushButton::clicked, this, [this] { Clear(&Form4::Command2_Click); });
  connect(command3, &QPushButton::clicked, this, [this] { Run(&Form4::Command3_Click); });
  connect(command4, &QPushButton::clicked, this, [this] { Clear(&Form4::Command4_Click); });

  // A fixed dialog border: the size cannot change.
  setFixedSize(kFrameWidth + 16, 2 * kFrameHeight + 24);
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void Form4Window::ToForm() {
  for (int n = 1; n <= 16; ++n) form_.Text(n) = platform::ToUtf8(Field(n)->text());
}

void Form4Window::FromForm() {
  for (int n = 1; n <= 16; ++n) {
    const QString text = platform::ToQString(form_.Text(n));
    if (Field(n)->text() != text) Field(n)->setText(text);
  }
}

void Form4Window::Run(void (Form4::*handler)(survey::Host&)) {
  ToForm();
  platform::QtHost host(this);
  (form_.*handler)(host);
  FromForm();
}

void Form4Window::Clear(void (Form4::*handler)()) {
  ToForm();
  (form_.*handler)();
  FromForm();
}

bool StartupCheck(platform::SingleInstanceGuard& guard) {
  if (guard.IsFirst()) return true;
  platform::PresentMessage(nullptr, survey::AlreadyRunningMessage());
  return false;
}

int RunWindow() {
  platform::SingleInstanceGuard guard(QStringLiteral("rillford"));
  if (!StartupCheck(guard)) return 0;
  Form4Window window;
  window.show();
  return QApplication::exec();
}

}  // namespace rillford
