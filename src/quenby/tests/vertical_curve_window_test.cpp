#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "quenby/vertical_curve_window.h"

namespace {

int PdfPageCount(const QString& path) {
  QFile f(path);
  const QByteArray pdf = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  return static_cast<int>(pdf.count("/Type /Page") - pdf.count("/Type /Pages")) - pdf.isEmpty();
}

QLineEdit* Field(QWidget& w, int n) { return w.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n)); }
void Click(QWidget& w, const char* button) { w.findChild<QPushButton*>(QLatin1String(button))->click(); }

}  // namespace

class VerticalCurveWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Fields and buttons by their object names, Enter from the six fields of the frame only;
  // what the user types into the listing stays, and an extra stake goes under the line the
  // cursor is in.
  void fieldsKeysAndTheListingBox() {
    platform::MessageRecorder recorder;
    quenby::VerticalCurveWindow w;
    QCOMPARE(w.objectName() + Field(w, 6)->text(), QStringLiteral("sqxform15"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const char* texts[] = {"2000", "0.03", "-0.01", "1250", "100", "20", "1230"};
    for (int n = 1; n <= 7; ++n) {
      Field(w, n)->setFocus();
      Field(w, n)->setText(QLatin1String(texts[n - 1]));
      QTest::keyClick(Field(w, n), Qt::Key_Return);
      QCOMPARE(w.focusWidget(), Field(w, n < 7 ? n + 1 : 7));
    }
    Click(w, "Command1");
    auto* box = w.findChild<QPlainTextEdit*>(QStringLiteral("RichTextBox1"));
    QTextCursor c = box->textCursor();
    c.setPosition(box->toPlainText().indexOf(QStringLiteral("\n          1235                        99.394\n")) + 13);
    box->setTextCursor(c);
    QTest::keyClicks(box, QStringLiteral("note"));
    Click(w, "Command2");
    QVERIFY(box->toPlainText().contains(QStringLiteral("12note35                        99.394\n      加桩1230")));
  }

  // Printing: the dialog's copies back to back in one document (the six-line listing of equal
  // grades twice on one page, the crest listing's near-full page twice on two); a file that
  // cannot be written is told; a cancel prints and tells nothing. The batch mode's PDF writer
  // gives the system's reason.
  void printing() {
    QTemporaryDir dir;
    struct Case { const char* i2; int copies; bool accept; const char* file; int pages; std::size_t messages; };
    for (const Case& c : {Case{"0.03", 2, true, "equal.pdf", 1, 0}, Case{"-0.01", 2, true, "two.pdf", 2, 0},
                          Case{"-0.01", 1, true, "no/such.pdf", -1, 1}, Case{"-0.01", 1, false, "never.pdf", -1, 0}}) {
      const QString pdf = dir.filePath(QLatin1String(c.file));
      platform::ScopedPrintDialog dialog([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setCopyCount(c.copies);
        return c.accept;
      });
      platform::MessageRecorder recorder;
      quenby::VerticalCurveWindow w;
      const char* texts[] = {"2000", "0.03", c.i2, "1250", "100"};
      for (int n = 1; n <= 5; ++n) Field(w, n)->setText(QLatin1String(texts[n - 1]));
      Click(w, "Command1");
      Click(w, "Command3");
      QCOMPARE(PdfPageCount(pdf), c.pages);
      QCOMPARE(recorder.messages.size(), c.messages);
      if (c.messages) QVERIFY(platform::ToQString(recorder.messages[0].text).contains(pdf));
    }
    platform::PdfTextFileWriter writer(quenby::ListingFont());
    const std::string error = writer.Write(dir.filePath(QStringLiteral("no/l.pdf")).toStdString(), "x").error;
    QVERIFY2(error.find("No such file or directory") != std::string::npos, error.c_str());
  }
};

QTEST_MAIN(VerticalCurveWindowTest)
#include "vertical_curve_window_test.moc"
