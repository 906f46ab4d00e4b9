#include <QApplication>
#include <sstream>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "dovetree/hh_form1.h"
#include "dovetree/report.h"
#include "dovetree/batch.h"
#include "platform/program_setup.h"
#include "platform/qt_host.h"
#include "platform/testing/pdf_columns.h"
#include "platform/single_instance.h"
#include "platform/text_printing.h"

using dovetree::HhForm1;

class HhForm1Test : public QObject {
  Q_OBJECT

  QTemporaryDir lockDir_;

  static QLineEdit* Field(QWidget& w, const char* name) { return w.findChild<QLineEdit*>(QString::fromLatin1(name)); }
  static QPushButton* Button(QWidget& w, const char* name) {
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
  }
  static QTextEdit* Report(QWidget& w) { return w.findChild<QTextEdit*>(QStringLiteral("RichTextBox1")); }

  static void FillWorkedExample(QWidget& w) {
    Field(w, "Text1")->setText(QStringLiteral("1000"));
    Field(w, "Text2")->setText(QStringLiteral("30.0000"));
    Field(w, "Text3")->setText(QStringLiteral("500"));
    Field(w, "Text4")->setText(QStringLiteral("60"));
    Field(w, "Text5")->setText(QStringLiteral("870"));
  }

 private slots:
  void initTestCase() {
    QVERIFY(lockDir_.isValid());
    qputenv("SURVEY_LOCK_DIR", lockDir_.path().toUtf8());
    // What the program sets up before its window opens.
    platform::PrepareApplication(*qApp, QStringLiteral("dovetree"));
  }

  void controlsCarryTheirNamesCaptionsAndPlaces() {
    HhForm1 w;
    QCOMPARE(w.objectName(), QStringLiteral("hhForm1"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Dovetree切线及偏角"));
    QCOMPARE(w.size(), QSize(624, 299));
    const std::pair<const char*, const char*> frames[] = {
        {"Frame1", "原始数据"}, {"Frame3", "测站数据"}, {"Frame2", "加桩数据"}};
    for (const auto& [name, caption] : frames)
      QCOMPARE(w.findChild<QGroupBox*>(QString::fromLatin1(name))->title(), QString::fromUtf8(caption));
    const std::pair<const char*, const char*> labels[] = {{"Label1", "交点桩号JD："}, {"Label2", "偏角角度α："},
                                                          {"Label3", "曲线半径R ："}, {"Label4", "DovetreeLs："},
                                                          {"Label6", "置镜点桩号："}, {"Label5", "随机加桩JZ："}};
    for (const auto& [name, caption] : labels)
      QCOMPARE(w.findChild<QLabel*>(QString::fromLatin1(name))->text(), QString::fromUtf8(caption));
    QCOMPARE(Button(w, "Command1")->text(), QStringLiteral("偏角计算"));
    QCOMPARE(Button(w, "Command2")->text(), QStringLiteral("加桩计算"));
    QCOMPARE(Button(w, "Command3")->text(), QStringLiteral("打  印"));
    QCOMPARE(Field(w, "Text1")->geometry(), QRect(88, 16, 89, 25));
    QCOMPARE(Field(w, "Text5")->parentWidget()->objectName(), QStringLiteral("Frame3"));
    QCOMPARE(Button(w, "Command3")->geometry(), QRect(64, 264, 57, 25));
    QCOMPARE(Report(w)->geometry(), QRect(184, 0, 441, 297));
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"})
      QVERIFY(Field(w, name)->text().isEmpty());
    QCOMPARE(Report(w)->toPlainText(), platform::ToQString(dovetree::HelpText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }

  void reportFontKeepsTheColumns() {
    HhForm1 w;
    const QFontMetricsF m(Report(w)->font());
    QCOMPARE(m.horizontalAdvance(QStringLiteral("桩")), 2 * m.horizontalAdvance(QStringLiteral("0")));
  }

  void printFaceIsHeiTwelveNotBold() {
    const QFont f = HhForm1::PrintFont();
    QCOMPARE(f.pointSizeF(), 12.0);
    QVERIFY(!f.bold());
    // The report printed to a PDF holds the text: the same painting the print dialog drives.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(platform::PrintTextToPdf(pdf, QStringLiteral("   ") + platform::ToQString(dovetree::HelpText()), f));
    QVERIFY(QFileInfo(pdf).size() > 0);
  }

  void printFaceCountsACjkCharacterAsTwoColumns() {
    const QFont f = HhForm1::PrintFont();
    QVERIFY2(platform::ColumnPrintFamilies().contains(f.family()), qPrintable(f.family()));
    QVERIFY(platform::HasHalfWidthLatin(f));
  }

  // The printed report, read back from the PDF: ZH, the stakes, the instrument station, HY and
  // an extra stake have their station, deflection and reverse columns at the same x.
  void batchPdfPrintsTheColumnsAligned() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    std::ostringstream out, err;
    QCOMPARE(dovetree::RunDovetreeBatch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60",
                                         "--station", "870", "--extra", "885.25", "--pdf", pdf.toStdString()},
                                        out, err, &dovetree::PrintReportToPdf),
             0);
    QString error;
    const auto rows = platform::testing::DeflectionRows(platform::testing::PdfWords(pdf, &error));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList stations;
    for (const auto& r : rows) stations << r.station;
    QCOMPARE(stations, (QStringList{"835.9486(zh)", "840", "850", "860", "870", "870(置镜)", "880", "890",
                                    "895.9486(hy)", "885.25(加桩)"}));
    for (const auto& r : rows) {
      QVERIFY2(qAbs(r.stationX - rows[0].stationX) < 0.01, qPrintable(r.station));
      QVERIFY2(qAbs(r.deflectionX - rows[0].deflectionX) < 0.01, qPrintable(r.station));
      QVERIFY2(qAbs(r.reverseX - rows[0].reverseX) < 0.01, qPrintable(r.station));
    }
  }

  // The help text reads without a sideways scroll: its long second line wraps in the box,
  // while a report row stays one line, so the columns hold.
  void helpWrapsInTheBoxAndReportRowsDoNot() {
    HhForm1 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTextEdit* box = Report(w);
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    const QTextBlock second = box->document()->findBlockByNumber(1);
    QVERIFY(second.layout()->lineCount() > 1);
    FillWorkedExample(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
      QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));
  }

