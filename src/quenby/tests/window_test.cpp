#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/qt_host.h"
#include "quenby/window.h"

using quenby::SqxForm1Window;

namespace {

int PdfPageCount(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray pdf = f.readAll();
  int pages = 0;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
    if (pdf.mid(at + 11, 1) != "s") ++pages;
  }
  return pages;
}

}  // namespace

class QuenbyWindowTest : public QObject {
  Q_OBJECT

 private:
  static QPushButton* Button(SqxForm1Window& w, const char* name) {
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
  }
  static void FillCrest(SqxForm1Window& w) {
    const char* values[] = {"2000", "0.03", "-0.01", "1250", "100"};
    for (int n = 1; n <= 5; ++n) w.Field(n)->setText(QString::fromLatin1(values[n - 1]));
  }

 private slots:
  void opensWithTheUsageNoteAndDefaultSpacing() {
    SqxForm1Window w;
    QCOMPARE(w.objectName(), QStringLiteral("sqxform1"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Quenby"));
    QCOMPARE(w.Field(6)->text(), QStringLiteral("5"));
    for (int n : {1, 2, 3, 4, 5, 7}) QCOMPARE(w.Field(n)->text(), QString());
    QVERIFY(w.Listing()->toPlainText().startsWith(QStringLiteral("    使用说明：\n    输入i1和i2时")));
    QVERIFY(w.Listing()->toPlainText().endsWith(QStringLiteral("颠倒。")));
    QCOMPARE(w.size(), QSize(648, 305));
    QCOMPARE(w.Field(1)->geometry(), QRect(88, 16, 97, 25));
    QCOMPARE(w.Listing()->geometry(), QRect(224, 8, 417, 297));
    QCOMPARE(Button(w, "Command2")->text(), QStringLiteral("加桩计算"));
  }

  void listingFontHasDoubleWidthChinese() {
    SqxForm1Window w;
    const QFontMetrics m(w.Listing()->font());
    QCOMPARE(m.horizontalAdvance(QStringLiteral("桩")), 2 * m.horizontalAdvance(QStringLiteral("0")));
    QCOMPARE(m.horizontalAdvance(QStringLiteral(" ")), m.horizontalAdvance(QStringLiteral("0")));
    // Unhinted, the header's second column still starts within half a pixel of column 38.
    const QFontMetricsF f(w.Listing()->font());
    const QString head = QStringLiteral("          桩  号                      ");
    QVERIFY(std::abs(f.horizontalAdvance(head) - 38 * f.horizontalAdvance(QStringLiteral("0"))) < 0.5);
  }

  void emptyFieldShowsTheMessageAndKeepsTheListing() {
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    w.Field(3)->clear();
    const QString before = w.Listing()->toPlainText();
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QCOMPARE(recorder.messages[0].text, std::string("原始数据不能为空！"));
    QCOMPARE(recorder.messages[0].title, std::string("Quenby"));
    QCOMPARE(w.Listing()->toPlainText(), before);
  }

  void extraStakesAccumulateUntilTheNextCalculation() {
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    const QString listing = w.Listing()->toPlainText();
    QVERIFY(listing.startsWith(QStringLiteral("          桩  号")));
    w.Field(7)->setText(QStringLiteral("1230"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    w.Field(7)->setText(QStringLiteral("1270"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    const QString grown = w.Listing()->toPlainText();
    QVERIFY(grown.startsWith(listing));
    QCOMPARE(grown.count(QStringLiteral("加桩")), 2);
    QVERIFY(grown.indexOf(QStringLiteral("加桩1230")) < grown.indexOf(QStringLiteral("加桩1270")));
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QCOMPARE(w.Listing()->toPlainText(), listing);
    QVERIFY(recorder.messages.empty());
  }

  void typedChangesToTheListingAreKept() {
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    w.Listing()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.Listing(), QStringLiteral("note"));
    w.Field(7)->setText(QStringLiteral("1230"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    // The note keeps its own line; the extra stake starts the next one.
    QVERIFY(w.Listing()->toPlainText().contains(QStringLiteral("note\n      加桩1230")));
  }

  void extraStakeGoesUnderTheLineClickedInto() {
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    const QString listing = w.Listing()->toPlainText();
    const int row = listing.indexOf(QStringLiteral("1225"));
    QVERIFY(row > 0);
    QTextCursor c = w.Listing()->textCursor();
    c.setPosition(row + 2);
    w.Listing()->setTextCursor(c);
    w.Field(7)->setText(QStringLiteral("1227"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    w.Field(7)->setText(QStringLiteral("1228"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    const QString grown = w.Listing()->toPlainText();
    const int rowEnd = listing.indexOf(QLatin1Char('\n'), row) + 1;
    QCOMPARE(grown.left(rowEnd), listing.left(rowEnd));
    QVERIFY(grown.mid(rowEnd).startsWith(QStringLiteral("      加桩1227")));
    const int cursor = w.Listing()->textCursor().position();
    QVERIFY(grown.mid(rowEnd, cursor - rowEnd).contains(QStringLiteral("加桩1228")));
    QCOMPARE(grown.mid(cursor), listing.mid(rowEnd));
    QVERIFY(recorder.messages.empty());
  }

  void enterMovesFocusFromTheSixFieldsOnly() {
    SqxForm1Window w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int n = 1; n <= 6; ++n) {
      w.Field(n)->setFocus();
      QTest::keyClick(w.Field(n), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), w.Field(n + 1));
    }
    QTest::keyClick(w.Field(7), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.Field(7));
    // Tab order continues with the three buttons.
    QTest::keyClick(w.Field(7), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Button(w, "Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Button(w, "Command2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Button(w, "Command3"));
  }

  void twoCopiesPrintBackToBackInOneDocument() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
    quenby::SetPrintDialogRunner([&](QPrinter& printer, QWidget*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setCopyCount(2);
      return true;
    });
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    w.Field(3)->setText(QStringLiteral("0.03"));  // equal grades: a six-line listing
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QVERIFY(quenby::PrintListing(&w, w.Form().listing, quenby::ListingFont()));
    // Both copies fit on one page: no page break between them.
    QCOMPARE(PdfPageCount(pdf), 1);
    QVERIFY(recorder.messages.empty());
    quenby::SetPrintDialogRunner({});
  }

  // The crest listing fills most of one A4 page: one copy is one page, so a second copy can
  // only fit if it really is printed and starts a second page.
  void eachRequestedCopyIsPrinted() {
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QTemporaryDir dir;
    for (int copies : {1, 2}) {
      const QString pdf = dir.filePath(QStringLiteral("copies%1.pdf").arg(copies));
      quenby::SetPrintDialogRunner([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setCopyCount(copies);
        return true;
      });
      QVERIFY(quenby::PrintListing(&w, w.Form().listing, quenby::ListingFont()));
      QCOMPARE(PdfPageCount(pdf), copies);
    }
    QVERIFY(recorder.messages.empty());
    quenby::SetPrintDialogRunner({});
  }

  // The batch mode's --pdf: one copy through the same painting as the print command.
  void batchPdfPrintsOneCopy() {
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
    std::string reason;
    QVERIFY(quenby::PrintTextToPdf(pdf.toStdString(), quenby::PrintedText(w.Form().listing, 1), reason));
    QCOMPARE(PdfPageCount(pdf), 1);
    QVERIFY(!quenby::PrintTextToPdf(dir.filePath(QStringLiteral("no/such/l.pdf")).toStdString(), "x", reason));
    QVERIFY2(QString::fromStdString(reason).contains(QStringLiteral("No such file or directory")), reason.c_str());
  }

  // Printing to a file that cannot be written says so, naming the file and the reason; the
  // earlier file stays.
  void printToAnUnwritableFileSaysWhy() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("missing/listing.pdf"));
    quenby::SetPrintDialogRunner([&](QPrinter& printer, QWidget*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    });
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    FillCrest(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    QVERIFY(!quenby::PrintListing(&w, w.Form().listing, quenby::ListingFont()));
    QCOMPARE(recorder.messages.size(), size_t(1));
    const QString text = platform::ToQString(recorder.messages[0].text);
    QVERIFY2(text.contains(pdf) && text.contains(QStringLiteral("No such file or directory")), qPrintable(text));
    QVERIFY(!QFile::exists(pdf));
    quenby::SetPrintDialogRunner({});
  }

  void cancelledPrintDialogPrintsNothingAndSaysNothing() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("never.pdf"));
    bool asked = false;
    quenby::SetPrintDialogRunner([&](QPrinter& printer, QWidget*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      asked = true;
      return false;
    });
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
    QVERIFY(asked);
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(recorder.messages.empty());
    quenby::SetPrintDialogRunner({});
  }

  // With SURVEY_SCREENSHOT_DIR set, saves the window with a listing and extra stakes, to look at.
  void screenshotWhenAsked() {
    const QString dir = qEnvironmentVariable("SURVEY_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("SURVEY_SCREENSHOT_DIR not set");
    SqxForm1Window w;
    platform::MessageRecorder recorder;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.grab().save(dir + QStringLiteral("/quenby-start.png"));
    FillCrest(w);
    QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
    w.Field(7)->setText(QStringLiteral("1230"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    w.Field(7)->setText(QStringLiteral("1280.5"));
    QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
    QTest::qWait(50);
    w.grab().save(dir + QStringLiteral("/quenby-end.png"));
    w.Listing()->moveCursor(QTextCursor::Start);
    QTest::qWait(50);
    w.grab().save(dir + QStringLiteral("/quenby-top.png"));
  }
};

QTEST_MAIN(QuenbyWindowTest)
#include "window_test.moc"
