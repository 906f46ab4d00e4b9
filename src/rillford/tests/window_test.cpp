#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/qt_host.h"
#include "platform/single_instance.h"
#include "rillford/window.h"

using rillford::Form4Window;

class RillfordWindowTest : public QObject {
  Q_OBJECT

 private:
  static QPushButton* Button(Form4Window& w, const char* name) {
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
  }
  static void Fill(Form4Window& w, int first, int last, const QString& text) {
    for (int n = first; n <= last; ++n) w.Field(n)->setText(text);
  }

 private slots:
  void controlsCarryTheirNamesAndLook() {
    Form4Window w;
    QCOMPARE(w.objectName(), QStringLiteral("Form4"));
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("坐标计算")));
    QVERIFY(w.windowTitle().endsWith(QStringLiteral("2003修正版")));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(192, 255, 192));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    for (int n = 1; n <= 16; ++n) QVERIFY(w.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n)));
    for (int n : {7, 8, 13, 14, 15, 16}) QCOMPARE(w.Field(n)->palette().color(QPalette::Text), QColor(0, 0, 255));
    QCOMPARE(w.Field(1)->palette().color(QPalette::Text) == QColor(0, 0, 255), false);
    QCOMPARE(Button(w, "Command1")->text(), QStringLiteral("计  算"));
    QCOMPARE(Button(w, "Command4")->text(), QStringLiteral("清  空"));
  }

  void computeFillsOnlyItsOwnOutputs() {
    Form4Window w;
    platform::MessageRecorder recorder;
    Fill(w, 9, 12, QStringLiteral("0"));
    w.Field(11)->setText(QStringLiteral("100"));
    w.Field(12)->setText(QStringLiteral("100"));
    QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(w.Field(13)->text(), QStringLiteral("45"));
    QCOMPARE(w.Field(14)->text(), QStringLiteral("0"));
    QCOMPARE(w.Field(15)->text(), QStringLiteral("0"));
    QCOMPARE(w.Field(16)->text(), QStringLiteral("141.421"));
    QCOMPARE(w.Field(7)->text(), QString());
    QVERIFY(recorder.messages.empty());
  }

  void clearEmptiesAllEightFieldsOfItsFrameOnly() {
    Form4Window w;
    for (int n = 1; n <= 16; ++n) w.Field(n)->setText(QString::number(n));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    for (int n = 1; n <= 8; ++n) QCOMPARE(w.Field(n)->text(), QString());
    for (int n = 9; n <= 16; ++n) QCOMPARE(w.Field(n)->text(), QString::number(n));
    for (int n = 1; n <= 8; ++n) w.Field(n)->setText(QString::number(n));
    QTest::mouseClick(Button(w, "Command4"), Qt::LeftButton);
    for (int n = 9; n <= 16; ++n) QCOMPARE(w.Field(n)->text(), QString());
    for (int n = 1; n <= 8; ++n) QCOMPARE(w.Field(n)->text(), QString::number(n));
  }

  void emptyFieldShowsDataErrorAndKeepsOutputs() {
    Form4Window w;
    platform::MessageRecorder recorder;
    Fill(w, 1, 6, QStringLiteral("1"));
    w.Field(5)->clear();
    w.Field(7)->setText(QStringLiteral("9.9"));
    w.Field(8)->setText(QStringLiteral("8.8"));
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QCOMPARE(recorder.messages[0].text, std::string("你输入所有数据了吗？\r\n请重新输入。"));
    QCOMPARE(recorder.messages[0].title, std::string("输入数据出错"));
    QCOMPARE(w.Field(7)->text(), QStringLiteral("9.9"));
    QCOMPARE(w.Field(8)->text(), QStringLiteral("8.8"));
  }

  void enterMovesFocusExceptFromDistanceAndLastPoint() {
    Form4Window w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const int moving[] = {1, 2, 3, 4, 5, 9, 10, 11};
    for (int n : moving) {
      w.Field(n)->setFocus();
      QTest::keyClick(w.Field(n), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), w.Field(n + 1));
    }
    for (int n : {6, 12}) {
      w.Field(n)->setFocus();
      QTest::keyClick(w.Field(n), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), w.Field(n));
    }
    // Enter types nothing into a field either.
    QCOMPARE(w.Field(1)->text(), QString());
  }

  void secondCopyIsRefusedWithTheWarning() {
    QTemporaryDir dir;
    qputenv("SURVEY_LOCK_DIR", dir.path().toLocal8Bit());
    platform::MessageRecorder recorder;
    platform::SingleInstanceGuard first(QStringLiteral("rillford"));
    QVERIFY(rillford::StartupCheck(first));
    QVERIFY(recorder.messages.empty());
    platform::SingleInstanceGuard second(QStringLiteral("rillford"));
    QVERIFY(!rillford::StartupCheck(second));
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QCOMPARE(recorder.messages[0].text, std::string("系统正在运行，请在下面任务栏寻找系统的最小化图标。"));
    QCOMPARE(recorder.messages[0].title, std::string("警告!"));
    QCOMPARE(recorder.messages[0].icon, survey::MessageIcon::Exclamation);
    qunsetenv("SURVEY_LOCK_DIR");
  }

  // With SURVEY_SCREENSHOT_DIR set, saves the window with both frames computed, to look at.
  void screenshotWhenAsked() {
    const QString dir = qEnvironmentVariable("SURVEY_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("SURVEY_SCREENSHOT_DIR not set");
    Form4Window w;
    platform::MessageRecorder recorder;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const char* inputs[] = {"3456789.123", "512345.678", "45", "30", "15.5", "1234.5678"};
    for (int n = 1; n <= 6; ++n) w.Field(n)->setText(QString::fromLatin1(inputs[n - 1]));
    const char* points[] = {"3456789.123", "512345.678", "3455000", "513000.5"};
    for (int n = 9; n <= 12; ++n) w.Field(n)->setText(QString::fromLatin1(points[n - 9]));
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
    QTest::qWait(50);
    w.grab().save(dir + QStringLiteral("/rillford.png"));
  }
};

QTEST_MAIN(RillfordWindowTest)
#include "window_test.moc"
