#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextBlock>
#include <QTextEdit>
#include <QStyle>
#include <QToolBar>
#include <QtTest>
#include <sstream>

#include "brannock/batch.h"
#include "brannock/help_window.h"
#include "brannock/qxjs_form1.h"
#include "common/project_info.h"
#include "platform/single_instance.h"
#include "platform/text_files.h"
#include "platform/testing/pdf_columns.h"
#include "platform/text_printing.h"

using brannock::qxjsForm1;

namespace {

const char* const kDataError = "你输入所有数据了吗？\r\n请重新输入。";

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<qxjsForm1> w;
  QLineEdit* field(const char* name) { return w->findChild<QLineEdit*>(name); }
  QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
  QTextEdit* box() { return w->findChild<QTextEdit*>("RichTextBox1"); }
  void fill() {
    field("Text1")->setText("1000");
    field("Text2")->setText("30.0000");
    field("Text3")->setText("500");
    field("Text4")->setText("60");
    field("Text7")->setText("26-12-6");
  }

 private slots:
  void init() {
    w = std::make_unique<qxjsForm1>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() {
    platform::SetFileChooser({});
    w.reset();
  }

  void controlsCarryTheirNamesAndCaptions() {
    QCOMPARE(w->objectName(), QString("qxjsForm1"));
    QCOMPARE(w->windowTitle(), QString("Brannock"));
    QCOMPARE(field("Text4")->text(), QString("0"));
    QVERIFY(field("Text1")->text().isEmpty());
    QVERIFY(QRegularExpression("^\\d\\d-\\d{1,2}-\\d{1,2}$").match(field("Text7")->text()).hasMatch());
    QCOMPARE(button("Command1")->text(), QString("Brannock"));
    QCOMPARE(button("Command2")->text(), QString("加桩计算"));
    QCOMPARE(button("Command4")->text(), QString("打  印"));
    QCOMPARE(button("Command7")->text(), QString("保持"));
    QCOMPARE(w->findChild<QLabel*>("Label1")->text(), QString("交点壮号JD："));
    QCOMPARE(w->findChild<QLabel*>("Label5")->text(), QString("加密壮号JZ："));
    QCOMPARE(box()->toPlainText(), QString::fromStdString(brannock::HelpText()).replace("\r\n", "\n"));
    const auto actions = w->findChild<QToolBar*>("Toolbar1")->actions();
    QStringList keys, captions;
    for (QAction* a : actions) {
      keys << a->data().toString();
      captions << a->text();
    }
    QCOMPARE(keys, (QStringList{"qk", "js", "cr", "bc", "sz", "dy", "bz", "zy", "tc"}));
    QCOMPARE(captions, (QStringList{"清空文本", "Brannock", "加桩计算", "保存文本", "字体设置", "打印", "帮助",
                                    "主页", "退出"}));
  }

  // 打印 and 主页 show pictures of their own, not the file dialog's list view or a folder.
  void printAndHomeButtonsHaveTheirOwnPictures() {
    QList<QImage> images;
    for (QAction* a : w->findChild<QToolBar*>("Toolbar1")->actions()) {
      QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
      images << a->icon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    }
    for (const QStyle::StandardPixmap unfitting : {QStyle::SP_FileDialogListView, QStyle::SP_DirHomeIcon,
                                                   QStyle::SP_DirIcon, QStyle::SP_FileDialogDetailedView}) {
      const QImage other = w->style()->standardIcon(unfitting).pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
      QVERIFY(images[5] != other);  // dy
      QVERIFY(images[7] != other);  // zy
    }
    QVERIFY(images[5] != images[7]);
  }

  void enterMovesFocusThroughTheDesignData() {
    QApplication::setActiveWindow(w.get());
    field("Text1")->setFocus();
    QTRY_VERIFY(field("Text1")->hasFocus());
    for (const char* next : {"Text2", "Text3", "Text4", "Text5"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QVERIFY2(field(next)->hasFocus(), next);
    }
    // Text5 keeps Enter for itself.
    QTest::keyClick(field("Text5"), Qt::Key_Return);
    QVERIFY(field("Text5")->hasFocus());
  }

  void reportFontHasDoubleWidthCjk() {
    const QFontMetricsF m(box()->font());
    QCOMPARE(m.horizontalAdvance(QString("桩")), 2 * m.horizontalAdvance(QString("0")));
    QCOMPARE(m.horizontalAdvance(QString("(")), m.horizontalAdvance(QString("0")));
  }

  void emptyFieldShowsDataErrorAndKeepsTheReport() {
    platform::MessageRecorder rec;
    fill();
    button("Command1")->click();
    const QString report = box()->toPlainText();
    field("Text3")->clear();
    button("Command1")->click();
    QCOMPARE(rec.messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(rec.messages[0].text), QString(kDataError));
    QCOMPARE(QString::fromStdString(rec.messages[0].title), QString("输入数据出错"));
    QCOMPARE(box()->toPlainText(), report);
    // The extra stake with an empty Text5 too.
    field("Text3")->setText("500");
    button("Command2")->click();
    QCOMPARE(rec.messages.size(), size_t{2});
    QCOMPARE(box()->toPlainText(), report);
  }

  void extraStakesAppendAndTheMainCommandRebuilds() {
    platform::MessageRecorder rec;
    fill();
    button("Command1")->click();
    const QString main = box()->toPlainText();
    QVERIFY(main.contains("               P=0.3     Q=29.9964     L=321.7994\n"));
    QVERIFY(main.endsWith("打印日期：2026-12-6\n"));
    field("Text5")->setText("850");
    button("Command2")->click();
    field("Text5")->setText("1000");
    w->Toolbar1_ButtonClick("cr");
    const QString grown = box()->toPlainText();
    QVERIFY(grown.startsWith(main));
    QCOMPARE(grown.mid(main.size()).count('\n'), 2);
    QVERIFY(grown.mid(main.size()).startsWith("                850(加桩)        0° 3′ 46″     359°56′14″\n"));
    QCOMPARE(QString::fromStdString(w->form().report).replace("\r\n", "\n"), grown);
    button("Command1")->click();
    QCOMPARE(box()->toPlainText(), main);
    QVERIFY(rec.messages.empty());
  }

  void extraStakeGoesUnderTheClickedRowKeepingEditsAndFaces() {
    platform::MessageRecorder rec;
    fill();
    button("Command1")->click();
    QVERIFY(!box()->isReadOnly());
    // The user bolds the banner and types a note at the top of the report.
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
    // Then clicks into the middle of the 840 row.
    const QString main = box()->toPlainText();
    const int row = main.indexOf(" 840 ");
    c.setPosition(row + 8);
    box()->setTextCursor(c);
    field("Text5")->setText("850");
    button("Command2")->click();
    field("Text5")->setText("855");
    button("Command2")->click();
    const QString text = box()->toPlainText();
    const int rowEnd = main.indexOf('\n', row) + 1;
    QCOMPARE(text.left(rowEnd), main.left(rowEnd));
    QVERIFY(text.mid(rowEnd).startsWith("                850(加桩)        0° 3′ 46″     359°56′14″\n"
                                        "                855(加桩)"));
    const int after = text.indexOf('\n', text.indexOf("855(加桩)")) + 1;
    QCOMPARE(box()->textCursor().position(), after);
    QCOMPARE(text.mid(after), main.mid(rowEnd));
    QVERIFY(text.startsWith("note\n"));
    QTextCursor banner(box()->document());
    banner.setPosition(5 + 3);  // inside the banner, below the note
    QCOMPARE(banner.charFormat().fontWeight(), int(QFont::Bold));
    QCOMPARE(QString::fromStdString(w->form().report).replace("\r\n", "\n"), text);
    QVERIFY(rec.messages.empty());
  }

  void resetRestoresHelpAndKeepsFields() {
    fill();
    field("Text5")->setText("850");
    button("Command1")->click();
    w->Toolbar1_ButtonClick("qk");
    QCOMPARE(box()->toPlainText(), QString::fromStdString(brannock::HelpText()).replace("\r\n", "\n"));
    QCOMPARE(field("Text1")->text(), QString("1000"));
    QCOMPARE(field("Text5")->text(), QString("850"));
    button("Command1")->click();
    button("Command5")->click();
    QCOMPARE(box()->toPlainText(), QString::fromStdString(brannock::HelpText()).replace("\r\n", "\n"));
    w->Toolbar1_ButtonClick("nothing");  // an unknown key does nothing
    QCOMPARE(box()->toPlainText(), QString::fromStdString(brannock::HelpText()).replace("\r\n", "\n"));
  }

  void saveWritesTheExactBytes() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Brannock");
    survey::FileRequest asked;
    platform::SetFileChooser([&](QWidget*, bool save, const survey::FileRequest& r) {
      asked = r;
      return save ? path : QString();
    });
    fill();
    button("Command1")->click();
    button("Command7")->click();
    QCOMPARE(QString::fromStdString(asked.initialName), QString("Brannock"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const std::string expected = platform::Utf8ToGbk("\"" + w->form().report + "\"\r\n");
    QCOMPARE(bytes, QByteArray::fromStdString(expected));
    QVERIFY(bytes.startsWith("\"                         Brannock "));
    QVERIFY(bytes.endsWith("2026-12-6\r\n\"\r\n"));
    // GBK, not UTF-8: the degree sign is A1 E3.
    QVERIFY(bytes.contains("\xA1\xE3"));
    QCOMPARE(w->windowTitle(), path);
  }

  void failedSaveSaysSoAndKeepsTheEarlierFile() {
    QTemporaryDir dir;
    const QString blocker = dir.filePath("not-a-folder");
    QFile b(blocker);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write("keep");
    b.close();
    const QString path = blocker + "/Brannock.txt";
    platform::SetFileChooser([&](QWidget*, bool, const survey::FileRequest&) { return path; });
    platform::MessageRecorder rec;
    fill();
    button("Command1")->click();
    button("Command7")->click();
    QCOMPARE(rec.messages.size(), size_t{1});
    QVERIFY(QString::fromStdString(rec.messages[0].text).contains(path));
    QCOMPARE(w->windowTitle(), QString("Brannock"));
    QVERIFY(b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), QByteArray("keep"));
  }

  void cancelledSaveIsSilent() {
    platform::SetFileChooser([](QWidget*, bool, const survey::FileRequest&) { return QString(); });
    platform::MessageRecorder rec;
    button("Command7")->click();
    QVERIFY(rec.messages.empty());
    QCOMPARE(w->windowTitle(), QString("Brannock"));
  }

  void fontAppliesToTheSelectionAndCancelChangesNothing() {
    fill();
    button("Command1")->click();
    QTextCursor c(box()->document());
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    box()->setTextCursor(c);
    const QString html = box()->toHtml();
    w->SetFontChooser([](QWidget*, const brannock::FontChoice&) { return std::nullopt; });
    button("Command3")->click();
    QCOMPARE(box()->toHtml(), html);

    QFont f = qxjsForm1::ReportFont();
    f.setPointSize(20);
    f.setBold(true);
    f.setItalic(true);
    f.setStrikeOut(true);
    f.setUnderline(true);
    w->SetFontChooser([f](QWidget*, const brannock::FontChoice&) {
      return std::optional<brannock::FontChoice>({f, QColor(Qt::red)});
    });
    w->Toolbar1_ButtonClick("sz");
    QTextCursor first(box()->document());
    first.setPosition(3);
    const QTextCharFormat fmt = first.charFormat();
    QCOMPARE(fmt.fontWeight(), int(QFont::Bold));
    QVERIFY(fmt.fontItalic());
    QVERIFY(fmt.fontStrikeOut());
    QVERIFY(fmt.fontUnderline());
    QCOMPARE(fmt.foreground().color(), QColor(Qt::red));
    QCOMPARE(fmt.fontPointSize(), 20.0);
    // The rest of the report keeps its face, and the text is unchanged.
    QTextCursor later(box()->document());
    later.movePosition(QTextCursor::End);
    QVERIFY(!later.charFormat().fontItalic());
    QCOMPARE(QString::fromStdString(w->form().report).replace("\r\n", "\n"), box()->toPlainText());
  }

  // A font given to a selection stays on it while the user works, and is gone from a new
  // report: reset and a new computation both start in the report box's own face.
  void selectionFontDoesNotSpreadToANewReport() {
    fill();
    button("Command1")->click();
    QFont big = qxjsForm1::ReportFont();
    big.setPointSize(20);
    big.setBold(true);
    w->SetFontChooser([big](QWidget*, const brannock::FontChoice&) {
      return std::optional<brannock::FontChoice>({big, QColor(Qt::red)});
    });
    const auto selectFirstLine = [&] {
      QTextCursor c(box()->document());
      c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      box()->setTextCursor(c);
    };
    const auto allPlain = [&]() -> bool {
      for (QTextBlock b = box()->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
          const QTextCharFormat f = it.fragment().charFormat();
          if (f.fontWeight() == QFont::Bold || f.foreground().color() == QColor(Qt::red) || f.fontPointSize() == 20)
            return false;
        }
      return true;
    };
    for (const char* next : {"Command5", "Command1"}) {
      selectFirstLine();
      button("Command3")->click();
      QVERIFY(!allPlain());
      // Only the selection took the face: the next line did not.
      QTextCursor second(box()->document()->findBlockByNumber(2));
      second.movePosition(QTextCursor::NextCharacter);
      QVERIFY(second.charFormat().fontWeight() != QFont::Bold);
      button(next)->click();
      QVERIFY2(allPlain(), next);
      // Typing into the new report is in the plain face too.
      QTest::keyClicks(box(), "x");
      QVERIFY2(allPlain(), next);
      button("Command1")->click();
    }
  }

  void helpShowsTheContentsPage() {
    w->Toolbar1_ButtonClick("bz");
    QVERIFY(w->helpWindow());
    QVERIFY(w->helpWindow()->isVisible());
    const QString text = w->helpWindow()->browser()->toPlainText();
    QVERIFY2(text.contains("目录"), qPrintable(text));
    QVERIFY(text.contains("原始数据的输入方法"));
    QVERIFY(text.contains("保存与打印"));
  }

  void homePageOpensTheProjectAddress() {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    w->Toolbar1_ButtonClick("zy");
    QMouseEvent press(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->findChild<QWidget*>("AniGIF1"), &press);
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(catcher.urls[0], QUrl(survey::kProjectHomePage));
    QCOMPARE(catcher.urls[1], QUrl(survey::kProjectHomePage));
  }

  void printFontAndPdfOutput() {
    const QFont f = qxjsForm1::PrintFont();
    QCOMPARE(f.pointSizeF(), 12.0);
    QVERIFY(!f.bold());
    QVERIFY(!f.family().isEmpty());
    fill();
    button("Command1")->click();
    // The print command hands three blanks and the report to the printer and keeps the report.
    std::string printed;
    w->form().printText = [&](const std::string& text) {
      printed = text;
      return brannock::Outcome{true, false, "", 0};
    };
    const std::string before = w->form().report;
    button("Command4")->click();
    QCOMPARE(printed, "   " + before);
    QCOMPARE(w->form().report, before);
    QTemporaryDir dir;
    QVERIFY(platform::PrintTextToPdf(dir.filePath("r.pdf"), QString::fromStdString(printed), f));
    QVERIFY(QFileInfo(dir.filePath("r.pdf")).size() > 1000);
  }

  void printFaceCountsACjkCharacterAsTwoColumns() {
    const QFont f = qxjsForm1::PrintFont();
    QVERIFY2(platform::ColumnPrintFamilies().contains(f.family()), qPrintable(f.family()));
    QVERIFY(platform::HasHalfWidthLatin(f));
  }

  // The printed report, read back from the PDF: on every deflection row (main points and extra
  // stakes among them) the station, deflection and reverse columns start at the same x.
  void batchPdfPrintsTheColumnsAligned() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    std::ostringstream out, err;
    QCOMPARE(brannock::RunBatch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60", "--date",
                                 "26-12-6", "--extra", "855", "--extra", "1000.5", "--pdf", pdf.toStdString()},
                                out, err),
             0);
    QVERIFY2(err.str().empty(), err.str().c_str());
    QString error;
    const auto rows = platform::testing::DeflectionRows(platform::testing::PdfWords(pdf, &error));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList stations;
    for (const auto& r : rows) stations << r.station;
    for (const char* main : {"(起点)", "(缓圆)", "(曲中)", "(圆缓)", "(终点)", "855(加桩)", "1000.5(加桩)"})
      QVERIFY2(stations.join(' ').contains(QString::fromUtf8(main)), main);
    QVERIFY(rows.size() > 30);
    for (const auto& r : rows) {
      QVERIFY2(qAbs(r.stationX - rows[0].stationX) < 0.01, qPrintable(r.station));
      QVERIFY2(qAbs(r.deflectionX - rows[0].deflectionX) < 0.01, qPrintable(r.station));
      QVERIFY2(qAbs(r.reverseX - rows[0].reverseX) < 0.01, qPrintable(r.station));
    }
    // The report still goes to stdout, and a PDF that cannot be written is refused.
    QVERIFY(out.str().find("1000.5(加桩)") != std::string::npos);
    std::ostringstream out2, err2;
    QCOMPARE(brannock::RunBatch({"--jd", "1000", "--alpha", "30", "--radius", "500", "--pdf",
                                 dir.filePath("no/such/folder/r.pdf").toStdString()},
                                out2, err2),
             2);
    QVERIFY(QString::fromStdString(err2.str()).contains("no/such/folder/r.pdf"));
  }

  void exitClosesTheWindow() {
    w->Toolbar1_ButtonClick("tc");
    QVERIFY(!w->isVisible());
  }

  void batchRunsTheSameHandlers() {
    QTemporaryDir dir;
    const std::string saved = dir.filePath("batch.txt").toStdString();
    std::ostringstream out, err;
    const int rc = brannock::RunBatch({"--jd", "1000", "--alpha", "30.0000", "--radius", "500", "--ls", "60", "--date",
                                       "26-12-6", "--extra", "850", "--extra=-5", "--save", saved},
                                      out, err);
    QCOMPARE(rc, 0);
    QVERIFY(err.str().empty());
    const std::string text = out.str();
    QVERIFY(text.find('\r') == std::string::npos);
    QVERIFY(text.find("               P=0.3     Q=29.9964     L=321.7994\n") != std::string::npos);
    QVERIFY(text.find("打印日期：2026-12-6\n                850(加桩)") != std::string::npos);
    QVERIFY(text.find("\n               -5(加桩)") != std::string::npos);

    // The file is what the window's save writes for the same report.
    fill();
    button("Command1")->click();
    field("Text5")->setText("850");
    button("Command2")->click();
    field("Text5")->setText("-5");
    button("Command2")->click();
    QFile f(QString::fromStdString(saved));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray::fromStdString(platform::Utf8ToGbk("\"" + w->form().report + "\"\r\n")));
  }

  void batchRefusesWithStatusTwo() {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--jd", "1000", "--alpha", "30", "--radius", "0"},
          std::vector<std::string>{"--jd", "1000", "--alpha", "30"},
          std::vector<std::string>{"--jd", "1000", "--alpha", "30", "--radius", "500", "--extra", "x"},
          std::vector<std::string>{"--jd", "1000", "--alpha", "30", "--radius", "500", "--unknown", "1"}}) {
      std::ostringstream out, err;
      QCOMPARE(brannock::RunBatch(args, out, err), 2);
      QVERIFY(out.str().empty());
      QVERIFY(!err.str().empty());
    }
    std::ostringstream out, err;
    QCOMPARE(brannock::RunBatch({"--jd", "1000", "--alpha", "30", "--radius", "0"}, out, err), 2);
    QCOMPARE(QString::fromStdString(err.str()).trimmed(), QString("你输入所有数据了吗？\n请重新输入。"));
  }

  void aSecondCopyIsRefused() {
    QTemporaryDir locks;
    qputenv("SURVEY_LOCK_DIR", locks.path().toUtf8());
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SURVEY_LOCK_DIR", locks.path());
    first.setProcessEnvironment(env);
    first.start(BRANNOCK_BINARY, {});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(locks.path()).entryList({"brannock-*.lock"}).isEmpty(), 10000);
    {
      platform::MessageRecorder rec;
      platform::SingleInstanceGuard guard("brannock");
      const auto second = brannock::OpenWindow(guard);
      QVERIFY(!second);
      QCOMPARE(rec.messages.size(), size_t{1});
      QCOMPARE(QString::fromStdString(rec.messages[0].text), QString("系统正在运行，请在下面任务栏寻找系统的最小化图标。"));
      QCOMPARE(QString::fromStdString(rec.messages[0].title), QString("警告!"));
    }
    // The running copy is left alone.
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
    // Once it is gone, a new copy opens.
    {
      platform::MessageRecorder rec;
      platform::SingleInstanceGuard guard("brannock");
      QVERIFY(brannock::OpenWindow(guard) != nullptr);
      QVERIFY(rec.messages.empty());
    }
    qunsetenv("SURVEY_LOCK_DIR");
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
