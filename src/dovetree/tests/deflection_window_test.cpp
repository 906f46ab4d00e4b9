#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <sstream>

#include "dovetree/deflection_window.h"
#include "platform/program_setup.h"
#include "platform/testing/pdf_columns.h"
#include "platform/text_printing.h"

using dovetree::DeflectionWindow;

class DeflectionWindowTest : public QObject {
  Q_OBJECT

  static QLineEdit* Field(QWidget& w, const char* name) { return w.findChild<QLineEdit*>(QLatin1String(name)); }
  static QPushButton* Button(QWidget& w, const char* name) { return w.findChild<QPushButton*>(QLatin1String(name)); }
  static QTextEdit* Report(QWidget& w) { return w.findChild<QTextEdit*>(QStringLiteral("RichTextBox1")); }
  static void FillWorkedExample(QWidget& w) {
    const char* texts[] = {"1000", "30.0000", "500", "60", "870"};
    for (int i = 0; i < 5; ++i) Field(w, qPrintable(QStringLiteral("Text%1").arg(i + 1)))->setText(QLatin1String(texts[i]));
  }

 private slots:
  void initTestCase() { platform::PrepareApplication(*qApp, QStringLiteral("dovetree")); }

  // Each field and button found by its object name; the report box keeps what the user typed
  // and the extra stake goes where the user left the cursor.
  void fieldsAndButtonsByTheirObjectNames() {
    platform::MessageRecorder recorder;
    DeflectionWindow w;
    QCOMPARE(w.objectName(), QStringLiteral("hhForm1"));
    FillWorkedExample(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    const QString report = Report(w)->toPlainText();
    for (const char* line : {"交点桩号JD=1000     偏角角度α＝30°0′0″\n", "曲线半径R ＝500     DovetreeLS＝60\n",
                             "               870(置镜)        0° 0′ 0″      360°0′0″\n"})
      QVERIFY2(report.contains(QString::fromUtf8(line)), line);
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);  // no JZ yet
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].text, std::string("你输入所有数据了吗？\r\n请重新输入。"));
    QCOMPARE(Report(w)->toPlainText(), report);
    QTextCursor c = Report(w)->textCursor();
    c.setPosition(0);
    c.insertText(QStringLiteral("备注\n"));
    Report(w)->setTextCursor(c);
    Field(w, "Text6")->setText(QStringLiteral("700"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    QCOMPARE(Report(w)->toPlainText(), QStringLiteral("备注\n") + QString(15, QLatin1Char(' ')) +
                                           QStringLiteral(" 700(加桩)       -3°-40′-18″    363°40′18″\n") + report);
    QCOMPARE(Report(w)->textCursor().position(), 3 + 15 + 15 + 15 + 10 + 1);
  }

  // Enter moves through the fields to 偏角计算 and presses a focused button; Tab goes on to
  // 加桩计算 and 打印.
  void enterAndTabOrder() {
    platform::MessageRecorder recorder;
    DeflectionWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    FillWorkedExample(w);
    for (const char* next : {"Text2", "Text3", "Text4", "Text5", "Text6", "Command1"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(Report(w)->toPlainText().contains(QStringLiteral("(置镜)")));
    for (const char* next : {"Command2", "Command3"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
    }
    QVERIFY(recorder.messages.empty());
  }

  // The help text's long line wraps in the box, a report row never does: no sideways scroll.
  void helpWrapsAndReportRowsDoNot() {
    DeflectionWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(Report(w)->document()->findBlockByNumber(1).layout()->lineCount() > 1);
    FillWorkedExample(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QCOMPARE(Report(w)->horizontalScrollBar()->maximum(), 0);
    for (QTextBlock b = Report(w)->document()->begin(); b.isValid(); b = b.next())
      QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));
  }

  // The batch mode's PDF, read back: every row's station, deflection and reverse at the same x.
  void batchPdfKeepsTheColumns() {
    QVERIFY(platform::HasHalfWidthLatin(DeflectionWindow::PrintFont()));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    dovetree::PdfFileWriter writer;
    std::ostringstream out, err;
    QCOMPARE(dovetree::RunBatch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60", "--station",
                                 "870", "--extra", "885.25", "--pdf", pdf.toStdString()},
                                out, err, {&writer}),
             0);
    QString error;
    const auto rows = platform::testing::DeflectionRows(platform::testing::PdfWords(pdf, &error));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList stations;
    for (const auto& r : rows) stations << r.station;
    QCOMPARE(stations, (QStringList{"835.9486(zh)", "840", "850", "860", "870", "870(置镜)", "880", "890",
                                    "895.9486(hy)", "885.25(加桩)"}));
    for (const auto& r : rows) {
      QVERIFY2(qAbs(r.stationX - rows[0].stationX) < 0.01 && qAbs(r.deflectionX - rows[0].deflectionX) < 0.01 &&
                   qAbs(r.reverseX - rows[0].reverseX) < 0.01,
               qPrintable(r.station));
    }
    QVERIFY(!writer.Print(dir.filePath(QStringLiteral("no/such/r.pdf")).toStdString(), "x").ok());
  }
};

QTEST_MAIN(DeflectionWindowTest)
#include "deflection_window_test.moc"
