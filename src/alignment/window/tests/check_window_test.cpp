// The 偏差检查 page driven as a surveyor would, on the straight route of check_window_fixture.h:
// its rows must be the `check` command's for the same input, and what it refuses changes nothing.
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

class CheckWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8()); }

  // Failures first, then passes, then the point outside, each in the table's order; each row's
  // cells and the summary exactly the command's.
  void RowsAreTheCommandsWithFailuresFirst() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, kPoints);
    QVERIFY(w.ComputeCheck());
    QVERIFY2(recorder.messages.empty(), recorder.messages.empty() ? "" : recorder.messages[0].text.c_str());
    CheckRowsModel& model = *w.Check()->Model();
    QCOMPARE(Names(model), (std::vector<std::string>{"C", "P", "E", "A", "B", "D", "O"}));
    const auto cells = [&](int row) { return model.MachineCells(row); };
    // The hand-checked numbers: design, dz and result of C, P and D.
    QCOMPARE(cells(0).at(6), std::string("50.000"));
    QCOMPARE(cells(0).at(7), std::string("-0.016"));
    QCOMPARE(cells(1).at(6), std::string("51.000"));
    QCOMPARE(cells(1).at(7), std::string("0.012"));
    QCOMPARE(cells(1).back(), std::string("fail"));
    QCOMPARE(cells(4).at(7), std::string("-0.015"));  // B, at the lower limit
    QCOMPARE(cells(4).back(), std::string("pass"));
    QCOMPARE(cells(5).at(11), std::string("0.050"));  // D's horizontal deviation
    QCOMPARE(cells(6).at(4), std::string());          // O: no station
    // Shown as read: K stations, 不合格 in red.
    QCOMPARE(model.data(model.index(0, 4), Qt::DisplayRole).toString(), QStringLiteral("K0+100.000"));
    QCOMPARE(model.data(model.index(0, 12), Qt::DisplayRole).toString(), QStringLiteral("不合格"));
    QCOMPARE(model.data(model.index(6, 12), Qt::DisplayRole).toString(), QStringLiteral("路线外"));
    // Red: a failed row's result and the deviation that failed it (C's dz, E's d_xy, not E's dz).
    const auto red = [&](int row, int column) { return model.data(model.index(row, column), Qt::ForegroundRole).isValid(); };
    QVERIFY(red(0, 12) && red(0, 7) && red(2, 11));
    QVERIFY(!red(2, 7) && !red(3, 12) && !red(3, 7));

    QTemporaryDir tmp;
    const std::string csv = Batch(WriteInputs(tmp, kPoints));
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    QCOMPARE(line, std::string("name,x,y,z,station,offset,design_z,dz,fill_cut,d_along,d_across,d_xy,result"));
    std::vector<std::string> byTable(kPoints.size());
    for (int r = 0; r < model.rowCount(); ++r) {
      std::string joined;
      for (const std::string& c : cells(r)) joined += (joined.empty() ? "" : ",") + c;
      byTable[model.TableRow(r)] = joined;
    }
    for (const std::string& expected : byTable) {
      QVERIFY(std::getline(lines, line));
      QCOMPARE(expected, line);
    }
    QVERIFY(std::getline(lines, line));
    QCOMPARE(QStringLiteral("# ") + w.Check()->Summary()->text(), QString::fromStdString(line));
    QCOMPARE(w.Check()->Summary()->text(),
             QStringLiteral("共 7 点，合格 3 点，不合格 4 点；最大高程偏差 -0.016 m（C）；最大平面偏差 0.060 m（E）。"));

    // Copied in the command's form, failures first; as shown when the grid's switch is on.
    QCOMPARE(model.TsvText({0}), QStringLiteral("name\tx\ty\tz\tstation\toffset\tdesign_z\tdz\tfill_cut\td_along\td_across\td_xy\tresult\n"
                                                "C\t1100.000\t2000.000\t49.984\t100.000\t0.000\t50.000\t-0.016\t0.016\t\t\t\tfail\n"));
    auto* asShown = w.Check()->Grid()->findChild<QAction*>(QStringLiteral("transferAsShown"));
    QVERIFY(asShown && w.Check()->Grid()->actions().contains(asShown));
    asShown->setChecked(true);
    const QStringList copied = model.TsvText().split(QLatin1Char('\n'));
    QCOMPARE(copied.size(), 9);  // header, 7 rows, the last line's end
    QVERIFY(copied[0].startsWith(QStringLiteral("名称\tX (m)\tY (m)\t实测高程 (m)\t桩号")));
    QVERIFY(copied[1].startsWith(QStringLiteral("C\t1100.000\t2000.000\t49.984\tK0+100.000\t")));
    QVERIFY(copied[1].endsWith(QStringLiteral("\t不合格")));
    QCOMPARE(model.TsvText({6}).split(QLatin1Char('\n')).at(1).left(2), QStringLiteral("O\t"));

    // A row clicked rings its point in the plot.
    w.Check()->SelectRow(2);
    QCOMPARE(w.Check()->Plot()->Marked(), std::optional<std::size_t>(5));  // E, row 6 of the table
  }

  // Points beyond the edge (4.25 m) are checked against the 边坡 table as `check --slopes`
  // checks them. By hand at K0+100: the edge is 49.900; F 2 m beyond it right, 1:1.5 fill:
  // slope 49.900 − 2/1.5 = 48.567, so 48.570 passes (+0.003); G 1 m beyond left, 1:1 cut: 50.900,
  // shot 50.950 fails. Without slopes both are off the surface.
  void SlopesCheckPointsBeyondTheEdge() {
    const Grid points = {{"A", "1100", "2000", "50.010", "K0+100", "0"},
                         {"F", "1100", "2006.25", "48.570", "", ""},
                         {"G", "1100", "1994.75", "50.950", "", ""}};
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, points);
    w.Form().section.Grid(SectionTableId::Slopes) = {{"left", "fill", "1.5"}, {"left", "cut", "1"},
                                                     {"right", "fill", "1.5"}, {"right", "cut", "1"}};
    w.PushFields();
    QVERIFY(w.ComputeCheck());
    QVERIFY2(recorder.messages.empty(), recorder.messages.empty() ? "" : recorder.messages[0].text.c_str());
    CheckRowsModel& model = *w.Check()->Model();
    QCOMPARE(Names(model), (std::vector<std::string>{"G", "A", "F"}));
    QCOMPARE(model.MachineCells(2).at(6), std::string("48.567"));
    QCOMPARE(model.MachineCells(2).back(), std::string("pass"));
    QCOMPARE(model.MachineCells(0).at(6), std::string("50.900"));
    QCOMPARE(model.MachineCells(0).back(), std::string("fail"));

    QTemporaryDir tmp;
    WriteFile(tmp.filePath("slopes.csv"), "side,kind,ratio\nleft,fill,1.5\nleft,cut,1\nright,fill,1.5\nright,cut,1\n");
    std::istringstream lines(Batch(WriteInputs(tmp, points) + QStringList{"--slopes", tmp.filePath("slopes.csv")}));
    std::string line;
    std::getline(lines, line);
    std::vector<std::string> byTable(points.size());
    for (int r = 0; r < model.rowCount(); ++r) {
      std::string joined;
      for (const std::string& c : model.MachineCells(r)) joined += (joined.empty() ? "" : ",") + c;
      byTable[model.TableRow(r)] = joined;
    }
    for (const std::string& expected : byTable) {
      QVERIFY(std::getline(lines, line));
      QCOMPARE(expected, line);
    }
    QVERIFY(std::getline(lines, line));
    QCOMPARE(QStringLiteral("# ") + w.Check()->Summary()->text(), QString::fromStdString(line));

    // A 边坡 row that cannot be read refuses the check naming the row, and the rows shown stay.
    const auto before = w.Check()->Table();
    w.Form().section.Grid(SectionTableId::Slopes)[2][2] = "abc";
    w.PushFields();
    QVERIFY(!w.ComputeCheck() || !recorder.messages.empty());
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY2(recorder.messages[0].text.find("边坡第 3 行") != std::string::npos, recorder.messages[0].text.c_str());
    QCOMPARE(w.Check()->Table(), before);
  }

  // The grid's CSV export goes the way of the other grids': the command's bytes by default
  // (its keys, the table's order, the summary last), the grid's form when the switch is on,
  // and nothing written before a check.
  void CsvExportIsTheCommandsOutput() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("check.csv"));
    SetUpRoute(w, kPoints);
    QVERIFY(!w.Transfers().ExportResultCsv(RunKind::Check, path, false));
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY(!QFile::exists(path));
    recorder.messages.clear();
    QVERIFY(w.ComputeCheck());
    const auto read = [&] {
      QFile f(path);
      return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("unreadable");
    };
    QVERIFY(w.Transfers().ExportResultCsv(RunKind::Check, path, false));
    QCOMPARE(read(), Batch(WriteInputs(tmp, kPoints)));
    w.Check()->Grid()->findChild<QAction*>(QStringLiteral("transferAsShown"))->setChecked(true);
    QVERIFY(w.Transfers().ExportResultCsv(RunKind::Check, path, false));
    const QStringList lines = QString::fromStdString(read()).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 10);  // header, 7 rows, the summary, the last line's end
    QVERIFY2(lines[0].startsWith(QStringLiteral("名称,X (m),Y (m),实测高程 (m),桩号,")), qPrintable(lines[0]));
    QVERIFY2(lines[1].startsWith(QStringLiteral("C,1100.000,2000.000,49.984,K0+100.000,")), qPrintable(lines[1]));
    QVERIFY(lines[1].endsWith(QStringLiteral(",不合格")));
    QVERIFY(lines[7].startsWith(QStringLiteral("O,")));
    QCOMPARE(lines[8], QStringLiteral("# ") + w.Check()->Summary()->text());
    // Stale rows are offered a new check first, as every export is: declined, the file stays.
    const std::string before = read();
    SourceGridModel* points = w.Model(TableId::Points);
    points->setData(points->index(0, 3), QStringLiteral("50.02"), Qt::EditRole);
    QVERIFY(!w.Transfers().ExportResultCsv(RunKind::Check, path, false));
    QCOMPARE(read(), before);
    QVERIFY(recorder.messages.back().text.find("重新计算") != std::string::npos);
  }

  // At 1280 px the grid of a check without intended positions shows every column whole, the
  // 结论 last: the long 填挖高度 title goes on two lines in the grid (and on one in a copy).
  void GridFitsAt1280() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, {{"A", "1100", "2000", "50.010", "", ""}, {"C", "1100", "2000", "49.984", "", ""}});
    w.resize(1280, 900);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(w.Check());
    QVERIFY(w.ComputeCheck());
    QApplication::processEvents();
    QTableView* grid = w.Check()->Grid();
    const int last = grid->model()->columnCount() - 1;
    QCOMPARE(grid->model()->headerData(last, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("结论"));
    QVERIFY2(grid->columnViewportPosition(last) + grid->columnWidth(last) <= grid->viewport()->width(),
             qPrintable(QStringLiteral("%1 + %2 > %3").arg(grid->columnViewportPosition(last)).arg(grid->columnWidth(last)).arg(grid->viewport()->width())));
    w.Check()->Model()->SetTransferAsShown(true);
    QVERIFY(w.Check()->Model()->TsvText().section(QLatin1Char('\n'), 0, 0).contains(QStringLiteral("\t填挖高度 (m) 填正挖负\t")));
  }

  // A tolerance text that is no tolerance is refused naming its field, and the rows shown stay.
  void RefusedTolerancesChangeNothing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("z not a number") << "toleranceZ" << "abc" << "高程限差";
    QTest::newRow("z blank") << "toleranceZ" << "" << "高程限差";
    QTest::newRow("z both upper") << "toleranceZ" << "0.01/0.02" << "高程限差";
    QTest::newRow("z negative") << "toleranceZ" << "-0.01" << "高程限差";
    QTest::newRow("z half") << "toleranceZ" << "+0.010/" << "高程限差";
    QTest::newRow("xy unit") << "toleranceXy" << "5cm" << "平面限差";
    QTest::newRow("xy negative") << "toleranceXy" << "-0.05" << "平面限差";
  }
  void RefusedTolerancesChangeNothing() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, named);
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, kPoints);
    QVERIFY(w.ComputeCheck());
    const auto before = w.Check()->Table();
    const QString summary = w.Check()->Summary()->text();
    auto* edit = w.findChild<QLineEdit*>(field);
    QVERIFY(edit);
    edit->setText(text);
    QVERIFY(!w.ComputeCheck());
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    const QString message = QString::fromStdString(recorder.messages[0].text);
    QVERIFY2(message.startsWith(named + QStringLiteral("：")), qPrintable(message));
    if (!text.isEmpty()) QVERIFY2(message.contains(QStringLiteral("“") + text + QStringLiteral("”")), qPrintable(message));
    QCOMPARE(w.Check()->Table(), before);
    QCOMPARE(w.Check()->Summary()->text(), summary);
  }

  // Points the report cannot take are refused naming the row of the grid.
  void RefusedPointsNameTheirRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("message");
    QTest::newRow("no z") << 1 << QStringList{"B", "1100", "2000", "", "", ""} << "反算点表第 2 行：Z：不能为空";
    QTest::newRow("z not a number") << 1 << QStringList{"B", "1100", "2000", "x", "", ""} << "反算点表第 2 行：Z：“x”不是数字";
    QTest::newRow("duplicate") << 2 << QStringList{"A", "1100", "2001", "50", "", ""}
                               << "反算点表第 3 行：点名“A”与第 1 行重复。";
    QTest::newRow("no name") << 1 << QStringList{"", "1100", "2000", "50", "", ""} << "反算点表第 2 行：点名：不能为空";
    QTest::newRow("station only") << 1 << QStringList{"B", "1100", "2000", "50", "K0+100", ""}
                                  << "反算点表第 2 行：设计位置需要设计桩号和设计偏距两者";
    QTest::newRow("off the route") << 1 << QStringList{"B", "1100", "2000", "50", "K5+000", "0"}
                                   << "反算点表第 2 行：桩号 K5+000.000 在路线之外";
  }
  void RefusedPointsNameTheirRow() {
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QFETCH(QString, message);
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    Grid points = {{"A", "1100", "2000", "50", "", ""}, {"B", "1100", "2000", "50", "", ""}, {"C", "1100", "2000", "50", "", ""}};
    std::vector<std::string>& changed = points[static_cast<std::size_t>(row)];
    for (int i = 0; i < cells.size(); ++i) changed[static_cast<std::size_t>(i)] = cells[i].toStdString();
    SetUpRoute(w, points);
    w.ComputeCheck();
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY2(QString::fromStdString(recorder.messages[0].text).startsWith(message), recorder.messages[0].text.c_str());
    QVERIFY(!w.Check()->Table());
  }

  // Δz is measured − design: without a profile there is no design elevation, and nothing runs.
  void NeedsAProfile() {
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    SetUpRoute(w, kPoints);
    w.Form().Table(TableId::Profile).clear();
    w.PushFields();
    w.ComputeCheck();
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY2(recorder.messages[0].text.find("偏差检查需要纵断面") == 0, recorder.messages[0].text.c_str());
    QVERIFY(!w.Check()->Table());
  }


 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(CheckWindowTest)
#include "check_window_test.moc"
