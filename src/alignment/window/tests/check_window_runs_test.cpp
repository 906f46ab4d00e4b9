// The 偏差检查 page's runs: stale rows, F5, the worker thread, the printed report, the plot and
// the projects and imports of the points table, on the route of check_window_fixture.h.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

#include "alignment/cli/program.h"
#include "alignment/window/check_tab.h"
#include "alignment/window/main_window.h"
#include "alignment/window/project_file.h"
#include "platform/testing/pdf_columns.h"

using namespace survey::alignment::window;
#include "alignment/window/tests/check_window_fixture.h"

using namespace check_fixture;

class CheckWindowRunsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8()); }

  // Changed points or tolerances grey the rows until the next check.
  void ChangedPointsOrTolerancesMakeTheRowsStale() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, kPoints);
    QVERIFY(!w.IsStale(RunKind::Check));
    QVERIFY(w.ComputeCheck());
    QVERIFY(!w.IsStale(RunKind::Check));
    SourceGridModel* points = w.Model(TableId::Points);
    points->setData(points->index(0, 3), QStringLiteral("50.02"), Qt::EditRole);
    QVERIFY(w.IsStale(RunKind::Check));
    QVERIFY(w.ComputeCheck());
    QVERIFY(!w.IsStale(RunKind::Check));
    QCOMPARE(w.Check()->Model()->MachineCells(0).at(0), std::string("A"));  // now 0.020 over: failures first
    auto* edit = w.findChild<QLineEdit*>(QStringLiteral("toleranceZ"));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("5"));
    QVERIFY(w.IsStale(RunKind::Check));
    QVERIFY(w.ComputeCheck());
    QVERIFY(!w.IsStale(RunKind::Check));
    QVERIFY(recorder.messages.empty());
  }

  // F5 under the banner repeats the run of the tab shown: on 偏差检查 the check (not the
  // stakes, which stay grey), on 反算 its last run (one point stays one point), elsewhere the
  // stakes; the menu entry is named for what it will run.
  void F5RunsTheShownTab() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, kPoints);
    w.Form().locateXText = "1100";
    w.Form().locateYText = "2001";
    w.PushFields();
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("leftTabs"));
    auto* f5 = w.findChild<QAction*>(QStringLiteral("computeShown"));
    QVERIFY(tabs && f5);
    QCOMPARE(f5->shortcut(), QKeySequence(Qt::Key_F5));
    const auto show = [&](const QString& title) {
      for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == title) tabs->setCurrentIndex(i);
      }
      QCOMPARE(tabs->tabText(tabs->currentIndex()), title);
    };
    QVERIFY(w.ComputeAll());
    QVERIFY(w.ComputeCheck());
    QVERIFY(w.ComputeLocatePoint());
    QCOMPARE(w.Result(RunKind::LocatePoint).RowCountLarge(), std::size_t{1});
    const auto edit = [&] {
      SourceGridModel* points = w.Model(TableId::Points);
      points->setData(points->index(0, 3), QString::number(50.02 + 0.001 * static_cast<double>(w.Undo().index())), Qt::EditRole);
      QVERIFY(w.IsStale(RunKind::Check) && w.IsStale(RunKind::Stakes) && w.IsStale(RunKind::LocatePoint));
    };
    edit();

    show(QStringLiteral("偏差检查"));
    QCOMPARE(f5->text(), QStringLiteral("偏差检查"));
    f5->trigger();
    QVERIFY(!w.IsStale(RunKind::Check));
    QVERIFY(w.IsStale(RunKind::Stakes) && w.IsStale(RunKind::LocatePoint));
    QCOMPARE(w.Check()->Model()->MachineCells(0).at(0), std::string("A"));  // the edited A now fails

    show(QStringLiteral("反算"));
    QCOMPARE(f5->text(), QStringLiteral("反算此点"));
    f5->trigger();
    QVERIFY(!w.IsStale(RunKind::LocatePoint) && w.IsStale(RunKind::Stakes));
    QCOMPARE(w.Result(RunKind::LocatePoint).RowCountLarge(), std::size_t{1});
    QVERIFY(w.ComputeLocateTable());
    QCOMPARE(f5->text(), QStringLiteral("反算点表"));

    edit();
    show(QStringLiteral("横断面"));
    QCOMPARE(f5->text(), QStringLiteral("计算逐桩坐标与横断面"));
    QCOMPARE(w.Sections()->Rows().rowCount(), 0);
    f5->trigger();
    QVERIFY(!w.IsStale(RunKind::Stakes));
    QVERIFY(w.Sections()->Rows().rowCount() > 0);  // the page's own rows computed with them
    QVERIFY(w.IsStale(RunKind::Check) && w.IsStale(RunKind::LocatePoint));
    QVERIFY2(recorder.messages.empty(), recorder.messages.empty() ? "" : recorder.messages[0].text.c_str());
  }

  // On the worker thread (a large table) the rows are the same as on this one.
  void ThreadedRunGivesTheSameRows() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, kPoints);
    QVERIFY(w.ComputeCheck());
    std::vector<std::vector<std::string>> here;
    for (int r = 0; r < w.Check()->Model()->rowCount(); ++r) here.push_back(w.Check()->Model()->MachineCells(r));
    w.Check()->Clear();
    w.SetThreadThreshold(0);
    QSignalSpy finished(&w, &AlignmentWindow::RunFinished);
    QVERIFY(w.ComputeCheck());
    QVERIFY(w.Running());
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("正在检查约 7 点…"));
    QVERIFY(finished.wait(60000));
    std::vector<std::vector<std::string>> threaded;
    for (int r = 0; r < w.Check()->Model()->rowCount(); ++r) threaded.push_back(w.Check()->Model()->MachineCells(r));
    QCOMPARE(threaded, here);
  }

  // The window's 偏差报表 is the command's: the plot page, then the table in the table's order.
  void PdfIsTheCommandsReport() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QTemporaryDir tmp;
    const QString mine = tmp.filePath(QStringLiteral("window.pdf")), batch = tmp.filePath(QStringLiteral("batch.pdf"));
    QVERIFY(!w.Printing().ExportPdf(Printout::Check, mine));  // nothing checked yet
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY(!QFile::exists(mine));
    SetUpRoute(w, kPoints);
    QVERIFY(w.ComputeCheck());
    QVERIFY(w.Printing().ExportPdf(Printout::Check, mine));
    QProcess p;
    p.start(QStringLiteral(ALIGNMENT_PROGRAM), QStringList{"report", "--table", "check", "--pdf", batch, "--project", "检查路"} +
                                                   WriteInputs(tmp, kPoints));
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QString error;
    const QString text = platform::testing::PdfPlainText(mine, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(text, platform::testing::PdfPlainText(batch, &error));
    const QString flat = QString(text).remove(QLatin1Char(' '));
    for (const char* printed : {"偏差报表", "项目：检查路", "限差：高程+0.010/-0.015m", "共7点，合格3点，不合格4点", "点名",
                                "平面偏差(m)", "结论", "K0+100.000", "不合格", "路线外"}) {
      QVERIFY2(flat.contains(QString::fromUtf8(printed)), printed);
    }
    // The plot page comes first; the table lists A before C (the table's order, as printed by the command).
    QVERIFY(flat.indexOf(QStringLiteral("高程偏差Δz")) < flat.indexOf(QStringLiteral("结论")));
    QVERIFY(flat.indexOf(QStringLiteral("\nA\n")) < flat.indexOf(QStringLiteral("\nC\n")));
  }

  // A point beyond the route's start that was meant for a position on it has a horizontal
  // deviation but no station: it stays off the plot, whose stations are the route's points'.
  void OutsidePointsStayOffThePlot() {
    survey::alignment::check::CheckTable table;
    table.run.withIntended = true;
    survey::alignment::check::CheckRow on, off;
    on.inside = true;
    on.station = 1000;
    on.dz = 0.002;
    on.distance = 0.01;
    on.result = survey::alignment::check::CheckResult::Pass;
    off.distance = 0.3;  // outside: station 0 means nothing
    table.rows = {on, off};
    const auto data = CheckReportDataOf(table, true);
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    const CheckPlotGeometry geometry = PaintCheckPlot(painter, QRectF(0, 0, 800, 600), *data, QStringLiteral("p"));
    QVERIFY(geometry.drawn && geometry.xy);
    QVERIFY2(geometry.stations.lo > 990 && geometry.stations.hi < 1010, qPrintable(QString::number(geometry.stations.lo)));
    QVERIFY(geometry.xy->hi < 0.3);  // the outside point's 0.3 did not stretch the panel
    QCOMPARE(data->rows.at(1).at(9), QStringLiteral("0.300"));  // but its row prints it
  }

  // The intended positions are optional columns of the points table: a project without them is
  // saved as before (four cells a row) and an older project opens with them blank.
  void IntendedColumnsKeepOldProjects() {
    AlignmentForm form;
    form.Table(TableId::Points) = {{"A", "1", "2", "3", "", ""}};
    const QByteArray plain = ProjectBytes(form);
    QVERIFY(plain.contains("\"A\",\n                \"1\",\n                \"2\",\n                \"3\"\n"));
    QString error;
    const std::optional<AlignmentForm> reopened = FormFromProjectBytes(plain, &error);
    QVERIFY2(reopened, qPrintable(error));
    QCOMPARE(reopened->Table(TableId::Points), form.Table(TableId::Points));
    form.Table(TableId::Points) = {{"A", "1", "2", "3", "K0+100", "-2"}, {"B", "1", "2", "3", "", ""}};
    form.toleranceZText = "+0.010/-0.015";
    const std::optional<AlignmentForm> withIntended = FormFromProjectBytes(ProjectBytes(form), &error);
    QVERIFY2(withIntended, qPrintable(error));
    QCOMPARE(withIntended->Table(TableId::Points), form.Table(TableId::Points));
    QCOMPARE(withIntended->toleranceZText, std::string("+0.010/-0.015"));
    // Five cells is neither shape.
    QByteArray five = plain;
    five.replace("\"3\"\n", "\"3\",\n\"x\"\n");
    QVERIFY(!FormFromProjectBytes(five, &error));
    // A surveyor's file with the columns under their Chinese names.
    const Grid imported = ReadGridFromCsv(TableId::Points, "点名,X,Y,高程,设计桩号,设计偏距\nA,1,2,3,K0+100,-2\n");
    QCOMPARE(imported, (Grid{{"A", "1", "2", "3", "K0+100", "-2"}}));
    QCOMPARE(ReadGridFromCsv(TableId::Points, "name,x,y\nA,1,2\n"), (Grid{{"A", "1", "2", "", "", ""}}));
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(CheckWindowRunsTest)
#include "check_window_runs_test.moc"
