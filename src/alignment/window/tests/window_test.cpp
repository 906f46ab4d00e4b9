// The alignment window driven as a surveyor would: runs on pasted and edited tables, undo,
// refused cells, cancel, the result grids and stale results; the rows must be the batch
// program's own.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sys/stat.h>
#include <sstream>

#include "alignment/cli/program.h"
#include "alignment/window/main_window.h"
#include "alignment/window/project_file.h"
#include "alignment/window/report.h"
#include "platform/testing/pdf_columns.h"

using namespace survey::alignment::window;
using survey::alignment::cli::RunBatch;

#include "alignment/window/tests/window_fixture.h"

using namespace window_fixture;

class AlignmentWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8()); }
  // One right-angle circle of R 500 between two straights, pasted and computed: the elements and
  // stakes a surveyor works out by hand (T = R tan(a/2), L = R a, E = R (sec(a/2) - 1), J = 2T - L;
  // the arc's centre at (500, 500)), not what the program's own code says.
  void ComputedCircleMatchesTheTextbook() {
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, 0, QStringLiteral("QD\t0\t0\nJD1\t1000\t0\t500\t0\nZD\t1000\t1000"));
    w.Form().intervalText = "100";
    w.PushFields();
    QVERIFY(w.ComputeAll());
    const ResultGridModel& curves = w.Result(RunKind::Curves);
    QCOMPARE(curves.RowCountLarge(), std::size_t{3});  // QD, JD1, ZD
    const std::vector<std::string> c = curves.RowCells(1);
    const auto cell = [&](const char* key) { return c[static_cast<std::size_t>(curves.KeyColumn(key))]; };
    const double pi = std::acos(-1.0);
    const auto fixed = [](double v) { return QString::number(v, 'f', 3).toStdString(); };
    QCOMPARE(cell("turn"), std::string("right"));
    QCOMPARE(cell("t1"), fixed(500));
    QCOMPARE(cell("l"), fixed(500 * pi / 2));
    QCOMPARE(cell("e"), fixed(500 * (std::sqrt(2.0) - 1)));
    QCOMPARE(cell("j"), fixed(1000 - 500 * pi / 2));
    QCOMPARE(cell("zh"), fixed(500));
    QCOMPARE(cell("hy"), std::string());  // no transition: ZY and YZ only
    QCOMPARE(cell("qz"), fixed(500 + 500 * pi / 4));
    QCOMPARE(cell("hz"), fixed(500 + 500 * pi / 2));
    // The leg to ZD: 1000 m due east; the JD at ZY + T; ZD at 2000 - J.
    QCOMPARE(cell("jd_station"), fixed(1000));
    QCOMPARE(cell("jd_distance"), fixed(1000));
    QCOMPARE(cell("azimuth"), std::string("90.000000"));
    QCOMPARE(curves.RowCells(2)[static_cast<std::size_t>(curves.KeyColumn("jd_station"))], fixed(1000 + 500 * pi / 2));
    // On screen: 交点桩号 beside the point, K stations, D°M′S″, 左/右.
    const auto shown = [&](int row, const char* title) {
      for (int col = 0; col < curves.columnCount(); ++col) {
        if (curves.headerData(col, Qt::Horizontal, Qt::DisplayRole).toString() == QString::fromUtf8(title)) {
          return curves.data(curves.index(row, col), Qt::DisplayRole).toString();
        }
      }
      return QStringLiteral("<no column>");
    };
    QCOMPARE(curves.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("交点桩号"));
    QCOMPARE(shown(1, "交点桩号"), QStringLiteral("K1+000.000"));
    QCOMPARE(shown(1, "转向"), QStringLiteral("右"));
    QCOMPARE(shown(1, "转角值"), QStringLiteral("90°00′00.00″"));
    QCOMPARE(shown(1, "方位角"), QStringLiteral("90°00′00.00″"));
    QCOMPARE(shown(1, "ZH(ZY) 桩号"), QStringLiteral("K0+500.000"));
    QCOMPARE(shown(1, "交点间距 (m)"), QStringLiteral("1000.000"));
    QCOMPARE(shown(0, "名称"), QStringLiteral("QD"));
    QCOMPARE(shown(0, "转向"), QString());
    const ResultGridModel& stakes = w.Result(RunKind::Stakes);
    bool sawQz = false, saw300 = false;
    for (std::size_t r = 0; r < stakes.RowCountLarge(); ++r) {
      const std::vector<std::string> s = stakes.RowCells(r);
      if (s[0] == "JD1 QZ") {
        sawQz = true;
        QCOMPARE(s[2], fixed(500 + 500 * std::sin(pi / 4)));
        QCOMPARE(s[3], fixed(500 - 500 * std::cos(pi / 4)));
        QCOMPARE(s[4], std::string("45.000000"));  // half way round from north to east
      }
      if (s[1] == fixed(300)) {
        saw300 = true;
        QCOMPARE(s[2], fixed(300));
        QCOMPARE(s[3], fixed(0));
      }
    }
    QVERIFY(sawQz && saw300);
  }

  // Typing in a field is one undo step of the project, like a cell's edit.
  void FieldEditsJoinUndo() {
    AlignmentWindow w;
    auto* interval = w.findChild<QLineEdit*>(QStringLiteral("interval"));
    QTest::keyClicks(interval, QStringLiteral("5"));
    QTest::keyClicks(interval, QStringLiteral("0"));
    QCOMPARE(w.Form().intervalText, std::string("2050"));
    QVERIFY(w.IsModified());
    QCOMPARE(w.Undo().count(), 1);  // the second key continues the first step
    w.Undo().undo();
    QCOMPARE(w.Form().intervalText, std::string("20"));
    QCOMPARE(interval->text(), QStringLiteral("20"));
    QVERIFY(!w.IsModified());
    w.Undo().redo();
    QCOMPARE(interval->text(), QStringLiteral("2050"));
    QCOMPARE(w.Form().intervalText, std::string("2050"));
  }

  // The points table has a Z column; without a profile it is not needed, and the run must not
  // refuse it (it once did, naming the column).
  void LocateTableWithoutProfile() {
    AlignmentForm f;
    f.Table(TableId::Jd) = JdRows(1);
    f.Table(TableId::Points) = {{"P1", "3300", "5200", ""}, {"P2", "3300", "5200", "12.5"}};
    const RunResult r = f.Run(RunKind::LocateTable);
    QVERIFY2(r.ok, r.error.c_str());
    QCOMPARE(r.table->RowCount(), std::size_t{2});
    QCOMPARE(r.table->Keys().size(), std::size_t{6});  // no elevations, no dz without a profile
    QCOMPARE(r.table->Cells(1)[0], std::string("P2"));
  }

  // Pasted and edited JD table, computed: the rows the batch program prints for the same table.
  void PastedTableComputesBatchRows() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QApplication::clipboard()->setText(QString::fromUtf8(kJdBlock).replace(QStringLiteral("JD3\t4300"), QStringLiteral("JD3\t4250")));
    w.SourceView(TableId::Jd)->setFocus();
    w.Model(TableId::Jd)->PasteBlock(0, 0, QApplication::clipboard()->text());
    // The typo is corrected in the cell.
    QVERIFY(w.Model(TableId::Jd)->setData(w.Model(TableId::Jd)->index(3, 1), QStringLiteral("4300"), Qt::EditRole));
    w.Form().startStationText = "K10+000";
    w.PushFields();
    w.Form().offsetsText = "-5, 5";
    w.Form().intervalText = "25";
    w.PushFields();
    QVERIFY(w.ComputeAll());
    QVERIFY2(recorder.messages.empty(), recorder.messages.empty() ? "" : recorder.messages[0].text.c_str());

    QTemporaryDir tmp;
    const QString jd = tmp.filePath(QStringLiteral("route.csv"));
    WriteFile(jd, QByteArray::fromStdString(JdCsv()));
    const std::string file = jd.toStdString();
    QCOMPARE(w.Result(RunKind::Stakes).Csv(),
             BatchOutput({"stakes", "--jd", file, "--start", "K10+000", "--interval", "25", "--offset=-5", "--offset=5"}));
    QCOMPARE(w.Result(RunKind::Curves).Csv(), BatchOutput({"curves", "--jd", file, "--start", "K10+000"}));
    QVERIFY(w.Result(RunKind::Stakes).RowCountLarge() > 100);

    // Locate a point and stake out from a station: the batch's rows too.
    w.Form().locateXText = "3450";
    w.Form().locateYText = "5600";
    w.Form().setupXText = "3300";
    w.Form().setupYText = "5200";
    w.Form().backsightXText = "3000";
    w.Form().backsightYText = "5000";
    w.PushFields();
    QVERIFY(w.ComputeLocatePoint());
    QCOMPARE(w.Result(RunKind::LocatePoint).Csv(),
             BatchOutput({"locate", "--jd", file, "--start", "K10+000", "--x", "3450", "--y", "5600"}));
    QVERIFY(w.ComputeStakeout());
    QCOMPARE(w.Result(RunKind::Stakeout).Csv(),
             BatchOutput({"stakeout", "--jd", file, "--start", "K10+000", "--interval", "25", "--offset=-5", "--offset=5",
                          "--setup", "3300,5200", "--backsight", "3000,5000"}));

    // The clipboard copy: the shown header, then tab-separated cells.
    w.Transfers().CopyResult(RunKind::Curves);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    QVERIFY(lines.size() >= 2);
    QVERIFY(lines[0].startsWith(QStringLiteral("名称\tX (m)\tY (m)\t转向\t转角")));
    QVERIFY(lines.size() >= 4);
    QVERIFY(lines[1].startsWith(QStringLiteral("QD\t")));
    QVERIFY(lines[2].startsWith(QStringLiteral("JD1\t3600.000\t5400.000\tright\t")));
  }

  void UndoRestoresTheTable() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SourceGridModel* m = w.Model(TableId::Jd);
    m->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    const Grid pasted = w.Form().Table(TableId::Jd);
    m->setData(m->index(2, 3), QStringLiteral("900"), Qt::EditRole);
    m->InsertRowsAt(1, 2);
    m->RemoveRowList({4, 5});
    QVERIFY(w.Form().Table(TableId::Jd) != pasted);
    QVERIFY(w.IsModified());
    QVERIFY(w.windowTitle().contains(QStringLiteral("[*]")));
    w.Undo().undo();
    w.Undo().undo();
    w.Undo().undo();
    QCOMPARE(w.Form().Table(TableId::Jd), pasted);
    QCOMPARE(m->DataRows(), 7);
    w.Undo().undo();
    QVERIFY(w.Form().Table(TableId::Jd).empty());
    QVERIFY(!w.IsModified());
    w.Undo().redo();
    QCOMPARE(w.Form().Table(TableId::Jd), pasted);
  }

  // A bad cell is marked and explained before any run, and it blocks the run.
  void InvalidCellBlocksComputing_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("R not a number") << 2 << 3 << "abc" << "JD 表第 3 行 R (m)：“abc”不是数字。";
    QTest::newRow("R zero") << 1 << 3 << "0" << "JD 表第 2 行 R (m)：必须大于 0。";
    QTest::newRow("negative Ls") << 4 << 4 << "-10" << "JD 表第 5 行 Ls1 (m)：不得小于 0。";
    QTest::newRow("X blank") << 6 << 1 << "" << "JD 表第 7 行 X (m)：不能为空，应填数字。";
  }
  void InvalidCellBlocksComputing() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SourceGridModel* m = w.Model(TableId::Jd);
    m->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    QVERIFY(w.ComputeAll());
    const std::string before = w.Result(RunKind::Stakes).Csv();
    m->setData(m->index(row, column), text, Qt::EditRole);
    QVERIFY(m->data(m->index(row, column), Qt::BackgroundRole).isValid());
    QCOMPARE(QStringLiteral("JD 表第 %1 行 %2：").arg(row + 1).arg(m->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()) +
                 m->data(m->index(row, column), Qt::ToolTipRole).toString(),
             message);
    QVERIFY(!w.ComputeAll());
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(recorder.messages[0].text), message);
    QCOMPARE(w.Result(RunKind::Stakes).Csv(), before);
    // R of the start row is not read, so nothing is marked there.
    QVERIFY(!m->data(m->index(0, 3), Qt::BackgroundRole).isValid());
  }

  void CancelKeepsPreviousResults() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    QVERIFY(w.ComputeAll());
    const std::string before = w.Result(RunKind::Stakes).Csv();
    const std::size_t marksBefore = w.Result(RunKind::Stakes).RowCountLarge();
    w.Form().intervalText = "0.001";
    w.PushFields();
    QSignalSpy finished(&w, &AlignmentWindow::RunFinished);
    QVERIFY2(w.ComputeAll(), recorder.messages.empty() ? "" : recorder.messages[0].text.c_str());
    QVERIFY(w.Running());
    w.CancelRun();
    QVERIFY(finished.wait(60000));
    QVERIFY(!w.Running());
    QCOMPARE(w.Result(RunKind::Stakes).Csv(), before);
    QCOMPARE(w.Result(RunKind::Stakes).RowCountLarge(), marksBefore);
    // The next run on the thread goes through to the end.
    w.Form().intervalText = "0.5";
    w.PushFields();
    w.SetThreadThreshold(0);
    QVERIFY(w.ComputeAll());
    QVERIFY(finished.wait(60000));
    QVERIFY(w.Result(RunKind::Stakes).RowCountLarge() > 9000);
  }

  // The grids show survey notation; copying and CSV export keep the command line's form unless
  // the user asks for the shown one.
  void ResultGridsShowSurveyNotation() {
    AlignmentWindow w;
    w.Form().Table(TableId::Jd) = JdRows(1);
    w.Model(TableId::Jd)->Reload();
    w.Form().startStationText = "K10+000";
    w.Form().offsetsText = "-12 +7.5 0";
    w.Form().intervalText = "50";
    w.PushFields();
    QVERIFY(w.ComputeAll());
    ResultGridModel& stakes = w.Result(RunKind::Stakes);
    QStringList titles;
    for (int c = 0; c < stakes.columnCount(); ++c) titles << stakes.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(titles.mid(5, 6), (QStringList{QStringLiteral("左边桩 12 m X"), QStringLiteral("左边桩 12 m Y"),
                                            QStringLiteral("右边桩 7.5 m X"), QStringLiteral("右边桩 7.5 m Y"),
                                            QStringLiteral("中桩 X"), QStringLiteral("中桩 Y")}));
    QCOMPARE(stakes.data(stakes.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("K10+000.000"));
    QVERIFY(stakes.data(stakes.index(0, 4), Qt::DisplayRole).toString().contains(QRegularExpression(QStringLiteral("^\\d+°\\d\\d′\\d\\d\\.\\d\\d″$"))));
    QCOMPARE(stakes.data(stakes.index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(stakes.data(stakes.index(0, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    // Transfers: the machine form by default, the shown one on request.
    QVERIFY(stakes.TsvText({0}).split(QLatin1Char('\n'))[1].startsWith(QStringLiteral("QD\t10000.000\t")));
    QVERIFY(stakes.CsvWithTitles().find("\nQD,10000.000,") != std::string::npos);
    stakes.SetTransferAsShown(true);
    const QStringList shownLines = stakes.TsvText({0}).split(QLatin1Char('\n'));
    QVERIFY(shownLines[0].contains(QStringLiteral("左边桩 12 m X")));
    QVERIFY(shownLines[1].startsWith(QStringLiteral("QD\tK10+000.000\t")));
    QVERIFY(stakes.CsvWithTitles().find("\nQD,K10+000.000,") != std::string::npos);
    // Name and 桩号 stay in view when the stake grid scrolls right; the curve table keeps its 交点号.
    QCOMPARE(stakes.FrozenColumns(), 2);
    QCOMPARE(w.Result(RunKind::Curves).FrozenColumns(), 1);
    // At 1024 × 700 every tab is in sight and no field is a sliver.
    w.resize(1024, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("leftTabs"));
    QVERIFY(tabs);
    for (int i = 0; i < tabs->count(); ++i) {
      QVERIFY2(tabs->tabBar()->rect().contains(tabs->tabBar()->tabRect(i)), qPrintable(tabs->tabText(i)));
    }
    for (const char* name : {"interval", "from", "to", "offsets", "skew"}) {
      auto* field = w.findChild<QLineEdit*>(QString::fromLatin1(name));
      QVERIFY2(field && field->width() >= 50, name);
    }
  }

  // A change of any input greys the results under the banner; exporting them asks to compute
  // first, and a refused export writes nothing; the run clears the mark.
  void ChangedInputsMakeResultsStale() {
    platform::MessageRecorder recorder(survey::MessageAnswer::No);
    AlignmentWindow w;
    SourceGridModel* m = w.Model(TableId::Jd);
    m->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    auto* banner = w.findChild<QLabel*>(QStringLiteral("staleBanner"));
    QVERIFY(banner);
    QVERIFY(banner->isHidden());
    QVERIFY(!w.IsStale(RunKind::Curves));  // nothing computed: nothing stale
    QVERIFY(w.ComputeAll());
    QVERIFY(!w.IsStale(RunKind::Curves));
    QVERIFY(m->setData(m->index(1, 3), QStringLiteral("650"), Qt::EditRole));
    QVERIFY(w.IsStale(RunKind::Curves) && w.IsStale(RunKind::Stakes));
    QVERIFY(!banner->isHidden());
    QCOMPARE(banner->text(), QStringLiteral("数据已修改，请重新计算 (F5)"));
    QTemporaryDir tmp;
    const QString pdf = tmp.filePath(QStringLiteral("curves.pdf")), csv = tmp.filePath(QStringLiteral("curves.csv"));
    QVERIFY(!w.Printing().ExportReportPdf(ReportKind::Curves, pdf));
    QVERIFY(!w.Transfers().ExportResultCsv(RunKind::Curves, csv, false));
    QVERIFY(!QFile::exists(pdf) && !QFile::exists(csv));
    QCOMPARE(recorder.messages.size(), std::size_t{2});
    QVERIFY(recorder.messages[0].text.find("重新计算") != std::string::npos);
    // Yes: computed, then exported with the new radius.
    recorder.answer = survey::MessageAnswer::Yes;
    QVERIFY(w.Transfers().ExportResultCsv(RunKind::Curves, csv, false));
    QVERIFY(!w.IsStale(RunKind::Curves));
    QVERIFY(banner->isHidden());
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains(",650.000,"));
    // A field's edit and an undo are changes too.
    auto* interval = w.findChild<QLineEdit*>(QStringLiteral("interval"));
    QTest::keyClicks(interval, QStringLiteral("5"));
    QVERIFY(w.IsStale(RunKind::Stakes));
    QVERIFY(w.ComputeAll());
    QVERIFY(!w.IsStale(RunKind::Stakes));
    QTest::keyClicks(interval, QStringLiteral("0"));  // joins the field's undo step
    QVERIFY(w.IsStale(RunKind::Stakes));
    QVERIFY(w.ComputeAll());
    w.Undo().undo();
    QVERIFY(w.IsStale(RunKind::Stakes));
  }

  // Angles typed in degrees, minutes and seconds: the packed text they stand for, or refused.
  void DmsAnglesReadAsPacked_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("packed");  // empty: not such an angle
    QTest::newRow("full") << "49°23′55.34″" << "49.235534";
    QTest::newRow("ascii marks") << "49°23'55.34\"" << "49.235534";
    QTest::newRow("one-digit fields") << "5°3′7″" << "5.0307";
    QTest::newRow("negative") << "-0°05′07.5″" << "-0.05075";
    QTest::newRow("degrees only") << "90°" << "90.0000";
    QTest::newRow("fine seconds") << "123°04′05.12345678″" << "123.040512345678";
    QTest::newRow("blanks") << " 12° 30′ 00″ " << "12.3000";
    QTest::newRow("60 minutes") << "1°60′00″" << "";
    QTest::newRow("60 seconds") << "1°00′60″" << "";
    QTest::newRow("three-digit minutes") << "1°059′00″" << "";
    QTest::newRow("decimal degrees") << "1.5°" << "";
    QTest::newRow("trailing text") << "1°02′03″x" << "";
    QTest::newRow("no degree mark") << "49.232534" << "";
  }
  void DmsAnglesReadAsPacked() {
    QFETCH(QString, text);
    QFETCH(QString, packed);
    const std::optional<std::string> got = PackedFromDms(text.toStdString());
    QCOMPARE(got ? QString::fromStdString(*got) : QString(), packed);
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(AlignmentWindowTest)
#include "window_test.moc"