  // After Text6 the focus is on 偏角计算: Enter presses it, as Space does.
  void enterPressesTheFocusedButton() {
    platform::MessageRecorder recorder;
    HhForm1 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    FillWorkedExample(w);
    Field(w, "Text6")->setFocus();
    QTest::keyClick(Field(w, "Text6"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), Button(w, "Command1"));
    QVERIFY(!Report(w)->toPlainText().contains(QStringLiteral("(置镜)")));
    QTest::keyClick(Button(w, "Command1"), Qt::Key_Return);
    QVERIFY(Report(w)->toPlainText().contains(QStringLiteral("(置镜)")));
    // The keypad's Enter too, on the extra-stake button.
    Field(w, "Text6")->setText(QStringLiteral("880"));
    Button(w, "Command2")->setFocus();
    QTest::keyClick(Button(w, "Command2"), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(Report(w)->toPlainText().contains(QStringLiteral("880(加桩)")));
    QVERIFY(recorder.messages.empty());
  }

  void enterMovesThroughTheFieldsToTheButtons() {
    HhForm1 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Field(w, "Text1")->setFocus();
    const char* order[] = {"Text2", "Text3", "Text4", "Text5", "Text6", "Command1"};
    for (const char* next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command3"));
  }

  void command1WorksWithText6Empty() {
    platform::MessageRecorder recorder;
    HhForm1 w;
    FillWorkedExample(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QVERIFY(recorder.messages.empty());
    const QString text = Report(w)->toPlainText();
    QVERIFY(text.contains(QString::fromUtf8("               835.9486(zh)     0° 44′ 18″    359°15′42″\n")));
    QVERIFY(text.contains(QString::fromUtf8("               870(置镜)        0° 0′ 0″      360°0′0″\n")));
    QVERIFY(!text.contains(QLatin1Char('\r')));
  }

  void command2WithText6EmptyShowsTheDataError() {
    platform::MessageRecorder recorder;
    HhForm1 w;
    FillWorkedExample(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    const QString before = Report(w)->toPlainText();
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].text, std::string("你输入所有数据了吗？\r\n请重新输入。"));
    QCOMPARE(recorder.messages[0].title, std::string("输入数据出错"));
    QCOMPARE(recorder.messages[0].icon, survey::MessageIcon::Question);
    QCOMPARE(Report(w)->toPlainText(), before);
  }

  void extraStakeGoesToTheCursorAndKeepsUserEdits() {
    platform::MessageRecorder recorder;
    HhForm1 w;
    FillWorkedExample(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    // The user adds a note at the top and leaves the cursor after it.
    QTextCursor c = Report(w)->textCursor();
    c.setPosition(0);
    c.insertText(QStringLiteral("备注\n"));
    Report(w)->setTextCursor(c);
    Field(w, "Text6")->setText(QStringLiteral("700"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    QVERIFY(recorder.messages.empty());
    const QString text = Report(w)->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("备注\n") + QString(15, QLatin1Char(' ')) +
                            QStringLiteral(" 700(加桩)       -3°-40′-18″    363°40′18″\n")));
    QCOMPARE(Report(w)->textCursor().position(), 3 + 15 + 15 + 15 + 10 + 1);
    // Clicked into the middle of the note line, the next stake goes after that line (here
    // between the note and the first stake), never splitting it.
    c.setPosition(1);
    Report(w)->setTextCursor(c);
    Field(w, "Text6")->setText(QStringLiteral("710"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    QVERIFY(Report(w)->toPlainText().startsWith(QStringLiteral("备注\n") + QString(15, QLatin1Char(' ')) +
                                                QStringLiteral(" 710(加桩)")));
    QVERIFY(Report(w)->toPlainText().contains(QStringLiteral("″\n") + QString(15, QLatin1Char(' ')) +
                                              QStringLiteral(" 700(加桩)")));
    QCOMPARE(Report(w)->textCursor().position(), Report(w)->toPlainText().indexOf(QStringLiteral(" 700(加桩)")) - 15);
  }

  void secondCopyIsRefused() {
    platform::MessageRecorder recorder;
    platform::SingleInstanceGuard first(QStringLiteral("dovetree"));
    std::unique_ptr<HhForm1> window = dovetree::OpenWindow(first);
    QVERIFY(window != nullptr);
    QVERIFY(recorder.messages.empty());
    platform::SingleInstanceGuard second(QStringLiteral("dovetree"));
    QVERIFY(dovetree::OpenWindow(second) == nullptr);
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].text, std::string("系统正在运行，请在下面任务栏寻找系统的最小化图标。"));
    QCOMPARE(recorder.messages[0].title, std::string("警告!"));
    QCOMPARE(recorder.messages[0].icon, survey::MessageIcon::Exclamation);
    QVERIFY(first.IsFirst());  // the running copy keeps its lock
  }

  // Under Xvfb, SURVEY_SCREENSHOT=<png> saves the window after the worked example.
  void screenshot() {
    const QByteArray path = qgetenv("SURVEY_SCREENSHOT");
    if (path.isEmpty()) QSKIP("SURVEY_SCREENSHOT not set");
    platform::MessageRecorder recorder;
    HhForm1 w;
    FillWorkedExample(w);
    Field(w, "Text6")->setText(QStringLiteral("700"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    QTest::qWait(200);
    QVERIFY(w.grab().save(QString::fromLocal8Bit(path)));
    // And the head of the report.
    Report(w)->moveCursor(QTextCursor::Start);
    QTest::qWait(100);
    QVERIFY(w.grab().save(QString::fromLocal8Bit(path).replace(QStringLiteral(".png"), QStringLiteral("-head.png"))));
  }
};

QTEST_MAIN(HhForm1Test)
#include "hh_form1_test.moc"
