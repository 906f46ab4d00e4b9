#include <QtTest>
#include <QtWidgets>
#include <sstream>

#include "brannock/batch.h"
#include "brannock/curve_deflection_window.h"
#include "common/project_info.h"
#include "platform/single_instance.h"
#include "platform/testing/pdf_columns.h"
#include "platform/text_files.h"
#include "platform/text_printing.h"

using brannock::CurveDeflectionWindow;

namespace {


QString Shown(const std::string& report) { return QString::fromStdString(report).replace("\r\n", "\n"); }

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 public slots:
  void OpenUrl(const QUrl& url) { urls << url; }  // the desktop's handler of web addresses

 private:
  QList<QUrl> urls;
  std::unique_ptr<CurveDeflectionWindow> w;
  QLineEdit* field(const char* name) { return w->findChild<QLineEdit*>(name); }
  QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
  QAction* tool(const char* key) { return w->findChild<QAction*>(key); }
  QTextEdit* box() { return w->findChild<QTextEdit*>("RichTextBox1"); }
  void compute() {
    for (auto [name, text] : {std::pair{"Text1", "1000"}, {"Text2", "30.0000"}, {"Text3", "500"}, {"Text4", "60"},
                              {"Text7", "26-12-6"}})
      field(name)->setText(text);
    button("Command1")->click();
  }
  void selectFirstLine() {
    QTextCursor c(box()->document());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    box()->setTextCursor(c);
  }
  QTextCharFormat formatAt(int position) {
    QTextCursor c(box()->document());
    c.setPosition(position);
    return c.charFormat();
  }

