#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QScreen>
#include <QTest>

#include "common/project_info.h"
#include "fennick/kestrel_command.h"
#include "platform/qt_host.h"
#include "tallyfen/launcher/form1.h"
#include "tallyfen/launcher/guanyu.h"

namespace {

fennick::KestrelCommand* Button(QWidget& menu, const char* name) {
  return menu.findChild<fennick::KestrelCommand*>(QString::fromLatin1(name));
}

void Click(QWidget* w) {
  QVERIFY(w);
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

// The credits label of the menu (each button has a caption label of the same name inside).
QLabel* CreditsLabel(QWidget& menu) {
  auto* panel = menu.findChild<QWidget*>(QStringLiteral("Picture1"));
  return panel ? panel->findChild<QLabel*>(QStringLiteral("Label1"), Qt::FindDirectChildrenOnly) : nullptr;
}

QList<QWidget*> OpenTopLevels(const QString& objectName) {
  QList<QWidget*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == objectName && w->isVisible()) found << w;
  return found;
}

void CloseAll(const QString& objectName) {
  for (QWidget* w : OpenTopLevels(objectName)) w->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString ReadLog(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Waits until the log has `count` lines starting with `prefix`.
bool WaitForLog(const QString& path, const QString& prefix, int count = 1) {
  return QTest::qWaitFor(
      [&] {
        int n = 0;
        for (const QString& line : ReadLog(path).split(QLatin1Char('\n')))
          if (line.startsWith(prefix)) ++n;
        return n >= count;
      },
      10000);
}

// A folder holding the stand-in calculator under the name "rillford", with its own lock
// folder and log, so a test never meets a real running copy.
struct ProbeFolder {
  QTemporaryDir dir;
  QString log;
  ProbeFolder() {
    log = dir.filePath(QStringLiteral("probe.log"));
    QFile::copy(QStringLiteral(PROBE_PROGRAM), dir.filePath(QStringLiteral("rillford")));
    qputenv("LAUNCHER_PROBE_LOG", log.toUtf8());
    qputenv("SURVEY_LOCK_DIR", dir.filePath(QStringLiteral("locks")).toUtf8());
  }
  ~ProbeFolder() {
    QFile stop(log + QStringLiteral(".stop"));
    if (stop.open(QIODevice::WriteOnly)) stop.close();
    // The started copy must be gone before its folder is removed.
    WaitForLog(log, QStringLiteral("ended"));
  }
};

}  // namespace

class LauncherWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    CloseAll(QStringLiteral("guanyu"));
    CloseAll(QStringLiteral("qxForm1"));
  }

  void menuHasItsButtonsTitleAndColours() {
    tallyfen::Form1 menu;
    QCOMPARE(menu.objectName(), QStringLiteral("Form1"));
    QCOMPARE(menu.windowTitle(), QStringLiteral("Tallyfen"));
    QCOMPARE(menu.palette().color(QPalette::Window), QColor(192, 255, 255));
    const std::pair<const char*, const char*> expected[] = {
        {"Command1", "曲线坐标"},   {"Command2", "坐标正反算"}, {"Command3", "竖曲线高程"}, {"Command4", "曲线偏角"},
        {"Command5", "缓和线偏角"}, {"Command8", "直线坐标"},   {"Command7", "关  于"}};
    int lastBottom = 0;
    for (const auto& [name, caption] : expected) {
      fennick::KestrelCommand* b = Button(menu, name);
      QVERIFY2(b, name);
      QCOMPARE(b->Caption(), QString::fromUtf8(caption));
      QVERIFY(b->y() >= lastBottom);  // the buttons stand in table order, none overlapping
      lastBottom = b->y() + b->height();
    }
    QVERIFY(lastBottom <= menu.height());
    QLabel* label = CreditsLabel(menu);
    QVERIFY(label);
    QCOMPARE(label->font().pointSize(), 12);
    QCOMPARE(menu.font().pointSize(), 12);
    QVERIFY(label->text().startsWith(QStringLiteral("        花    絮\n\n")));
    QVERIFY(menu.PictureLoaded());
    QVERIFY2(menu.SelfCheckProblems().isEmpty(), qPrintable(menu.SelfCheckProblems().join(QLatin1Char('\n'))));
  }

