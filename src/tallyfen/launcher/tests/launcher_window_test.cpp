#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "fennick/kestrel_command.h"
#include "tallyfen/launcher/about_box.h"
#include "tallyfen/launcher/launcher_window.h"

namespace {

// A button by its click, a context-menu entry by triggering it.
void Run(QWidget& menu, const QString& name) {
  if (auto* action = menu.findChild<QAction*>(name)) return action->trigger();
  auto* button = menu.findChild<fennick::KestrelCommand*>(name);
  QVERIFY2(button, qPrintable(name));
  emit button->Click();
}

int OpenTopLevels(const QString& objectName) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  int found = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) found += w->objectName() == objectName && w->isVisible();
  return found;
}

// A folder for the programs the menu starts, with the log of the stand-in calculator; the
// copies started from it end with it.
struct ProbeFolder {
  QTemporaryDir dir;
  QString log = dir.filePath(QStringLiteral("probe.log"));
  ProbeFolder() {
    qputenv("LAUNCHER_PROBE_LOG", log.toUtf8());
  }
  ~ProbeFolder() {
    QFile(log + QStringLiteral(".stop")).open(QIODevice::WriteOnly);
    Await(QStringLiteral("ended"), Lines(QStringLiteral("running")));
  }
  int Lines(const QString& start) const {
    QFile f(log);
    return f.open(QIODevice::ReadOnly) ? int(QString::fromUtf8(f.readAll()).split('\n').filter(start).size()) : 0;
  }
  bool Await(const QString& start, int count = 1) const {
    return QTest::qWaitFor([&] { return Lines(start) >= count; }, 10000);
  }
};

}  // namespace

class LauncherWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Each entry starts its own program, without arguments and without waiting for it, and says
  // nothing; a program that cannot start is reported.
  void eachEntryStartsItsProgramOnce_data() {
    QTest::addColumn<int>("unused");
    // The entry, the program it starts, what the folder holds under that name ("probe": the
    // stand-in calculator, "-": nothing), and the reason the message gives when it cannot start.
    for (const char* row : {"Command2 rillford probe", "Command3 quenby probe", "Command4 brannock probe",
                            "Command5 dovetree probe", "Command8 marlowby probe", "alignmentAction alignment probe",
                            "transformAction transform probe",
                            "Command3 quenby - 在文件夹", "Command3 quenby junk 系统无法启动"})
      QTest::newRow(row) << 0;
  }
  void eachEntryStartsItsProgramOnce() {
    const QStringList row = QString::fromUtf8(QTest::currentDataTag()).split(' ');
    QVERIFY(row.size() >= 3);
    const QString program = row[1], reason = row.value(3);
    ProbeFolder probe;
    QFile target(probe.dir.filePath(program));
    if (row[2] == QLatin1String("probe")) QVERIFY(QFile::copy(QStringLiteral(PROBE_PROGRAM), target.fileName()));
    else if (row[2] != QLatin1String("-"))
      QVERIFY(target.open(QIODevice::WriteOnly) && target.write(row[2].toUtf8()) && target.setPermissions(QFile::ExeOwner));
    tallyfen::LauncherWindow menu;
    menu.SetProgramFolder(probe.dir.path());
    platform::MessageRecorder recorder;
    Run(menu, row[0]);
    QCOMPARE(recorder.messages.size(), size_t(reason.isEmpty() ? 0 : 1));
    if (!reason.isEmpty()) {
      const QString text = platform::ToQString(recorder.messages[0].text);
      QVERIFY2(text.startsWith(QStringLiteral("无法启动程序“quenby”：\r\n")) && text.contains(reason), qPrintable(text));
    } else {
      QCOMPARE(probe.Lines(QStringLiteral("ended")), 0);  // the click came back while it runs
      QVERIFY(probe.Await(QStringLiteral("running %1 args=0").arg(program)));
    }
  }

  // One curve window and one about box however often they are asked for. The about box outlives
  // the menu; any click on it closes it, on a label or beside them, and the next is shown afresh.
  void curveWindowAndAboutBox() {
    auto* menu = new tallyfen::LauncherWindow;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    platform::MessageRecorder recorder;
    for (const char* button : {"Command1", "Command1", "Command7", "Command7"}) Run(*menu, QLatin1String(button));
#ifdef TALLYFEN_HAS_CURVE_WINDOW
    QCOMPARE(OpenTopLevels(QStringLiteral("qxForm1")), 1);
#else
    QCOMPARE(recorder.messages.size(), size_t(2));
#endif
    QVERIFY(menu->close());
    QCOMPARE(OpenTopLevels(QStringLiteral("guanyu")), 1);
    for (const char* target : {"Label1", "Label2", "Label4", "Image1", "guanyu"}) {
      tallyfen::AboutBox* box = tallyfen::ShowAboutBox();
      auto* w = box->objectName() == QLatin1String(target) ? static_cast<QWidget*>(box) : box->findChild<QWidget*>(target);
      QVERIFY2(w, target);
      QTest::mouseClick(w, Qt::LeftButton, {}, w == box ? QPoint(w->width() - 4, w->height() - 4) : w->rect().center());
      QCOMPARE(OpenTopLevels(QStringLiteral("guanyu")), 0);
    }
  }

  // A panel 1500 by 1200 twips (100 by 80 pixels): the label is 2300 twips high and climbs
  // 25 twips a tick until its bottom edge has passed the panel's top.
  void creditsClimbInPixelsAndWrap() {
    tallyfen::LauncherWindow menu;
    auto* panel = menu.findChild<QWidget*>(QStringLiteral("Picture1"));
    QVERIFY(panel && menu.CreditsTimer().isActive());
    auto* label = panel->findChild<QLabel*>(QStringLiteral("Label1"), Qt::FindDirectChildrenOnly);
    panel->resize(100, 80);
    menu.RestartCredits();
    menu.CreditsTimer().stop();
    QCOMPARE(label->geometry(), QRect(0, 80, 100, 153));
    menu.ScrollCredits();
    menu.ScrollCredits();
    QCOMPARE(label->y(), 78);  // 1175 twips
  }
};

QTEST_MAIN(LauncherWindowTest)
#include "launcher_window_test.moc"
