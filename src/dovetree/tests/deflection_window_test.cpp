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

class DeflectionWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { platform::PrepareApplication(*qApp, QStringLiteral("dovetree")); }

  // Fields and buttons found by their object names, Enter through the fields to 偏角计算 and
  // pressing it, Tab on to the other buttons; the help wraps in the box, report rows do not;
  // the box keeps what the user typed and an extra stake goes where the cursor was left.
  void fieldsKeysAndTheReportBox() {
    platform::MessageRecorder recorder;
    dovetree::DeflectionWindow w;
    QCOMPARE(w.objectName(), QStringLiteral("hhForm1"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* box = w.findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
    QVERIFY(box->document()->findBlockByNumber(1).layout()->lineCount() > 1);
    w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setFocus();
    for (const char* next : {"Text2", "Text3", "Text4", "Text5", "Text6", "Command1"}) {
      const char* texts[] = {"1000", "30.0000", "500", "60", "870", ""};
      auto* field = qobject_cast<QLineEdit*>(w.focusWidget());
      QVERIFY(field);
      field->setText(QLatin1String(texts[field->objectName().back().digitValue() - 1]));
      QTest::keyClick(field, Qt::Key_Return);
      QCOMPARE(w.focusWidget()->objectName(), QLatin1String(next));
    }
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    const QString report = box->toPlainText();
    for (const char* line : {"交点桩号JD=1000     偏角角度α＝30°0′0″\n", "曲线半径R ＝500     缓和曲线LS＝60\n",
                             "               870(置镜)        0° 0′ 0″      360°0′0″\n"})
      QVERIFY2(report.contains(QString::fromUtf8(line)), line);
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) QCOMPARE(b.layout()->lineCount(), 1);
    for (const char* next : {"Command2", "Command3"}) {
      QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
      QCOMPARE(w.focusWidget()->objectName(), QLatin1String(next));
    }
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);  // no JZ yet
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].text, std::string("你输入所有数据了吗？\r\n请重新输入。"));
    QTextCursor c = box->textCursor();
    c.setPosition(0);
    c.insertText(QStringLiteral("备注\n"));
    box->setTextCursor(c);
    w.findChild<QLineEdit*>(QStringLiteral("Text6"))->setText(QStringLiteral("700"));
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(box->toPlainText(), QStringLiteral("备注\n") + QString(15, QLatin1Char(' ')) +
                                     QStringLiteral(" 700(加桩)       -3°-40′-18″    363°40′18″\n") + report);
    QCOMPARE(box->textCursor().position(), 3 + 15 + 15 + 15 + 10 + 1);
  }

  // The batch mode's PDF, read back: every row's station, deflection and reverse at the same x.
  void batchPdfKeepsTheColumns() {
    QVERIFY(platform::HasHalfWidthLatin(dovetree::DeflectionWindow::PrintFont()));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    platform::PdfTextFileWriter writer(dovetree::DeflectionWindow::PrintFont());
    std::ostringstream out, err;
    QCOMPARE(dovetree::RunBatch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60", "--station",
                                 "870", "--extra", "885.25", "--pdf", pdf.toStdString()}, out, err, survey::BatchServices::Printing(&writer)), 0);
    QString error;
    const auto rows = platform::testing::DeflectionRows(platform::testing::PdfWords(pdf, &error));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(rows.size(), 10);  // ZH, 840 to 890 with the instrument after 870, HY, the extra stake
    for (const auto& r : rows)
      QVERIFY2(qAbs(r.stationX - rows[0].stationX) + qAbs(r.deflectionX - rows[0].deflectionX) +
                   qAbs(r.reverseX - rows[0].reverseX) < 0.01, qPrintable(r.station));
    QVERIFY(!writer.Write(dir.filePath(QStringLiteral("no/such/r.pdf")).toStdString(), "x").ok());
  }
};

QTEST_MAIN(DeflectionWindowTest)
#include "deflection_window_test.moc"