  void scrollStartsBelowThePanelClimbsAndWraps() {
    tallyfen::Form1 menu;
    QVERIFY(menu.Timer1().isActive());
    QCOMPARE(menu.Timer1().interval(), 70);
    auto* panel = menu.findChild<QWidget*>(QStringLiteral("Picture1"));
    QLabel* label = CreditsLabel(menu);
    QVERIFY(panel && label);
    QCOMPARE(label->parentWidget(), panel);
    QCOMPARE(label->y(), panel->height());

    // A panel 1200 twips (80 pixels) high and 1500 twips wide: the label is 2300 twips high.
    menu.Timer1().stop();
    panel->resize(100, 80);
    menu.Form_Load();
    menu.Timer1().stop();
    QCOMPARE(menu.Scroll().Position(), 1200);
    QCOMPARE(menu.Scroll().LabelHeight(), 2300);
    QCOMPARE(label->geometry(), QRect(0, 80, 100, 153));
    menu.Timer1_Timer();
    QCOMPARE(label->y(), 80);  // 1200 twips
    QCOMPARE(menu.Scroll().Position(), 1175);
    menu.Timer1_Timer();
    QCOMPARE(label->y(), 78);  // 1175 twips
    for (int i = 2; i < 141; ++i) menu.Timer1_Timer();
    QCOMPARE(label->y(), -153);  // -2300 twips: the bottom edge on the panel's top
    QCOMPARE(menu.Scroll().Position(), 1200);
    menu.Timer1_Timer();
    QCOMPARE(label->y(), 80);
  }

  void curveButtonTwiceGivesOneWindow() {
    tallyfen::Form1 menu;
    menu.show();
    platform::MessageRecorder recorder;
    Click(Button(menu, "Command1"));
    Click(Button(menu, "Command1"));
#ifdef TALLYFEN_HAS_CURVE_WINDOW
    QVERIFY(recorder.messages.empty());
    const QList<QWidget*> windows = OpenTopLevels(QStringLiteral("qxForm1"));
    QCOMPARE(windows.size(), 1);
    QVERIFY(!windows.front()->isModal());
    QVERIFY(menu.isVisible());
    // Closing the window unloads it; the next click shows a new one.
    QPointer<QWidget> first = windows.front();
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    Click(Button(menu, "Command1"));
    QCOMPARE(OpenTopLevels(QStringLiteral("qxForm1")).size(), 1);
#else
    QCOMPARE(recorder.messages.size(), size_t(2));
    QCOMPARE(recorder.messages[0].text, std::string("曲线坐标窗口尚未安装"));
    QVERIFY(OpenTopLevels(QStringLiteral("qxForm1")).isEmpty());
#endif
  }

  void aboutTwiceGivesOneBox() {
    tallyfen::Form1 menu;
    menu.show();
    Click(Button(menu, "Command7"));
    Click(Button(menu, "Command7"));
    const QList<QWidget*> boxes = OpenTopLevels(QStringLiteral("guanyu"));
    QCOMPARE(boxes.size(), 1);
    QWidget* box = boxes.front();
    QVERIFY(box->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!box->isModal());
    QCOMPARE(box->size(), QSize(312, 206));  // 4680 x 3090 twips
    QCOMPARE(box->palette().color(QPalette::Window), QColor(0, 128, 0));
  }

