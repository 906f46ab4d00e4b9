#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "fennick/kestrel_command.h"
#include "tallyfen/launcher/about_box.h"
#include "tallyfen/launcher/launcher_window.h"

namespace {

// A button by its click, a context-menu entry by triggering it.
void Run(QWidget& menu, const char* name) {
  if (auto* action = menu.findChild<QAction*>(QLatin1String(name))) return action->trigger();
  auto* button = menu.findChild<fennick::KestrelCommand*>(QLatin1String(name));
  QVERIFY2(button, name);
  emit button->Click();
}

int OpenTopLevels(const QString& objectName) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  int found = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) found += w->objectName() == objectName && w->isVisible();
  return found;
}

// A folder holding the stand-in calculator under one name, with its own lock folder and log,
// so a test never meets a real running copy. The started copies end with the folder.
struct ProbeFolder {
  QTemporaryDir dir;
  QString log = dir.filePath(QStringLiteral("probe.log"));
  explicit ProbeFolder(const QString& name) {
    QFile::copy(QStringLiteral(PROBE_PROGRAM), dir.filePath(name));
    qputenv("LAUNCHER_PROBE_LOG", log.toUtf8());
    qputenv("SURVEY_LOCK_DIR", dir.filePath(QStringLiteral("locks")).toUtf8());
  }
  ~ProbeFolder() {
    QFile(log + QStringLiteral(".stop")).open(QIODevice::WriteOnly);
    Await(Lines(QStringLiteral("running")), QStringLiteral("ended"));
  }
  int Lines(const QString& start) const {
    QFile f(log);
    return f.open(QIODevice::ReadOnly) ? int(QString::fromUtf8(f.readAll()).split('\n').filter(start).size()) : 0;
  }
  bool Await(int count, const QString& start) const {
    return QTest::qWaitFor([&] { return Lines(start) >= count; }, 10000);
  }
};

}  // namespace

class LauncherWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
  }

  // Each entry starts its own program without waiting for it; a second start meets the running
  // copy, which refuses, and the menu says nothing either time.
  void eachEntryStartsItsProgramOnce_data() {
    QTest::addColumn<QString>("program");
    for (const char* program : {"Command2 rillford", "Command3 quenby", "Command4 brannock", "Command5 dovetree",
                                "Command8 marlowby", "alignmentAction alignment"})
      QTest::newRow(program) << QString::fromLatin1(program);
  }
  void eachEntryStartsItsProgramOnce() {
    QFETCH(QString, program);
    const QByteArray entry = program.section(' ', 0, 0).toLatin1();
    program = program.section(' ', 1);
    ProbeFolder probe(program);
    tallyfen::LauncherWindow menu;
    menu.SetProgramFolder(probe.dir.path());
    platform::MessageRecorder recorder;
    Run(menu, entry.constData());
    QCOMPARE(probe.Lines(QStringLiteral("ended")), 0);  // the click came back while it runs
    QVERIFY(probe.Await(1, QStringLiteral("running %1 args=0").arg(program)));
    Run(menu, entry.constData());
    QVERIFY(probe.Await(1, QStringLiteral("refused %1 警告!").arg(program)));
    QCOMPARE(probe.Lines(QStringLiteral("running")), 1);
    QVERIFY(recorder.messages.empty());
  }

  void aProgramThatCannotStartIsReported() {
    const std::tuple<QByteArray, QFile::Permissions, QString> cases[] = {
        {"", {}, "在文件夹"}, {"data", QFile::ReadOwner, "不是可执行的程序"}, {"\x01 junk", QFile::ExeOwner, "系统无法启动"}};
    for (const auto& [content, permissions, reason] : cases) {
      QTemporaryDir folder;
      QFile file(folder.filePath(QStringLiteral("quenby")));
      if (!content.isEmpty()) QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) && file.setPermissions(permissions));
      tallyfen::LauncherWindow menu;
      menu.SetProgramFolder(folder.path());
      platform::MessageRecorder recorder;
      Run(menu, "Command3");
      QCOMPARE(recorder.messages.size(), size_t(1));
      const QString text = platform::ToQString(recorder.messages[0].text);
      QVERIFY2(text.startsWith(QStringLiteral("无法启动程序“quenby”：\r\n")) && text.contains(reason), qPrintable(text));
    }
  }

  void curveAndAboutButtonsShowOneWindowEach() {
    auto* menu = new tallyfen::LauncherWindow;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    platform::MessageRecorder recorder;
    for (const char* button : {"Command1", "Command1", "Command7", "Command7"}) Run(*menu, button);
#ifdef TALLYFEN_HAS_CURVE_WINDOW
    QCOMPARE(OpenTopLevels(QStringLiteral("qxForm1")), 1);
#else
    QCOMPARE(recorder.messages.size(), size_t(2));
#endif
    QVERIFY(menu->close());  // the about box stays open
    QCOMPARE(OpenTopLevels(QStringLiteral("guanyu")), 1);
  }

  // Any click on the about box closes it, on a label or beside them; the next is shown afresh.
  void aClickAnywhereClosesTheAboutBox() {
    for (const char* target : {"Label1", "Label2", "Label4", "Image1", "guanyu"}) {
      QPointer<tallyfen::AboutBox> box = tallyfen::ShowAboutBox();
      QVERIFY(QTest::qWaitForWindowExposed(box));
      auto* w = box->objectName() == QLatin1String(target) ? box.data() : box->findChild<QWidget*>(target);
      QVERIFY2(w, target);
      QTest::mouseClick(w, Qt::LeftButton, {}, w == box ? QPoint(w->width() - 4, w->height() - 4) : w->rect().center());
      QCOMPARE(OpenTopLevels(QStringLiteral("guanyu")), 0);
      QVERIFY(box.isNull());
    }
  }

  // A panel 1500 by 1200 twips (100 by 80 pixels): the label is 2300 twips high and climbs
  // 25 twips a tick until its bottom edge has passed the panel's top.
  void creditsClimbInPixelsAndWrap() {
    tallyfen::LauncherWindow menu;
    auto* panel = menu.findChild<QWidget*>(QStringLiteral("Picture1"));
    QVERIFY(panel);
    auto* label = panel->findChild<QLabel*>(QStringLiteral("Label1"), Qt::FindDirectChildrenOnly);
    QVERIFY(label && menu.CreditsTimer().isActive());
    panel->resize(100, 80);
    menu.RestartCredits();
    menu.CreditsTimer().stop();
    QCOMPARE(label->geometry(), QRect(0, 80, 100, 153));
    for (const auto& [ticks, top] : {std::pair(1, 80), {1, 78}, {139, -153}, {1, 80}}) {
      for (int i = 0; i < ticks; ++i) menu.ScrollCredits();
      QCOMPARE(label->y(), top);
    }
  }

  // The program starts the calculator beside itself, wherever it was copied to.
  void aCopiedLauncherStartsTheCalculatorBesideIt() {
    ProbeFolder probe(QStringLiteral("rillford"));
    const QString launcher = probe.dir.filePath(QStringLiteral("tallyfen"));
    QVERIFY(QFile::copy(QStringLiteral(TALLYFEN_PROGRAM), launcher));
    QProcess run;
    run.start(launcher, {QStringLiteral("--start"), QStringLiteral("rillford")});
    QVERIFY(run.waitForFinished(10000) && run.exitCode() == 0);
    QVERIFY(probe.Await(1, QStringLiteral("running rillford")));
  }
};

QTEST_MAIN(LauncherWindowTest)
#include "launcher_window_test.moc"
