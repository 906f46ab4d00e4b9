#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QSignalSpy>
#include <QTranslator>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QSysInfo>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <unistd.h>

#include "platform/enter_as_tab.h"
#include "platform/pdf_text_layer.h"
#include "platform/testing/pdf_columns.h"
#include "platform/program_setup.h"
#include "platform/qt_host.h"
#include "platform/single_instance.h"
#include "platform/text_files.h"
#include "platform/text_printing.h"

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void messagesReachTheRecorderAndTheBusyPointerNests() {
    platform::MessageRecorder recorder(survey::MessageAnswer::Cancel);
    QWidget w;
    platform::QtHost host(&w);
    QCOMPARE(host.ShowMessage(survey::DataErrorMessage()), survey::MessageAnswer::Cancel);
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].title, std::string("输入数据出错"));
    {
      survey::BusyScope outer(host);
      survey::BusyScope inner(host);
      QVERIFY(QApplication::overrideCursor() != nullptr);
    }
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void secondCopyIsRefusedAndAStaleLockTakenOver() {
    QTemporaryDir dir;
    qputenv("SURVEY_LOCK_DIR", dir.path().toUtf8());
    platform::SingleInstanceGuard first(QStringLiteral("probe")), second(QStringLiteral("probe"));
    QVERIFY(first.IsFirst());
    QVERIFY(!second.IsFirst());
    QVERIFY(first.IsFirst() && platform::SingleInstanceGuard(QStringLiteral("another")).IsFirst());
    platform::MessageRecorder recorder;
    int opened = 0;
    QVERIFY(!platform::OpenSingleWindow(second, [&] { return ++opened, std::make_unique<QWidget>(); }));
    QCOMPARE(opened, 0);
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].text, survey::AlreadyRunningMessage().text);
    // The window mode: behind the guard only for a program that runs once per user.
    const auto open = [&] {
      ++opened;
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
      return std::make_unique<QWidget>();
    };
    QCOMPARE(platform::RunWindow(*qApp, QStringLiteral("probe"), platform::Instances::OnePerUser, open), 0);
    QCOMPARE(opened, 0);
    QCOMPARE(recorder.messages.size(), size_t(2));
    QCOMPARE(platform::RunWindow(*qApp, QStringLiteral("probe"), platform::Instances::Any, open), 0);
    QCOMPARE(opened, 1);
    QCOMPARE(recorder.messages.size(), size_t(2));
    platform::SingleInstanceGuard stale(QStringLiteral("stale"));
    QFile f(stale.LockPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("999999999\nstale\n" + QSysInfo::machineHostName().toUtf8() + "\n");  // a process that does not run
    f.close();
    QVERIFY(stale.IsFirst());
  }

  void gbkFilesRoundTripAndFailuresKeepTheOldFile() {
    QCOMPARE(platform::Utf8ToGbk("桩号 zh,1000.5\r\n"), std::string("\xD7\xAE\xBA\xC5 zh,1000.5\r\n"));
    QCOMPARE(platform::GbkToUtf8("\xD7\xAE\xBA\xC5 zh"), std::string("桩号 zh"));
    QCOMPARE(platform::Utf8ToGbk("a😀b"), std::string("a?b"));
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("报告.txt")).toStdString();
    QVERIFY(platform::WriteGbkFile(path, "第一\r\n").ok());
    QCOMPARE(platform::ReadGbkFile(path).value_or("?"), std::string("第一\r\n"));
    QVERIFY(!platform::WriteGbkFile(dir.filePath(QStringLiteral("no/such/x.txt")).toStdString(), "x").error.empty());
    if (geteuid() != 0) {  // a read-only folder refuses the temporary file
      QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
      QVERIFY(!platform::WriteGbkFile(path, "第二").ok());
      QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
      QCOMPARE(platform::ReadGbkFile(path).value_or("?"), std::string("第一\r\n"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), qsizetype(1));  // no temporary left behind
    std::string error;
    QVERIFY(!platform::ReadGbkFile(dir.filePath(QStringLiteral("missing")).toStdString(), &error));
    QVERIFY(!error.empty());
    QVERIFY(!platform::ReadGbkFile(path, &error, 3));  // beyond the size limit
    QVERIFY(error.find("文件太大") == 0);
  }

  void textPrintsToPdfInAFaceWithHalfWidthLatin() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QVERIFY(platform::PrintTextToPdf(pdf, QStringLiteral("   桩号\r\n1000"), platform::CjkFont(QStringLiteral("黑体"), 12), 2));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-");
    for (const double size : {9.0, 10.5, 12.0}) {
      const QFont font = platform::ColumnPrintFont(size);
      QVERIFY2(platform::HasHalfWidthLatin(font) && font.pointSizeF() == size && !font.bold(), qPrintable(font.family()));
    }
    QFont proportional(QStringLiteral("Noto Sans CJK SC"));
    proportional.setPointSizeF(12);
    QVERIFY(!platform::HasHalfWidthLatin(proportional));
  }

  // What a surveyor copies out of a report: stations, main points, page numbers and the
  // characters whose glyphs the CJK faces share with a radical. Each face the suite may print
  // in, and the proportional face the tables print in through every way a PDF gets written.
  void pdfTextReadsBackAsPrinted_data() {
    QTest::addColumn<QFont>("font");
    QTest::newRow("column print face") << platform::ColumnPrintFont(12);
    QTest::newRow("宋体 for tables") << platform::CjkFont(QStringLiteral("宋体"), 9);
    QTest::newRow("monospaced CJK") << platform::CjkFont(QStringLiteral("SimSun"), 10.5, true);
    for (const char* family : {"Noto Sans CJK SC", "Noto Sans Mono CJK SC", "WenQuanYi Zen Hei", "WenQuanYi Zen Hei Mono"})
      QTest::newRow(family) << QFont(QString::fromUtf8(family));
  }
  void pdfTextReadsBackAsPrinted() {
    QFETCH(QFont, font);
    const QStringList lines = {QStringLiteral("第 1 页 共 2 页 项目 方位角 高程 长 中心 制表人 左边桩X"),
                               QStringLiteral("K10+000.000 JD1 G318 ZH=835.9486 HY2"),
                               QStringLiteral("交点桩号JD=1000 偏角角度α＝30°0′0″ 缓和曲线LS＝60")};
    QTemporaryDir dir;
    QString error;
    // Plain text through the page painter, and a table cell painted straight on the writer.
    const QString listing = dir.filePath(QStringLiteral("listing.pdf"));
    QVERIFY(platform::PrintTextToPdf(listing, lines.join(QStringLiteral("\r\n")), font, 1));
    QCOMPARE(platform::testing::PdfPlainText(listing, &error).split(QLatin1Char('\n')).mid(0, 3), lines);
    const QString cells = dir.filePath(QStringLiteral("cells.pdf"));
    const QFont cellFont = platform::Unshaped(font);
    const survey::Outcome written = platform::WritePdfFile(cells, [&](QPdfWriter& writer) {
      QPainter painter(&writer);
      painter.setFont(cellFont);
      for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRectF(0, i * 200, writer.width(), 150), Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
      return true;
    });
    QVERIFY2(written.ok(), written.error.c_str());
    QCOMPARE(platform::testing::PdfPlainText(cells, &error).split(QLatin1Char('\n')).mid(0, 3), lines);
  }

  void characterMapsNameThePrintedCharacter() {
    // Radical look-alikes become the ideograph, the tab a blank; everything else stays.
    QCOMPARE(platform::PrintedCharacter(0x2EDA), char32_t(0x9875));  // ⻚ -> 页
    QCOMPARE(platform::PrintedCharacter(0x2F6C), char32_t(0x76EE));  // ⽬ -> 目
    QCOMPARE(platform::PrintedCharacter(0x2FD5), char32_t(0x9FA0));  // the last Kangxi radical
    QCOMPARE(platform::PrintedCharacter(0x2E80), char32_t(0x2E80));  // no ideograph shares it
    QCOMPARE(platform::PrintedCharacter(U'\t'), char32_t(U' '));
    QCOMPARE(platform::PrintedCharacter(0x301C), char32_t(0xFF5E));  // 〜 -> ～, as Chinese writes it
    QCOMPARE(platform::PrintedCharacter(0x9875), char32_t(0x9875));
    std::string map =
        "/CIDInit /ProcSet findresource begin\nbegincmap\n"
        "2 beginbfchar\n<2EDA> <2EDA>\n<0003> <0009>\nendbfchar\n"
        "3 beginbfrange\n<0001> <0003> [<2EDA> <0031> <2F6C>]\n<2F00> <2F00> <2F6C>\n<0010> <0012> <2F00>\nendbfrange\n"
        "endcmap\n<2EDA> outside the map\n";
    const std::size_t size = map.size();
    platform::RepairToUnicodeMaps(map);
    QCOMPARE(map.size(), size);
    // The glyph side of a line stays; a run of three from a radical is left as it is.
    QCOMPARE(QString::fromStdString(map),
             QString::fromStdString("/CIDInit /ProcSet findresource begin\nbegincmap\n"
                                    "2 beginbfchar\n<2EDA> <9875>\n<0003> <0020>\nendbfchar\n"
                                    "3 beginbfrange\n<0001> <0003> [<9875> <0031> <76EE>]\n<2F00> <2F00> <76EE>\n"
                                    "<0010> <0012> <2F00>\nendbfrange\n"
                                    "endcmap\n<2EDA> outside the map\n"));
  }

  // The Chinese toolkit texts whatever the locale: the test runs under the C locale.
  void standardDialogsSpeakChinese() {
    QVERIFY(platform::LoadChineseTranslations(*qApp));
    QVERIFY(platform::LoadChineseTranslations(*qApp));  // a second call adds nothing
    QCOMPARE(qApp->findChildren<QTranslator*>().size(), qsizetype(1));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text() + box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("取消确定"));
    QFileDialog files(nullptr, QStringLiteral("保存"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    const auto buttons = files.findChild<QDialogButtonBox*>();
    QVERIFY(buttons && buttons->button(QDialogButtonBox::Save)->text().contains(QStringLiteral("保存")));
  }

  void everyProgramHasItsOwnIcon() {
    QSet<QByteArray> seen;
    for (const char* name : {"tallyfen", "brannock", "dovetree", "marlowby", "quenby", "rillford"}) {
      const QIcon icon = platform::ProgramIcon(QString::fromLatin1(name));
      QCOMPARE(icon.availableSizes().size(), qsizetype(3));
      const QImage image = icon.pixmap(32, 32).toImage();
      seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(seen.size(), qsizetype(6));
    QVERIFY(platform::ProgramIcon(QStringLiteral("nothing")).isNull());
    platform::PrepareApplication(*qApp, QStringLiteral("quenby"));
    QCOMPARE(QWidget().windowIcon().pixmap(32, 32).toImage(), platform::ProgramIcon(QStringLiteral("quenby")).pixmap(32, 32).toImage());
  }

  // Enter moves the focus on from the chosen fields (main keyboard or keypad), a field left out
  // keeps Enter for itself; Enter presses a focused push button once (not held, not with Ctrl),
  // a disabled button stays unpressed.
  void enterMovesOnFromFieldsAndPressesTheFocusedButton() {
    platform::PressButtonsWithEnter(*qApp);
    platform::PressButtonsWithEnter(*qApp);
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    auto* a = new QLineEdit;
    auto* b = new QLineEdit;
    auto* last = new QLineEdit;
    auto* button = new QPushButton(QStringLiteral("计算"));
    button->setAutoDefault(false);
    for (QWidget* child : std::initializer_list<QWidget*>{a, b, last, button}) layout->addWidget(child);
    platform::EnterAsTab enter(&w);
    enter.Add({a, b});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), b);
    QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), last);
    QSignalSpy returns(last, &QLineEdit::returnPressed);
    QTest::keyClick(last, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), last);
    QCOMPARE(returns.size(), 1);
    QSignalSpy clicks(button, &QPushButton::clicked);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(button, &repeat);
    button->setEnabled(false);
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(clicks.size(), 2);
  }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
