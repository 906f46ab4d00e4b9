#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QSignalSpy>
#include <QTranslator>
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
#include "platform/program_setup.h"
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
    QVERIFY(platform::WriteGbkFile(path, "第一\r\n").ok());
    auto back = platform::ReadGbkFile(path);
    QVERIFY(back.has_value());
    QCOMPARE(*back, std::string("第一\r\n"));
    // A folder that does not exist cannot take the file: the write fails with a reason.
    const auto failed = platform::WriteGbkFile(dir.filePath(QStringLiteral("no/such/x.txt")).toStdString(), "x");
    QVERIFY(!failed.ok());
    QVERIFY(!failed.error.empty());
    // A read-only folder refuses the temporary file; the old file stays as it was.
    if (geteuid() != 0) {
      QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
      QVERIFY(!platform::WriteGbkFile(path, "第二").ok());
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

  // The Chinese toolkit texts whatever the locale: the test runs under the C locale.
  void standardDialogsSpeakChinese() {
    QVERIFY(platform::LoadChineseTranslations(*qApp));
    QVERIFY(platform::LoadChineseTranslations(*qApp));  // a second call adds nothing
    QCOMPARE(qApp->findChildren<QTranslator*>().size(), qsizetype(1));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    QFileDialog files(nullptr, QStringLiteral("保存"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    const auto buttons = files.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QVERIFY2(buttons->button(QDialogButtonBox::Save)->text().contains(QStringLiteral("保存")),
             qPrintable(buttons->button(QDialogButtonBox::Save)->text()));
  }

  void everyProgramHasItsOwnIcon() {
    QSet<QByteArray> seen;
    for (const char* name : {"tallyfen", "brannock", "dovetree", "marlowby", "quenby", "rillford"}) {
      const QIcon icon = platform::ProgramIcon(QString::fromLatin1(name));
      QVERIFY2(!icon.isNull(), name);
      QCOMPARE(icon.availableSizes().size(), qsizetype(3));
      const QImage image = icon.pixmap(32, 32).toImage();
      seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(seen.size(), qsizetype(6));
    QVERIFY(platform::ProgramIcon(QStringLiteral("nothing")).isNull());
    platform::PrepareApplication(*qApp, QStringLiteral("quenby"));
    QWidget window;
    QCOMPARE(window.windowIcon().pixmap(32, 32).toImage(), platform::ProgramIcon(QStringLiteral("quenby")).pixmap(32, 32).toImage());
  }

  // Enter presses a focused push button (main keyboard or keypad, held or not: once); fields
  // keep Enter for themselves or move the focus on; a disabled button stays unpressed.
  void enterPressesTheFocusedButton() {
    platform::PressButtonsWithEnter(*qApp);
    platform::PressButtonsWithEnter(*qApp);
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    auto* field = new QLineEdit;
    auto* next = new QLineEdit;
    auto* button = new QPushButton(QStringLiteral("计算"));
    button->setAutoDefault(false);
    layout->addWidget(field);
    layout->addWidget(next);
    layout->addWidget(button);
    platform::EnterAsTab enter(&w);
    enter.Add(field);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy clicks(button, &QPushButton::clicked);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(clicks.size(), 2);
    QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(button, &repeat);
    QCOMPARE(clicks.size(), 2);
    button->setEnabled(false);
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(clicks.size(), 2);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), next);
    QSignalSpy returns(next, &QLineEdit::returnPressed);
    QTest::keyClick(next, Qt::Key_Return);
    QCOMPARE(returns.size(), 1);
  }

  void printFaceHasHalfWidthLatinAndAProportionalFaceHasNot() {
    for (const double size : {9.0, 10.5, 12.0}) {
      const QFont f = platform::ColumnPrintFont(size);
      QVERIFY2(platform::HasHalfWidthLatin(f), qPrintable(f.family()));
      QCOMPARE(f.pointSizeF(), size);
      QVERIFY(!f.bold());
    }
    QFont proportional(QStringLiteral("Noto Sans CJK SC"));
    proportional.setPointSizeF(12);
    QVERIFY(!platform::HasHalfWidthLatin(proportional));
  }

 private:
  static void EXPECT_ANSWER(survey::MessageAnswer got, survey::MessageAnswer want) { QCOMPARE(got, want); }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