  void aboutBoxShowsNameTextAndContacts() {
    tallyfen::Guanyu* box = tallyfen::ShowAboutBox();
    auto label = [&](const char* n) { return box->findChild<QLabel*>(QString::fromLatin1(n)); };
    QVERIFY(label("Image1") && !label("Image1")->pixmap().isNull());
    QCOMPARE(label("Image1")->pixmap().size(), QSize(32, 32));
    QCOMPARE(label("Label1")->text(), QStringLiteral("Tallyfen"));
    QCOMPARE(label("Label1")->pos(), QPoint(88, 24));  // 1320, 360 twips
    QVERIFY(label("Label1")->font().bold());
    QCOMPARE(label("Label1")->font().pointSize(), 12);
    QCOMPARE(label("Label1")->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QCOMPARE(label("Label2")->text(),
             QStringLiteral("    本软件适合于公路工程测量。在开发过程中不断地听取试用人员的建议，使之功能逐渐完善。"
                            "如果你在使用中遇到什么问题可以与我联系。"));
    QCOMPARE(label("Label2")->geometry().topLeft(), QPoint(24, 64));  // 360, 960 twips
    QCOMPARE(label("Label2")->width(), 265);                           // 3975 twips
    QCOMPARE(label("Label2")->palette().color(QPalette::WindowText), QColor(255, 255, 192));
    QVERIFY(label("Label3")->text().endsWith(QString::fromUtf8(survey::kProjectHomePage)));
    QVERIFY(label("Label4")->text().endsWith(QString::fromUtf8(survey::kContactAddress)));
    // Every label sits inside the box and the contact lines below the description.
    for (QLabel* l : box->findChildren<QLabel*>()) QVERIFY2(box->rect().contains(l->geometry()), qPrintable(l->objectName()));
    QVERIFY(label("Label3")->y() >= label("Label2")->geometry().bottom());
    QVERIFY(label("Label4")->y() >= label("Label3")->geometry().bottom());
  }

  void aClickAnywhereClosesTheAboutBox_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("description") << QStringLiteral("Label2");
    QTest::newRow("title") << QStringLiteral("Label1");
    QTest::newRow("icon") << QStringLiteral("Image1");
    QTest::newRow("contact") << QStringLiteral("Label4");
    QTest::newRow("background") << QString();
  }
  void aClickAnywhereClosesTheAboutBox() {
    QFETCH(QString, target);
    QPointer<tallyfen::Guanyu> box = tallyfen::ShowAboutBox();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QWidget* w = target.isEmpty() ? static_cast<QWidget*>(box) : box->findChild<QWidget*>(target);
    QVERIFY(w);
    if (target.isEmpty()) {
      QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() - 4));
    } else {
      Click(w);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(box.isNull());
    // The next click shows it afresh.
    QPointer<tallyfen::Guanyu> again = tallyfen::ShowAboutBox();
    QVERIFY(again && again->isVisible());
  }

  void closingTheMenuLeavesTheAboutBoxOpen() {
    auto* menu = new tallyfen::Form1;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->show();
    Click(Button(*menu, "Command7"));
    QVERIFY(menu->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(OpenTopLevels(QStringLiteral("guanyu")).size(), 1);
  }

  void aProgramThatCannotStartIsReportedAndTheMenuStays_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("fileContent");  // empty: no file at all
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "Command3" << "quenby" << QByteArray() << false << "找不到程序文件";
    QTest::newRow("not executable") << "Command4" << "brannock" << QByteArray("data") << false << "不是可执行的程序";
    QTest::newRow("not a program") << "Command5" << "dovetree" << QByteArray("\x01\x02 junk") << true << "系统无法启动";
  }
  void aProgramThatCannotStartIsReportedAndTheMenuStays() {
    QFETCH(QString, button);
    QFETCH(QString, program);
    QFETCH(QByteArray, fileContent);
    QFETCH(bool, executable);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    if (!fileContent.isEmpty()) {
      QFile f(folder.filePath(program));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(fileContent);
      f.close();
      QFile::setPermissions(f.fileName(), executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                     : QFile::ReadOwner | QFile::WriteOwner);
    }
    tallyfen::Form1 menu;
    menu.SetProgramFolder(folder.path());
    menu.show();
    platform::MessageRecorder recorder;
    Click(menu.findChild<QWidget*>(button));
    QCOMPARE(recorder.messages.size(), size_t(1));
    const QString text = platform::ToQString(recorder.messages[0].text);
    QVERIFY2(text.contains(QStringLiteral("“%1”").arg(program)), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(recorder.messages[0].title, std::string("Tallyfen"));
    QVERIFY(menu.isVisible());
    QVERIFY(menu.Timer1().isActive());
  }

  // The alignment program is reached from the context menu; the seven buttons stay as they are.
  void alignmentFromTheContextMenu() {
    ProbeFolder probe;
    QVERIFY(QFile::copy(QStringLiteral(PROBE_PROGRAM), probe.dir.filePath(QStringLiteral("alignment"))));
    tallyfen::Form1 menu;
    menu.SetProgramFolder(probe.dir.path());
    platform::MessageRecorder recorder;
    auto* action = menu.findChild<QAction*>(QStringLiteral("alignmentAction"));
    QVERIFY(action);
    QVERIFY(menu.actions().contains(action));
    QCOMPARE(menu.contextMenuPolicy(), Qt::ActionsContextMenu);
    action->trigger();
    QVERIFY2(WaitForLog(probe.log, QStringLiteral("running alignment args=0")), qPrintable(ReadLog(probe.log)));
    QVERIFY(recorder.messages.empty());
  }

  void rillfordTwiceLeavesOneRunningCopy() {
    ProbeFolder probe;
    tallyfen::Form1 menu;
    menu.SetProgramFolder(probe.dir.path());
    menu.show();
    platform::MessageRecorder recorder;
    QElapsedTimer clock;
    clock.start();
    Click(Button(menu, "Command2"));
    // The started copy runs until the test ends; the menu must not wait for it.
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY2(WaitForLog(probe.log, QStringLiteral("running rillford args=0")), qPrintable(ReadLog(probe.log)));
    Click(Button(menu, "Command2"));
    QVERIFY2(WaitForLog(probe.log, QStringLiteral("refused rillford 警告! 系统正在运行，请在下面任务栏寻找系统的最小化图标。")),
             qPrintable(ReadLog(probe.log)));
    // The menu neither complained nor waited.
    QVERIFY(recorder.messages.empty());
    QVERIFY(ReadLog(probe.log).count(QStringLiteral("running")) == 1);
  }

  void aCopiedLauncherStartsTheCalculatorBesideIt() {
    ProbeFolder probe;
    const QString launcher = probe.dir.filePath(QStringLiteral("tallyfen"));
    QVERIFY(QFile::copy(QStringLiteral(TALLYFEN_PROGRAM), launcher));
    QProcess run;
    run.start(launcher, {QStringLiteral("--start"), QStringLiteral("rillford")});
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.exitCode(), 0);
    QVERIFY2(WaitForLog(probe.log, QStringLiteral("running rillford")), qPrintable(ReadLog(probe.log)));
    run.start(launcher, {QStringLiteral("--start"), QStringLiteral("rillford")});
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.exitCode(), 0);
    QVERIFY(WaitForLog(probe.log, QStringLiteral("refused rillford")));

    // A calculator missing from the folder, and a name outside the suite.
    run.start(launcher, {QStringLiteral("--start"), QStringLiteral("quenby")});
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.exitCode(), 2);
    QVERIFY(QString::fromUtf8(run.readAllStandardError()).contains(QStringLiteral("“quenby”")));
    run.start(launcher, {QStringLiteral("--start"), QStringLiteral("../rillford")});
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.exitCode(), 2);
    QCOMPARE(ReadLog(probe.log).count(QStringLiteral("running")), 1);
  }

  // With SURVEY_SCREENSHOT_DIR set (and a real display, e.g. under Xvfb), saves pictures of the
  // menu mid-scroll and of the about box for a person to look at.
  void screenshots() {
    const QString dir = qEnvironmentVariable("SURVEY_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("SURVEY_SCREENSHOT_DIR not set");
    tallyfen::Form1 menu;
    menu.move(40, 40);
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QTest::qWait(6000);  // the credits are half way up the panel by now
    QVERIFY(menu.grab().save(dir + QStringLiteral("/tallyfen-menu.png")));
    tallyfen::Guanyu* box = tallyfen::ShowAboutBox();
    box->move(300, 120);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QTest::qWait(300);
    QVERIFY(box->grab().save(dir + QStringLiteral("/tallyfen-about.png")));
    QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(dir + QStringLiteral("/tallyfen-screen.png")));
  }
};

QTEST_MAIN(LauncherWindowTest)
#include "launcher_window_test.moc"
