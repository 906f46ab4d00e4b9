#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#ifdef FENNICK_DESIGNER_PLUGIN
#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#endif

#include "fennick/bevel.h"
#include "fennick/factory.h"
#include "fennick/kestrel_command.h"
#include "fennick/qt_colours.h"
#include "ui_host_form.h"

using fennick::KestrelCommand;

namespace {

QLabel* CaptionLabel(KestrelCommand* button) { return button->findChild<QLabel*>(QStringLiteral("Label1")); }
QWidget* Line(KestrelCommand* button, int i) { return button->findChild<QWidget*>(QStringLiteral("Line%1").arg(i)); }
QColor LineColour(KestrelCommand* button, int i) { return Line(button, i)->property("BorderColor").value<QColor>(); }

bool IsCentred(KestrelCommand* button) {
  const QLabel* label = CaptionLabel(button);
  return label->x() == fennick::CentreOffset(button->width(), label->width()) &&
         label->y() == fennick::CentreOffset(button->height(), label->height());
}

// A shown host window with one button at (20, 30), 120 x 40, so that events travel the window
// system's route (implicit grab, mouse capture) rather than straight to the widget. Positions
// are in the button's coordinates.
struct Host {
  Host() {
    window.resize(300, 200);
    button->setGeometry(20, 30, 120, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MoveInWindow(QPoint(299, 199));  // a move to where the pointer already is would be dropped
  }
  ~Host() { if (pressed) Release(QPoint(270, 160)); }  // leave no button press behind
  QPoint InWindow(QPoint at) const { return button->mapTo(&window, at); }
  void Move(QPoint at) { MoveInWindow(InWindow(at)); }
  void MoveInWindow(QPoint at) { QTest::mouseMove(window.windowHandle(), at); }
  void Press(QPoint at) { QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, InWindow(at)), pressed = true; }
  void Release(QPoint at) { QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, InWindow(at)), pressed = false; }

  QWidget window;
  KestrelCommand* button = fennick::CreateControl(fennick::KestrelCommandClassId(), &window);
  bool pressed = false;
};

// What a pointer step does and what the button shows after it ("" for nothing to check): its
// look, "hover" while it hovers, "grab" while it holds the mouse capture, and the clicks so far.
enum class Op { Move, Press, Release, Disable, Hide };
struct Step { Op op; QPoint at; const char* expected; };
const std::pair<const char*, std::vector<Step>> kScripts[] = {
    {"edges, then the caption", {{Op::Move, {0, 20}, "flat 0"}, {Op::Move, {60, 0}, "flat 0"}, {Op::Move, {60, 20}, "raised hover grab 0"}}},
    {"click", {{Op::Move, {10, 10}, "raised hover grab 0"}, {Op::Press, {10, 10}, "sunken hover grab 0"},
               {Op::Release, {10, 10}, "raised hover 1"}, {Op::Move, {11, 10}, "raised hover grab 1"}}},
    {"released outside", {{Op::Move, {10, 10}, ""}, {Op::Press, {10, 10}, ""}, {Op::Move, {230, 120}, "flat 0"},
                          {Op::Release, {230, 120}, "flat 0"}}},
    {"leaving", {{Op::Move, {10, 10}, ""}, {Op::Move, {230, 120}, "flat 0"}}},
    {"leaving after a click", {{Op::Move, {10, 10}, ""}, {Op::Press, {10, 10}, ""}, {Op::Release, {10, 10}, ""},
                               {Op::Move, {230, 120}, "flat 1"}}},
    {"disabled while hovered", {{Op::Move, {10, 10}, ""}, {Op::Disable, {}, "flat 0"}}},
    {"hidden while hovered", {{Op::Move, {10, 10}, ""}, {Op::Hide, {}, "flat 0"}}},
};

}  // namespace

class KestrelCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(fennick::RegisterServer()); }

  void pointerScripts_data() {
    QTest::addColumn<int>("script");
    for (int i = 0; i < int(std::size(kScripts)); ++i) QTest::newRow(kScripts[i].first) << i;
  }
  void pointerScripts() {
    QFETCH(int, script);
    Host host;
    KestrelCommand* b = host.button;
    int clicks = 0;  // a click handler runs without the capture
    connect(b, &KestrelCommand::Click, this, [&] { clicks += QWidget::mouseGrabber() == nullptr ? 1 : 100; });
    QSignalSpy moves(b, &KestrelCommand::MouseMove);
    for (const Step& step : kScripts[script].second) {
      switch (step.op) {
        case Op::Move: host.Move(step.at); break;
        case Op::Press: host.Press(step.at); break;
        case Op::Release: host.Release(step.at); break;
        case Op::Disable: b->setEnabled(false); break;
        case Op::Hide: b->hide(); break;
      }
      if (!*step.expected) continue;
      QCOMPARE(QStringList({"flat", "raised", "sunken"})[int(b->CurrentLook())] + (b->Hovering() ? " hover" : "") +
                   (QWidget::mouseGrabber() == b ? " grab" : "") + " " + QString::number(clicks),
               QString::fromLatin1(step.expected));
      const auto colours = fennick::BevelColours(b->CurrentLook(), b->BackColorValue());
      for (int i = 0; i < 4; ++i) QCOMPARE(LineColour(b, i + 1), fennick::ResolveColour(colours[i], b->palette()));
    }
    QVERIFY(!moves.isEmpty());
  }

  void freshButtonAndPropertyWrites() {
    Host host;
    KestrelCommand* b = host.button;
    QCOMPARE(b->Caption() + " " + b->BackColor().name() + " " + b->ForeColor().name(),
             "Fennick " + b->palette().color(QPalette::Button).name() + " " + b->palette().color(QPalette::ButtonText).name());
    QVERIFY(b->setProperty("Caption", QStringLiteral("计算")));  // by name, as a layout loader sets it
    QCOMPARE(b->Caption(), QStringLiteral("计算"));
    b->resize(81, 25);
    const QRect lines[] = {{0, 0, 81, 1}, {0, 0, 1, 25}, {0, 24, 81, 1}, {80, 0, 1, 25}};
    for (int i = 0; i < 4; ++i) QCOMPARE(Line(b, i + 1)->geometry(), lines[i]);
    QVERIFY(IsCentred(b));
    QSignalSpy changes(b, &KestrelCommand::PropertyChanged);
    const QColor before = b->BackColor();
    b->SetBackColor(QColor(255, 0, 0));
    QCOMPARE(LineColour(b, 1), before);  // the bevel takes the new colour at the next flat look
    b->SetCaption(QStringLiteral("计算曲线坐标并导出"));
    b->SetForeColor(QColor(0, 0, 255));
    QCOMPARE(CaptionLabel(b)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    b->SetFont(QFont(QStringLiteral("Noto Sans CJK SC"), 20));
    QCOMPARE(CaptionLabel(b)->font().pointSize(), 20);
    QVERIFY(IsCentred(b));
    b->SetForeColor(QColor());  // no stored form: back to the button text colour
    QCOMPARE(b->ForeColorValue(), fennick::kButtonText);
    QStringList names;
    for (const auto& change : changes) names << change.at(0).toString();
    QCOMPARE(names, QStringList({"BackColor", "Caption", "ForeColor", "Font", "ForeColor"}));
    host.Move(QPoint(10, 10));
    host.MoveInWindow(QPoint(250, 150));
    QCOMPARE(LineColour(b, 4), QColor(255, 0, 0));
  }

  // Tab reaches the button from a field, a dotted mark shows it has the focus, Enter and Space
  // click; the mouse clicks without taking the focus from the field.
  void keyboardReachesAndClicksTheButton() {
    Host host;
    KestrelCommand* b = host.button;
    auto* field = new QLineEdit(&host.window);
    field->setGeometry(20, 100, 120, 24);
    field->show();
    QWidget::setTabOrder(field, b);
    int clicks = 0;
    connect(b, &KestrelCommand::Click, this, [&] { ++clicks; });
    QApplication::setActiveWindow(&host.window);
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    const QImage unfocused = b->grab().toImage();
    host.Move(QPoint(10, 10));
    host.Press(QPoint(10, 10));
    host.Release(QPoint(10, 10));
    QCOMPARE(clicks, 1);
    QVERIFY(field->hasFocus());
    host.MoveInWindow(QPoint(299, 199));
    QTest::keyClick(field, Qt::Key_Tab);
    QTRY_VERIFY(b->hasFocus());
    QVERIFY(b->grab().toImage() != unfocused);
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(b, key);
    QCOMPARE(clicks, 4);
    QTest::keyClick(b, Qt::Key_A);
    QCOMPARE(clicks, 4);
    field->setFocus();
    QTRY_VERIFY(!b->hasFocus());
    QTRY_COMPARE(b->grab().toImage(), unfocused);
  }

  void writeThenReadRestoresTheButtonWithoutReportingChanges() {
    Host host;
    fennick::MapPropertyStore store;
    host.button->WriteProperties(store);
    QVERIFY(store.Values().empty());  // a fresh button stores nothing: its font follows the host
    host.button->SetCaption(QStringLiteral("计算"));
    host.button->SetFont(QFont(QStringLiteral("Noto Sans CJK SC"), 12, QFont::Bold));
    host.button->WriteProperties(store);
    KestrelCommand copy(&host.window);
    QSignalSpy changes(&copy, &KestrelCommand::PropertyChanged);
    copy.ReadProperties(store);
    QCOMPARE(copy.Caption() + " " + copy.Font().family(), QStringLiteral("计算 Noto Sans CJK SC"));
    QVERIFY(copy.Font().bold() && copy.Font().pointSizeF() == 12.0);
    copy.InitProperties();
    QCOMPARE(copy.Caption(), QStringLiteral("Fennick"));
    QCOMPARE(changes.count(), 0);
  }

  void layoutFileSetsTheNamedProperties() {
    QWidget form;
    Ui::HostForm ui;
    ui.setupUi(&form);
    form.show();  // a hidden widget hears of its size only when shown
    QCOMPARE(ui.Command1->Caption() + " " + ui.Command1->BackColor().name(), QStringLiteral("计算 #ffffc0"));
    QVERIFY(CaptionLabel(ui.Command1)->height() > CaptionLabel(ui.Command2)->height());  // its font of 16 points
    QVERIFY(IsCentred(ui.Command1) && IsCentred(ui.Command2));
  }

  void factoryCreatesOnlyRegisteredKnownClassesAndUnloadsWithoutThem() {
    QVERIFY(fennick::CanUnloadNow());
    QWidget parent;
    QVERIFY(fennick::CreateControl(QUuid::createUuid(), &parent) == nullptr);
    const fennick::ClassFactory* factory = fennick::GetClassObject(fennick::KestrelCommandClassId());
    QVERIFY(factory != nullptr && factory->CreateInstance(&parent)->parentWidget() == &parent);
    QVERIFY(!fennick::CanUnloadNow());
    QVERIFY(fennick::UnregisterServer());
    QVERIFY(fennick::GetClassObject(fennick::KestrelCommandClassId()) == nullptr);
    QVERIFY(fennick::CreateControl(fennick::KestrelCommandClassId(), &parent) == nullptr);
    QVERIFY(fennick::RegisterServer());
    QVERIFY(fennick::CreateControl(fennick::KestrelCommandClassId(), &parent) != nullptr);
  }

#ifdef FENNICK_DESIGNER_PLUGIN
  void designerPluginPlacesTheButton() {
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(QPluginLoader(FENNICK_DESIGNER_PLUGIN).instance());
    QVERIFY(plugin != nullptr);
    QCOMPARE(plugin->name() + " " + plugin->includeFile(), QStringLiteral("fennick::KestrelCommand fennick/kestrel_command.h"));
    QWidget parent;
    auto* button = qobject_cast<KestrelCommand*>(plugin->createWidget(&parent));
    QVERIFY(button != nullptr && button->Caption() == QStringLiteral("Fennick"));
  }
#endif
};

QTEST_MAIN(KestrelCommandTest)
#include "kestrel_command_test.moc"
