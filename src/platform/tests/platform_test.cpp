#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QSysInfo>
#include <QTest>
#include <QVBoxLayout>
#include <unistd.h>

#include "platform/enter_as_tab.h"
#include "platform/qt_host.h"
#include "platform/single_instance.h"
#include "platform/text_files.h"
#include "platform/text_printing.h"

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void messagesReachTheRecorder() {
    platform::MessageRecorder recorder(survey::MessageAnswer::Cancel);
    QWidget w;
    platform::QtHost host(&w);
    EXPECT_ANSWER(host.ShowMessage(survey::DataErrorMessage()), survey::MessageAnswer::Cancel);
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].title, std::string("输入数据出错"));
    QCOMPARE(recorder.messages[0].icon, survey::MessageIcon::Question);
  }

  void busyPointerNestsAndRestores() {
    QWidget w;
    platform::QtHost host(&w);
    {
      survey::BusyScope outer(host);
      survey::BusyScope inner(host);
      QVERIFY(QApplication::overrideCursor() != nullptr);
    }
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void enterMovesFocusOnlyInChosenFields() {
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    auto* a = new QLineEdit;
    auto* b = new QLineEdit;
    auto* c = new QLineEdit;
    layout->addWidget(a);
    layout->addWidget(b);
    layout->addWidget(c);
    platform::EnterAsTab enter(&w);
    enter.Add({a, b});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), b);
    QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), c);
    QTest::keyClick(c, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), c);
  }

  void secondCopyIsRefusedFirstKeepsItsLock() {
    QTemporaryDir dir;
    qputenv("SURVEY_LOCK_DIR", dir.path().toUtf8());
    platform::SingleInstanceGuard first(QStringLiteral("probe"));
    QVERIFY(first.IsFirst());
    platform::SingleInstanceGuard second(QStringLiteral("probe"));
    QVERIFY(!second.IsFirst());
    QVERIFY(first.IsFirst());
    platform::SingleInstanceGuard other(QStringLiteral("another"));
    QVERIFY(other.IsFirst());
  }

  void staleLockOfADeadCopyIsTakenOver() {
    QTemporaryDir dir;
    qputenv("SURVEY_LOCK_DIR", dir.path().toUtf8());
    platform::SingleInstanceGuard probe(QStringLiteral("stale"));
    QFile f(probe.LockPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("999999999\nstale\n" + QSysInfo::machineHostName().toUtf8() + "\n");  // a process id that does not run
    f.close();
    QVERIFY(probe.IsFirst());
  }

  void gbkRoundTripAndAsciiUnchanged() {
    const std::string text = "桩号 zh,1000.5\r\n";
    const std::string gbk = platform::Utf8ToGbk(text);
    QCOMPARE(gbk.substr(0, 4), std::string("\xD7\xAE\xBA\xC5"));
    QCOMPARE(platform::GbkToUtf8(gbk), text);
    QCOMPARE(platform::Utf8ToGbk("plain ascii\r\n"), std::string("plain ascii\r\n"));
    QCOMPARE(platform::Utf8ToGbk("a😀b"), std::string("a?b"));
  }

  void atomicWriteKeepsTheOldFileOnFailure() {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("报告.txt")).toStdString();
    QVERIFY(platform::WriteGbkFile(path, "第一\r\n").ok);
    auto back = platform::ReadGbkFile(path);
    QVERIFY(back.has_value());
    QCOMPARE(*back, std::string("第一\r\n"));
    // A folder that does not exist cannot take the file: the write fails with a reason.
    const auto failed = platform::WriteGbkFile(dir.filePath(QStringLiteral("no/such/x.txt")).toStdString(), "x");
    QVERIFY(!failed.ok);
    QVERIFY(!failed.error.empty());
    // A read-only folder refuses the temporary file; the old file stays as it was.
    if (geteuid() != 0) {
      QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
      QVERIFY(!platform::WriteGbkFile(path, "第二").ok);
      QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
      QCOMPARE(*platform::ReadGbkFile(path), std::string("第一\r\n"));
    }
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == 1);  // no temporary left behind
    std::string error;
    QVERIFY(!platform::ReadGbkFile(dir.filePath(QStringLiteral("missing")).toStdString(), &error));
    QVERIFY(!error.empty());
  }

  void textPrintsToPdf() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QVERIFY(platform::PrintTextToPdf(pdf, QStringLiteral("   桩号\r\n1000"), platform::CjkFont(QStringLiteral("黑体"), 12), 2));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
  }

 private:
  static void EXPECT_ANSWER(survey::MessageAnswer got, survey::MessageAnswer want) { QCOMPARE(got, want); }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
