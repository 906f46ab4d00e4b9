#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "quenby/vertical_curve_window.h"

using quenby::VerticalCurveWindow;

namespace {

int PdfPageCount(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray pdf = f.readAll();
  int pages = 0;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
    pages += pdf.mid(at + 11, 1) != "s";
  return pages;
}

QLineEdit* Field(QWidget& w, int n) { return w.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n)); }
QPlainTextEdit* Listing(QWidget& w) { return w.findChild<QPlainTextEdit*>(QStringLiteral("RichTextBox1")); }
void Click(QWidget& w, const char* button) {
  QTest::mouseClick(w.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
}
void FillCrest(QWidget& w, const char* i2 = "-0.01") {
  const char* values[] = {"2000", "0.03", i2, "1250", "100"};
  for (int n = 1; n <= 5; ++n) Field(w, n)->setText(QLatin1String(values[n - 1]));
}

}  // namespace

class VerticalCurveWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Each field and button by its object name; what the user types into the listing stays, and
  // extra stakes go under the line the cursor is in.
  void fieldsButtonsAndTheListingBox() {
    platform::MessageRecorder recorder;
    VerticalCurveWindow w;
    QCOMPARE(w.objectName(), QStringLiteral("sqxform1"));
    QCOMPARE(Field(w, 6)->text(), QStringLiteral("5"));
    QVERIFY(Listing(w)->toPlainText().startsWith(QStringLiteral("    使用说明：\n    输入i1和i2时")));
    FillCrest(w);
    Field(w, 6)->setText(QStringLiteral("20"));
    Click(w, "Command1");
    const QString listing = Listing(w)->toPlainText();
    QVERIFY(listing.contains(QStringLiteral("\n          1235                        99.394\n")));
    QTextCursor c = Listing(w)->textCursor();
    c.setPosition(listing.indexOf(QStringLiteral("1235")) + 2);
    Listing(w)->setTextCursor(c);
    QTest::keyClicks(Listing(w), QStringLiteral("note"));
    Field(w, 7)->setText(QStringLiteral("1230"));
    Click(w, "Command2");
    QVERIFY(Listing(w)->toPlainText().contains(QStringLiteral("12note35                        99.394\n      加桩1230")));
    QVERIFY(recorder.messages.empty());
    Field(w, 3)->clear();
    const QString before = Listing(w)->toPlainText();
    Click(w, "Command1");
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QCOMPARE(recorder.messages[0].text, std::string("原始数据不能为空！"));
    QCOMPARE(Listing(w)->toPlainText(), before);
  }

  void enterMovesOnFromTheSixFieldsOnly() {
    VerticalCurveWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int n = 1; n <= 7; ++n) {
      Field(w, n)->setFocus();
      QTest::keyClick(Field(w, n), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), Field(w, n < 7 ? n + 1 : 7));
    }
    for (const char* next : {"Command1", "Command2", "Command3"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
    }
  }

  // The print button: the dialog's copies back to back in one document (the six-line listing
  // of equal grades twice on one page, the crest listing's near-full page twice on two); a file
  // that cannot be written is told; a cancel prints and tells nothing.
  void printCopiesFailuresAndCancel() {
    QTemporaryDir dir;
    struct Case {
      const char* i2;
      int copies;
      bool accept;
      const char* file;
      int pages;
      std::size_t messages;
    } const cases[] = {{"0.03", 2, true, "equal.pdf", 1, 0}, {"-0.01", 1, true, "one.pdf", 1, 0},
                       {"-0.01", 2, true, "two.pdf", 2, 0}, {"-0.01", 1, true, "no/such.pdf", -1, 1},
                       {"-0.01", 1, false, "never.pdf", -1, 0}};
    for (const Case& c : cases) {
      const QString pdf = dir.filePath(QLatin1String(c.file));
      quenby::PrintDialogScope dialog([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setCopyCount(c.copies);
        return c.accept;
      });
      platform::MessageRecorder recorder;
      VerticalCurveWindow w;
      FillCrest(w, c.i2);
      Click(w, "Command1");
      Click(w, "Command3");
      QCOMPARE(PdfPageCount(pdf), c.pages);
      QCOMPARE(recorder.messages.size(), c.messages);
      if (c.messages) QVERIFY(platform::ToQString(recorder.messages[0].text).contains(QStringLiteral("No such file")));
    }
  }

  // The batch mode's --pdf: the same painting, one copy; the system's reason when it fails.
  void batchPdfWriter() {
    QTemporaryDir dir;
    quenby::PdfFileWriter writer;
    QVERIFY(writer.Print(dir.filePath(QStringLiteral("l.pdf")).toStdString(), quenby::UsageNote()).ok());
    QCOMPARE(PdfPageCount(dir.filePath(QStringLiteral("l.pdf"))), 1);
    const survey::Outcome o = writer.Print(dir.filePath(QStringLiteral("no/l.pdf")).toStdString(), "x");
    QVERIFY2(o.error.find("No such file or directory") != std::string::npos, o.error.c_str());
    const QFontMetrics m(quenby::ListingFont());
    QCOMPARE(m.horizontalAdvance(QStringLiteral("桩")), 2 * m.horizontalAdvance(QStringLiteral("0")));
  }
};

QTEST_MAIN(VerticalCurveWindowTest)
#include "vertical_curve_window_test.moc"
