#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <memory>

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
using fennick::Look;

namespace {

// A host window with one button at (20, 30), 120 x 40, shown so that events travel the
// window system's route (implicit grab, mouse capture) rather than straight to the widget.
struct Host {
  Host() {
    window.resize(300, 200);
    button = fennick::CreateControl(fennick::KestrelCommandClassId(), &window);
    button->setGeometry(20, 30, 120, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The window system drops a move to where the pointer already is; start each test from a
    // spot no test moves to.
    MoveInWindow(QPoint(299, 199));
  }
  ~Host() {
    // Leave no button press behind for the next test.
    if (pressed) {
      Release(QPoint(290, 190));
    }
  }
  // Positions are in the button's own coordinates.
  QPoint InWindow(QPoint buttonPos) const { return button->mapTo(&window, buttonPos); }
  void Move(QPoint buttonPos) { QTest::mouseMove(window.windowHandle(), InWindow(buttonPos)); }
  void MoveInWindow(QPoint windowPos) { QTest::mouseMove(window.windowHandle(), windowPos); }
  void Press(QPoint buttonPos) {
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, InWindow(buttonPos));
    pressed = true;
  }
  void Release(QPoint windowPos) {
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, windowPos);
    pressed = false;
  }
  QColor LineColour(int i) const {
    return button->findChild<QWidget*>(QStringLiteral("Line%1").arg(i))->property("BorderColor").value<QColor>();
  }

  QWidget window;
  KestrelCommand* button = nullptr;
  bool pressed = false;
};

QLabel* Label1(KestrelCommand* button) { return button->findChild<QLabel*>(QStringLiteral("Label1")); }

bool IsCentred(KestrelCommand* button) {
  const QLabel* label = Label1(button);
  return label->x() == fennick::CentreOffset(button->width(), label->width()) &&
         label->y() == fennick::CentreOffset(button->height(), label->height());
}

}  // namespace

class KestrelCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(fennick::RegisterServer());
  }

  void freshButtonIsFlatWithButtonColoursAndFennickCaption() {
    Host host;
    KestrelCommand* b = host.button;
    QCOMPARE(b->Caption(), QStringLiteral("Fennick"));
    QCOMPARE(b->BackColorValue(), fennick::kButtonFace);
    QCOMPARE(b->ForeColorValue(), fennick::kButtonText);
    QCOMPARE(b->BackColor(), b->palette().color(QPalette::Button));
    QCOMPARE(b->ForeColor(), b->palette().color(QPalette::ButtonText));
    QCOMPARE(b->CurrentLook(), Look::Flat);
    QVERIFY(!b->Hovering());
    for (int i = 1; i <= 4; ++i) {
      QCOMPARE(host.LineColour(i), b->BackColor());
    }
    QVERIFY(IsCentred(b));
    // The properties are reachable by name, as a layout loader sets them.
    QVERIFY(b->setProperty("Caption", QStringLiteral("计算")));
    QCOMPARE(b->property("Caption").toString(), QStringLiteral("计算"));
    QVERIFY(b->metaObject()->indexOfSignal("Click()") >= 0);
    QVERIFY(b->metaObject()->indexOfSignal("MouseMove()") >= 0);
  }

  void bevelLinesSitOnTheOutermostPixels() {
    Host host;
    auto line = [&](int i) { return host.button->findChild<QWidget*>(QStringLiteral("Line%1").arg(i))->geometry(); };
    QCOMPARE(line(1), QRect(0, 0, 120, 1));
    QCOMPARE(line(2), QRect(0, 0, 1, 40));
    QCOMPARE(line(3), QRect(0, 39, 120, 1));
    QCOMPARE(line(4), QRect(119, 0, 1, 40));
    host.button->resize(81, 25);
    QCOMPARE(line(3), QRect(0, 24, 81, 1));
    QCOMPARE(line(4), QRect(80, 0, 1, 25));
    QVERIFY(IsCentred(host.button));
  }

  void pointerOnTheLeftOrTopEdgeIsOutside() {
    Host host;
    host.Move(QPoint(0, 20));
    QVERIFY(!host.button->Hovering());
    QCOMPARE(host.button->CurrentLook(), Look::Flat);
    host.Move(QPoint(60, 0));
    QVERIFY(!host.button->Hovering());
    host.Move(QPoint(1, 1));
    QVERIFY(host.button->Hovering());
    QCOMPARE(host.button->CurrentLook(), Look::Raised);
  }

  void pointerOverTheCaptionIsInside() {
    Host host;
    QSignalSpy moves(host.button, &KestrelCommand::MouseMove);
    const QPoint overLabel = Label1(host.button)->geometry().center();
    host.Move(overLabel);
    QVERIFY(host.button->Hovering());
    QCOMPARE(host.button->CurrentLook(), Look::Raised);
    QCOMPARE(QWidget::mouseGrabber(), host.button);
    QCOMPARE(moves.count(), 1);
    QCOMPARE(host.LineColour(1), QColor(Qt::white));
    QCOMPARE(host.LineColour(2), QColor(Qt::white));
    QCOMPARE(host.LineColour(3), QColor(Qt::black));
    QCOMPARE(host.LineColour(4), QColor(Qt::black));
  }

  void enterPressReleaseGivesOneClick() {
    Host host;
    QSignalSpy clicks(host.button, &KestrelCommand::Click);
    host.Move(QPoint(10, 10));
    QCOMPARE(host.button->CurrentLook(), Look::Raised);
    host.Press(QPoint(10, 10));
    QCOMPARE(host.button->CurrentLook(), Look::Sunken);
    QCOMPARE(host.LineColour(1), QColor(Qt::black));
    QCOMPARE(host.LineColour(3), QColor(Qt::white));
    QCOMPARE(clicks.count(), 0);
    host.Release(host.InWindow(QPoint(10, 10)));
    QCOMPARE(host.button->CurrentLook(), Look::Raised);
    QCOMPARE(clicks.count(), 1);
    // A press and release without a move keeps the hover.
    QVERIFY(host.button->Hovering());
  }

  void pressMoveOffReleaseOutsideGivesNoClick() {
    Host host;
    QSignalSpy clicks(host.button, &KestrelCommand::Click);
    host.Move(QPoint(10, 10));
    host.Press(QPoint(10, 10));
    host.MoveInWindow(QPoint(250, 150));
    QCOMPARE(host.button->CurrentLook(), Look::Flat);
    QVERIFY(!host.button->Hovering());
    QVERIFY(QWidget::mouseGrabber() != host.button);
    host.Release(QPoint(250, 150));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(host.button->CurrentLook(), Look::Flat);
  }

  void leavingFlattensAndReleasesTheCapture() {
    Host host;
    host.Move(QPoint(10, 10));
    QCOMPARE(QWidget::mouseGrabber(), host.button);
    // With the capture held the button hears the move that leaves it.
    host.MoveInWindow(QPoint(250, 150));
    QVERIFY(!host.button->Hovering());
    QCOMPARE(host.button->CurrentLook(), Look::Flat);
    QVERIFY(QWidget::mouseGrabber() == nullptr);
    QCOMPARE(host.LineColour(1), host.button->BackColor());
  }

  void clickHandlerRunsWithoutTheCaptureAndTheNextMoveRetakesIt() {
    Host host;
    QWidget* grabberDuringClick = host.button;
    connect(host.button, &KestrelCommand::Click, this, [&] { grabberDuringClick = QWidget::mouseGrabber(); });
    host.Move(QPoint(10, 10));
    host.Press(QPoint(10, 10));
    host.Release(host.InWindow(QPoint(10, 10)));
    QVERIFY(grabberDuringClick == nullptr);
    QVERIFY(host.button->Hovering());
    QCOMPARE(host.button->CurrentLook(), Look::Raised);
    host.Move(QPoint(11, 10));
    QCOMPARE(QWidget::mouseGrabber(), host.button);
    QCOMPARE(host.button->CurrentLook(), Look::Raised);
  }

  void leavingWithoutTheCaptureStillFlattens() {
    Host host;
    host.Move(QPoint(10, 10));
    host.Press(QPoint(10, 10));
    host.Release(host.InWindow(QPoint(10, 10)));
    QVERIFY(QWidget::mouseGrabber() == nullptr);
    host.MoveInWindow(QPoint(250, 150));
    QVERIFY(!host.button->Hovering());
    QCOMPARE(host.button->CurrentLook(), Look::Flat);
  }

  void disablingWhileHoveredGivesUpTheCapture() {
    Host host;
    host.Move(QPoint(10, 10));
    host.button->setEnabled(false);
    QVERIFY(QWidget::mouseGrabber() == nullptr);
    QCOMPARE(host.button->CurrentLook(), Look::Flat);
  }

  void hidingWhileHoveredGivesUpTheCapture() {
    Host host;
    host.Move(QPoint(10, 10));
    QCOMPARE(QWidget::mouseGrabber(), host.button);
    host.button->hide();
    QVERIFY(QWidget::mouseGrabber() == nullptr);
    QVERIFY(!host.button->Hovering());
  }

  void hoverMovesBetweenTwoButtons() {
    Host host;
    auto* other = fennick::CreateControl(fennick::KestrelCommandClassId(), &host.window);
    other->setGeometry(160, 30, 120, 40);
    other->show();
    host.Move(QPoint(100, 20));
    QVERIFY(host.button->Hovering());
    host.MoveInWindow(QPoint(200, 50));  // the captured first button hears it and lets go
    QVERIFY(!host.button->Hovering());
    host.MoveInWindow(QPoint(201, 50));
    QVERIFY(other->Hovering());
    QCOMPARE(QWidget::mouseGrabber(), other);
  }

  void everyPropertyWriteNotifiesWithItsName() {
    Host host;
    QSignalSpy changes(host.button, &KestrelCommand::PropertyChanged);
    host.button->SetBackColor(QColor(255, 255, 192));
    host.button->SetCaption(QStringLiteral("退出"));
    host.button->SetForeColor(QColor(0, 0, 255));
    host.button->SetFont(QFont(QStringLiteral("Noto Sans CJK SC"), 14));
    host.button->SetCaption(QStringLiteral("退出"));  // unchanged value: still a write
    QCOMPARE(changes.count(), 5);
    const QStringList expected = {"BackColor", "Caption", "ForeColor", "Font", "Caption"};
    for (int i = 0; i < 5; ++i) {
      QCOMPARE(changes.at(i).at(0).toString(), expected.at(i));
    }
  }

  void backColourChangeLeavesTheBevelUntilTheNextFlatLook() {
    Host host;
    const QColor before = host.button->BackColor();
    host.button->SetBackColor(QColor(255, 0, 0));
    QCOMPARE(host.button->BackColor(), QColor(255, 0, 0));
    QCOMPARE(host.LineColour(1), before);
    host.Move(QPoint(10, 10));
    host.MoveInWindow(QPoint(250, 150));
    QCOMPARE(host.LineColour(1), QColor(255, 0, 0));
    QCOMPARE(host.LineColour(4), QColor(255, 0, 0));
  }

  void longerCaptionIsCentredOnItsNewWidth() {
    Host host;
    QLabel* label = Label1(host.button);
    const int shortWidth = label->width();
    host.button->SetCaption(QStringLiteral("计算曲线坐标并导出"));
    QVERIFY(label->width() > shortWidth);
    QVERIFY(IsCentred(host.button));
    QCOMPARE(Label1(host.button)->text(), QStringLiteral("计算曲线坐标并导出"));
  }

  void settingTheFontRunsTheLayout() {
    Host host;
    QLabel* label = Label1(host.button);
    const QSize before = label->size();
    QFont big(QStringLiteral("Noto Sans CJK SC"));
    big.setPixelSize(28);
    host.button->SetFont(big);
    QVERIFY(label->height() > before.height());
    QVERIFY(IsCentred(host.button));
    QCOMPARE(host.button->Font().pixelSize(), 28);
    QCOMPARE(label->font().pixelSize(), 28);
  }

  void foreColourPaintsTheCaption() {
    Host host;
    host.button->SetForeColor(QColor(0, 0, 255));
    QCOMPARE(host.button->ForeColorValue(), fennick::RgbColour(0, 0, 255));
    QCOMPARE(Label1(host.button)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // An invalid colour has no stored form: it goes back to the button text colour.
    host.button->SetForeColor(QColor());
    QCOMPARE(host.button->ForeColorValue(), fennick::kButtonText);
  }

  void readingAStoreWithoutCaptionShowsFennick() {
    Host host;
    host.button->SetCaption(QStringLiteral("退出"));
    fennick::MapPropertyStore store;
    store.Put("BackColor", fennick::OleColor{0x00C0FFC0u});
    host.button->ReadProperties(store);
    QCOMPARE(host.button->Caption(), QStringLiteral("Fennick"));
    QCOMPARE(host.button->BackColor(), QColor(0xC0, 0xFF, 0xC0));
    QCOMPARE(host.button->ForeColorValue(), fennick::kButtonText);
    QCOMPARE(fennick::ToFontDescription(host.button->Font()), fennick::ToFontDescription(host.button->AmbientFont()));
    QVERIFY(IsCentred(host.button));
  }

  void readingDoesNotReportChanges() {
    Host host;
    QSignalSpy changes(host.button, &KestrelCommand::PropertyChanged);
    fennick::MapPropertyStore store;
    store.Put("Caption", std::string("计算"));
    host.button->ReadProperties(store);
    host.button->InitProperties();
    QCOMPARE(changes.count(), 0);
    QCOMPARE(host.button->Caption(), QStringLiteral("Fennick"));
  }

  void writingDefaultsStoresNothing() {
    Host host;
    fennick::MapPropertyStore store;
    store.Put("Caption", std::string("stale"));
    host.button->WriteProperties(store);
    QVERIFY(store.Values().empty());
  }

  void writeThenReadRestoresTheButton() {
    Host host;
    host.button->SetCaption(QStringLiteral("计算"));
    host.button->SetBackColor(QColor(255, 255, 192));
    QFont font(QStringLiteral("Noto Sans CJK SC"), 12);
    font.setBold(true);
    host.button->SetFont(font);
    fennick::MapPropertyStore store;
    host.button->WriteProperties(store);
    QCOMPARE(store.Values().size(), size_t(3));
    QVERIFY(!store.Find("ForeColor").has_value());

    KestrelCommand copy(&host.window);
    copy.ReadProperties(store);
    QCOMPARE(copy.Caption(), QStringLiteral("计算"));
    QCOMPARE(copy.BackColor(), QColor(255, 255, 192));
    QVERIFY(copy.Font().bold());
    QCOMPARE(copy.Font().pointSizeF(), 12.0);
  }

  void classIdentifiersAreDistinct() {
    const QList<QUuid> ids = {fennick::LibraryId(), fennick::KestrelCommandClassId(),
                              fennick::KestrelCommandInterfaceId(), fennick::KestrelCommandEventsId()};
    for (int i = 0; i < ids.size(); ++i) {
      QVERIFY(!ids[i].isNull());
      for (int j = i + 1; j < ids.size(); ++j) {
        QVERIFY(ids[i] != ids[j]);
      }
    }
  }

  void factoryCreatesOnlyRegisteredKnownClasses() {
    QWidget parent;
    QVERIFY(fennick::CreateControl(QUuid::createUuid(), &parent) == nullptr);
    QVERIFY(fennick::CreateControl(QUuid(), &parent) == nullptr);
    QVERIFY(fennick::CreateControl(fennick::LibraryId(), &parent) == nullptr);
    const fennick::ClassFactory* factory = fennick::GetClassObject(fennick::KestrelCommandClassId());
    QVERIFY(factory != nullptr);
    QCOMPARE(factory->ClassId(), fennick::KestrelCommandClassId());
    KestrelCommand* made = factory->CreateInstance(&parent);
    QCOMPARE(made->parentWidget(), &parent);

    QVERIFY(fennick::UnregisterServer());
    QVERIFY(!fennick::IsRegistered(fennick::KestrelCommandClassId()));
    QVERIFY(fennick::GetClassObject(fennick::KestrelCommandClassId()) == nullptr);
    QVERIFY(fennick::CreateControl(fennick::KestrelCommandClassId(), &parent) == nullptr);
    QVERIFY(fennick::RegisterServer());
    QVERIFY(fennick::CreateControl(fennick::KestrelCommandClassId(), &parent) != nullptr);
  }

  void layoutFileStoresOnlyTheChangedProperties() {
    QWidget form;
    Ui::HostForm ui;
    ui.setupUi(&form);
    form.show();  // a hidden widget hears of its size only when shown
    QCOMPARE(ui.Command1->Caption(), QStringLiteral("计算"));
    QCOMPARE(ui.Command1->BackColor(), QColor(255, 255, 192));
    QCOMPARE(ui.Command1->ForeColorValue(), fennick::kButtonText);
    QCOMPARE(ui.Command1->Font().pointSize(), 16);
    QVERIFY(ui.Command1->findChild<QLabel*>(QStringLiteral("Label1"))->height() >
            ui.Command2->findChild<QLabel*>(QStringLiteral("Label1"))->height());
    QCOMPARE(ui.Command2->Caption(), QStringLiteral("Fennick"));
    QCOMPARE(ui.Command2->BackColorValue(), fennick::kButtonFace);
    QVERIFY(IsCentred(ui.Command1));
    QVERIFY(IsCentred(ui.Command2));
  }

#ifdef FENNICK_DESIGNER_PLUGIN
  void designerPluginPlacesTheButton() {
    QPluginLoader loader(QStringLiteral(FENNICK_DESIGNER_PLUGIN));
    QObject* instance = loader.instance();
    QVERIFY2(instance != nullptr, qPrintable(loader.errorString()));
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(instance);
    QVERIFY(plugin != nullptr);
    QCOMPARE(plugin->name(), QStringLiteral("fennick::KestrelCommand"));
    QCOMPARE(plugin->includeFile(), QStringLiteral("fennick/kestrel_command.h"));
    QWidget parent;
    auto* button = qobject_cast<KestrelCommand*>(plugin->createWidget(&parent));
    QVERIFY(button != nullptr);
    QCOMPARE(button->Caption(), QStringLiteral("Fennick"));
  }
#endif

  void canUnloadOnlyWithoutLiveControls() {
    QVERIFY(fennick::CanUnloadNow());
    auto button = std::unique_ptr<KestrelCommand>(fennick::CreateControl(fennick::KestrelCommandClassId(), nullptr));
    QVERIFY(!fennick::CanUnloadNow());
    button.reset();
    QVERIFY(fennick::CanUnloadNow());
  }
};

QTEST_MAIN(KestrelCommandTest)
#include "kestrel_command_test.moc"