 private slots:
  void init() {
    w = std::make_unique<CurveDeflectionWindow>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() { w.reset(); }

  void controlsCarryTheirNamesCaptionsFacesAndTabOrder() {
    QCOMPARE(w->objectName(), QString("qxjsForm1"));
    QCOMPARE(w->windowTitle(), QString("Brannock"));
    QCOMPARE(field("Text4")->text(), QString("0"));
    QVERIFY(QRegularExpression("^\\d\\d-\\d{1,2}-\\d{1,2}$").match(field("Text7")->text()).hasMatch());
    QCOMPARE(box()->toPlainText(), Shown(brannock::HelpText()));
    // The transition curve is named by its term, never by a program's name.
    QCOMPARE(w->findChild<QLabel*>("Label4")->text(), QString("缓和曲线Ls："));
    for (const QLabel* label : w->findChildren<QLabel*>()) QVERIFY2(!label->text().contains("Dovetree"), qPrintable(label->text()));
    const QFontMetricsF m(box()->font());
    QCOMPARE(m.horizontalAdvance(QString("桩")), 2 * m.horizontalAdvance(QString("0")));
    const QFont print = CurveDeflectionWindow::PrintFont();
    QVERIFY(qFuzzyCompare(print.pointSizeF(), 12.0) && !print.bold() && platform::HasHalfWidthLatin(print));
    // Enter moves through the design data; Text5 keeps it for itself.
    QApplication::setActiveWindow(w.get());
    field("Text1")->setFocus();
    QTRY_VERIFY(field("Text1")->hasFocus());
    for (const char* next : {"Text2", "Text3", "Text4", "Text5", "Text5"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QVERIFY2(field(next)->hasFocus(), next);
    }
  }

  // The user restyles the banner, types a note above it and clicks into the 840 row: the extra
  // stakes go under that row in the report's own face, and the edits stay until the next report.
  void extraStakesGoUnderTheClickedRowKeepingEditsAndFaces() {
    platform::MessageRecorder rec;
    compute();
    const QString main = box()->toPlainText();
    QVERIFY(main.contains("               P=0.3     Q=29.9964     L=321.7994\n"));
    field("Text3")->clear();
    tool("js")->trigger();  // refused: the data-error message, the report stays
    QCOMPARE(rec.messages.size(), size_t{1});
    QCOMPARE(box()->toPlainText(), main);
    field("Text3")->setText("500");
    selectFirstLine();
    const QString html = box()->toHtml();
    w->SetFontChooser([](QWidget*, const brannock::FontChoice&) { return std::nullopt; });
    button("Command3")->click();  // cancelled
    QCOMPARE(box()->toHtml(), html);
    QFont chosen(CurveDeflectionWindow::ReportFont().family(), 20, QFont::Bold, true);
    chosen.setStrikeOut(true);
    chosen.setUnderline(true);
    w->SetFontChooser([chosen](QWidget*, const brannock::FontChoice&) {
      return std::optional<brannock::FontChoice>({chosen, QColor(Qt::red)});
    });
    tool("sz")->trigger();
    const QTextCharFormat f = formatAt(3);
    QVERIFY(f.fontWeight() == QFont::Bold && f.fontItalic() && f.fontStrikeOut() && f.fontUnderline() &&
            f.foreground().color() == Qt::red && qFuzzyCompare(f.fontPointSize(), 20.0));
    QVERIFY(!formatAt(box()->document()->findBlockByNumber(1).position() + 1).fontItalic());
    QTextCursor c(box()->document());
    box()->setTextCursor(c);
    QTest::keyClicks(box(), "note");
    QTest::keyClick(box(), Qt::Key_Return);
    const QString edited = box()->toPlainText();
    const int row = edited.indexOf(" 840 ");
    c.setPosition(row + 8);
    box()->setTextCursor(c);
    field("Text5")->setText("850");
    button("Command2")->click();
    field("Text5")->setText("855");
    tool("cr")->trigger();
    const QString text = box()->toPlainText();
    const int rowEnd = edited.indexOf('\n', row) + 1;
    QVERIFY(edited.startsWith("note\n"));
    QVERIFY(text.startsWith(edited.left(rowEnd) + "                850(加桩)        0° 3′ 46″     359°56′14″\n"
                                                   "                855(加桩)"));
    const int after = text.indexOf('\n', text.indexOf("855(加桩)")) + 1;
    QCOMPARE(box()->textCursor().position(), after);
    QCOMPARE(text.mid(after), edited.mid(rowEnd));
    QVERIFY(formatAt(5 + 3).fontItalic() && !formatAt(after - 2).fontItalic());  // in the banner; the 855 row
    QCOMPARE(Shown(w->form().report()), text);
    // Reset and a new computation start in the box's own face; the fields stay.
    for (QObject* next : {static_cast<QObject*>(tool("qk")), static_cast<QObject*>(button("Command5")),
                          static_cast<QObject*>(tool("js"))}) {
      selectFirstLine();
      tool("sz")->trigger();
      QMetaObject::invokeMethod(next, next->inherits("QAction") ? "trigger" : "click");
      QCOMPARE(box()->toPlainText(), next == tool("js") ? main : Shown(brannock::HelpText()));
      QTest::keyClicks(box(), "x");
      QVERIFY(!box()->textCursor().charFormat().fontItalic() && !formatAt(3).fontItalic());
      QTest::keyClick(box(), Qt::Key_Backspace);
    }
    QCOMPARE(rec.messages.size(), size_t{1});
  }

  // The saved report is GBK; the PDF of the batch mode keeps the columns.
  void saveBatchAndPdfOutput() {
    QTemporaryDir dir;
    compute();
    for (const QString& path : {dir.filePath("missing/Brannock.txt"), dir.filePath("Brannock")}) {
      platform::MessageRecorder rec;
      platform::ScopedFileChoice choice(path);
      tool("bc")->trigger();
      QCOMPARE(rec.messages.size(), size_t{path.contains("missing")});  // a failed save says so, the title stays
    }
    QCOMPARE(w->windowTitle(), dir.filePath("Brannock"));
    QFile saved(dir.filePath("Brannock"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes, QByteArray::fromStdString(platform::Utf8ToGbk("\"" + w->form().report() + "\"\r\n")));
    QVERIFY(bytes.contains("\xA1\xE3"));  // GBK °
    std::ostringstream out, err;
    const QString pdf = dir.filePath("r.pdf");
    QCOMPARE(brannock::RunBatch({"--jd", "1000", "--alpha", "30", "--radius", "500", "--ls", "60", "--pdf", pdf.toStdString()},
                                out, err),
             0);
    QString error;
    const auto rows = platform::testing::DeflectionRows(platform::testing::PdfWords(pdf, &error));
    QVERIFY2(rows.size() > 30, qPrintable(error));
    for (const auto& r : rows)
      QVERIFY2(qAbs(r.stationX - rows[0].stationX) < 0.01 && qAbs(r.deflectionX - rows[0].deflectionX) < 0.01 &&
                   qAbs(r.reverseX - rows[0].reverseX) < 0.01,
               qPrintable(r.station));
  }

  void helpHomePageAndExit() {
    tool("bz")->trigger();
    QVERIFY(w->helpWindow() && w->helpWindow()->isVisible());
    QVERIFY(w->helpWindow()->browser()->toPlainText().contains("原始数据的输入方法"));
    QDesktopServices::setUrlHandler("https", this, "OpenUrl");
    tool("zy")->trigger();
    QTest::mouseClick(w->findChild<QWidget*>("AniGIF1"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(urls, (QList<QUrl>{QUrl(survey::kProjectHomePage), QUrl(survey::kProjectHomePage)}));
    tool("tc")->trigger();
    QVERIFY(!w->isVisible());
  }

  void aSecondCopyIsRefused() {
    QTemporaryDir locks;
    qputenv("SURVEY_LOCK_DIR", locks.path().toUtf8());
    platform::SingleInstanceGuard running("brannock");
    QVERIFY(running.IsFirst() && !platform::SingleInstanceGuard("brannock").IsFirst());  // else RunWindow would wait
    platform::MessageRecorder rec;
    QCOMPARE(brannock::RunWindow(*qApp), 0);
    qunsetenv("SURVEY_LOCK_DIR");
    QCOMPARE(rec.messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(rec.messages[0].text), QString("系统正在运行，请在下面任务栏寻找系统的最小化图标。"));
  }
};

QTEST_MAIN(WindowTest)
#include "curve_deflection_window_test.moc"
