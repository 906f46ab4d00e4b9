#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>
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

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

// Answers every file dialog with `path` while it lives.
struct FileChoice {
  explicit FileChoice(const QString& path) {
    platform::SetFileChooser([path](QWidget*, bool, const survey::FileRequest&) { return path; });
  }
  ~FileChoice() { platform::SetFileChooser({}); }
};

QString Shown(const std::string& report) { return QString::fromStdString(report).replace("\r\n", "\n"); }

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CurveDeflectionWindow> w;
  QLineEdit* field(const char* name) { return w->findChild<QLineEdit*>(name); }
  QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
  QAction* tool(const char* key) { return w->findChild<QAction*>(key); }
  QTextEdit* box() { return w->findChild<QTextEdit*>("RichTextBox1"); }
  void compute(const char* extra = "") {
    for (auto [name, text] : {std::pair{"Text1", "1000"}, {"Text2", "30.0000"}, {"Text3", "500"}, {"Text4", "60"},
                              {"Text5", extra}, {"Text7", "26-12-6"}})
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

  void controlsCarryTheirNamesCaptionsAndFaces() {
    QCOMPARE(w->objectName(), QString("qxjsForm1"));
    QCOMPARE(w->windowTitle(), QString("Brannock"));
    QCOMPARE(field("Text4")->text(), QString("0"));
    QVERIFY(QRegularExpression("^\\d\\d-\\d{1,2}-\\d{1,2}$").match(field("Text7")->text()).hasMatch());
    QCOMPARE(box()->toPlainText(), Shown(brannock::HelpText()));
    QStringList captions;
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6", "Command7"})
      captions << button(name)->text();
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"})
      captions << w->findChild<QLabel*>(name)->text();
    for (QAction* a : w->findChild<QToolBar*>("Toolbar1")->actions()) captions << a->objectName() + a->text();
    QCOMPARE(captions.join('|'), QString("Brannock|加桩计算|字体属性|打  印|复  位|退  出|保持|交点壮号JD：|偏角角度α："
                                         "|曲线半径R ：|DovetreeLs：|加密壮号JZ：|qk清空文本|jsBrannock|cr加桩计算"
                                         "|bc保存文本|sz字体设置|dy打印|bz帮助|zy主页|tc退出"));
    const QFontMetricsF m(box()->font());
    QCOMPARE(m.horizontalAdvance(QString("桩")), 2 * m.horizontalAdvance(QString("0")));
    const QFont print = CurveDeflectionWindow::PrintFont();
    QCOMPARE(print.pointSizeF(), 12.0);
    QVERIFY(!print.bold() && platform::HasHalfWidthLatin(print));
  }

  void enterMovesFocusThroughTheDesignData() {
    QApplication::setActiveWindow(w.get());
    field("Text1")->setFocus();
    QTRY_VERIFY(field("Text1")->hasFocus());
    for (const char* next : {"Text2", "Text3", "Text4", "Text5", "Text5"}) {  // Text5 keeps Enter for itself
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QVERIFY2(field(next)->hasFocus(), next);
    }
  }

  // The user bolds the banner, types a note above it and clicks into the 840 row: the extra
  // stakes go under that row in the report's own face, and the edits stay.
  void extraStakesGoUnderTheClickedRowKeepingEdits() {
    platform::MessageRecorder rec;
    compute();
    const QString main = box()->toPlainText();
    QVERIFY(main.contains("               P=0.3     Q=29.9964     L=321.7994\n"));
    field("Text3")->clear();
    tool("js")->trigger();
    QCOMPARE(rec.messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(rec.messages[0].text), QString("你输入所有数据了吗？\r\n请重新输入。"));
    QCOMPARE(box()->toPlainText(), main);
    field("Text3")->setText("500");
    QTextCursor c(box()->document());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);
    c.movePosition(QTextCursor::Start);
    box()->setTextCursor(c);
    box()->setFocus();
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
    QCOMPARE(text.left(rowEnd), edited.left(rowEnd));
    QVERIFY(text.startsWith("note\n"));
    QVERIFY(text.mid(rowEnd).startsWith("                850(加桩)        0° 3′ 46″     359°56′14″\n"
                                        "                855(加桩)"));
    const int after = text.indexOf('\n', text.indexOf("855(加桩)")) + 1;
    QCOMPARE(box()->textCursor().position(), after);
    QCOMPARE(text.mid(after), edited.mid(rowEnd));
    QCOMPARE(formatAt(5 + 3).fontWeight(), int(QFont::Bold));  // in the banner
    QCOMPARE(formatAt(after - 2).fontWeight(), int(QFont::Normal));
    QCOMPARE(Shown(w->form().report()), text);
    QCOMPARE(rec.messages.size(), size_t{1});
  }

  // The font goes on the selection only; reset and a new computation start in the box's face.
  void fontAppliesToTheSelectionUntilTheNextReport() {
    compute();
    selectFirstLine();
    const QString html = box()->toHtml();
    w->SetFontChooser([](QWidget*, const brannock::FontChoice&) { return std::nullopt; });
    button("Command3")->click();
    QCOMPARE(box()->toHtml(), html);
    const auto plain = [&] {
      for (QTextBlock b = box()->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
          if (it.fragment().charFormat().fontItalic()) return false;
      return true;
    };
    QFont chosen = CurveDeflectionWindow::ReportFont();
    chosen.setPointSize(20);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setStrikeOut(true);
    chosen.setUnderline(true);
    w->SetFontChooser([chosen](QWidget*, const brannock::FontChoice&) {
      return std::optional<brannock::FontChoice>({chosen, QColor(Qt::red)});
    });
    for (QAction* next : {tool("qk"), tool("js")}) {
      selectFirstLine();
      tool("sz")->trigger();
      const QTextCharFormat f = formatAt(3);
      QVERIFY(f.fontWeight() == QFont::Bold && f.fontItalic() && f.fontStrikeOut() && f.fontUnderline());
      QCOMPARE(f.foreground().color(), QColor(Qt::red));
      QCOMPARE(f.fontPointSize(), 20.0);
      QVERIFY(formatAt(box()->document()->findBlockByNumber(1).position() + 1).fontWeight() != QFont::Bold);
      QCOMPARE(Shown(w->form().report()), box()->toPlainText());
      next->trigger();
      QTest::keyClicks(box(), "x");
      QVERIFY2(plain(), qPrintable(next->objectName()));
      QTest::keyClick(box(), Qt::Key_Backspace);
    }
    button("Command5")->click();
    QCOMPARE(box()->toPlainText(), Shown(brannock::HelpText()));
    QCOMPARE(field("Text1")->text(), QString("1000"));
  }

  // The window's save and the batch mode's write the same GBK bytes; the PDF keeps the columns.
  void saveBatchAndPdfOutput() {
    QTemporaryDir dir;
    compute("855");
    button("Command2")->click();
    {
      FileChoice choice(dir.filePath("Brannock"));
      tool("bc")->trigger();
    }
    QCOMPARE(w->windowTitle(), dir.filePath("Brannock"));
    QFile saved(dir.filePath("Brannock"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes, QByteArray::fromStdString(platform::Utf8ToGbk("\"" + w->form().report() + "\"\r\n")));
    QVERIFY(bytes.startsWith("\"                         Brannock ") && bytes.contains("\xA1\xE3"));  // GBK °
    std::ostringstream out, err;
    const std::string batchFile = dir.filePath("batch.txt").toStdString(), pdf = dir.filePath("r.pdf").toStdString();
    QCOMPARE(brannock::RunBatch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60", "--date",
                                 "26-12-6", "--extra", "855", "--save", batchFile, "--pdf", pdf},
                                out, err),
             0);
    QFile batchSaved(QString::fromStdString(batchFile));
    QVERIFY(batchSaved.open(QIODevice::ReadOnly));
    QCOMPARE(batchSaved.readAll(), bytes);
    QString error;
    const auto rows = platform::testing::DeflectionRows(platform::testing::PdfWords(QString::fromStdString(pdf), &error));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(rows.size() > 30);
    QStringList stations;
    for (const auto& r : rows) {
      stations << r.station;
      QVERIFY2(qAbs(r.stationX - rows[0].stationX) < 0.01 && qAbs(r.deflectionX - rows[0].deflectionX) < 0.01 &&
                   qAbs(r.reverseX - rows[0].reverseX) < 0.01,
               qPrintable(r.station));
    }
    QVERIFY(stations.join(' ').contains("(曲中)") && stations.join(' ').contains("855(加桩)"));
  }

  void failedSaveSaysSoAndKeepsTheEarlierFile() {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-folder"));
    QVERIFY(blocker.open(QIODevice::WriteOnly) && blocker.write("keep") == 4);
    blocker.close();
    platform::MessageRecorder rec;
    FileChoice choice(blocker.fileName() + "/Brannock.txt");
    button("Command7")->click();
    QCOMPARE(rec.messages.size(), size_t{1});
    QVERIFY(QString::fromStdString(rec.messages[0].text).startsWith("报告没有保存：" + blocker.fileName()));
    QCOMPARE(w->windowTitle(), QString("Brannock"));
    QVERIFY(blocker.open(QIODevice::ReadOnly));
    QCOMPARE(blocker.readAll(), QByteArray("keep"));
  }

  void helpHomePageAndExit() {
    tool("bz")->trigger();
    QVERIFY(w->helpWindow() && w->helpWindow()->isVisible());
    QVERIFY(w->helpWindow()->browser()->toPlainText().contains("原始数据的输入方法"));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    tool("zy")->trigger();
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->findChild<QWidget*>("AniGIF1"), &click);
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(catcher.urls, (QList<QUrl>{QUrl(survey::kProjectHomePage), QUrl(survey::kProjectHomePage)}));
    tool("tc")->trigger();
    QVERIFY(!w->isVisible());
  }

  void aSecondCopyIsRefused() {
    QTemporaryDir locks;
    qputenv("SURVEY_LOCK_DIR", locks.path().toUtf8());
    platform::SingleInstanceGuard running("brannock");
    QVERIFY(running.IsFirst());
    QVERIFY(!platform::SingleInstanceGuard("brannock").IsFirst());  // else the window would open and wait
    platform::MessageRecorder rec;
    QCOMPARE(brannock::RunWindow(*qApp), 0);
    qunsetenv("SURVEY_LOCK_DIR");
    QCOMPARE(rec.messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(rec.messages[0].text), QString("系统正在运行，请在下面任务栏寻找系统的最小化图标。"));
  }
};

QTEST_MAIN(WindowTest)
#include "curve_deflection_window_test.moc"
