// The 偏差检查 page driven as a surveyor would, on the straight route of the check command's
// tests: north from (1000, 2000), a profile rising 1 % from 49.00, lanes of 3.5 m at −2 % and
// shoulders of 0.75 m at −4 %. By hand: at K0+100 the line is 50.000 and 2 m right 49.960; at
// K0+200 the line is 51.000. The page's rows must be the `check` command's for the same input.
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

namespace {

// name, X, Y, Z, 设计桩号, 设计偏距. By hand, with +0.010/-0.015:
//  A +0.010 and B −0.015 at the limits pass; C −0.016 fails; P +0.012 fails (over +0.010
//  though within 0.015); D meant for K0+100 +2, shot 0.04 along and 0.03 across: 0.05 passes;
//  E 0.06 along fails; O is before the start of the route.
const Grid kPoints = {
    {"A", "1100", "2000", "50.010", "", ""},          {"B", "1100", "2000", "49.985", "", ""},
    {"C", "1100", "2000", "49.984", "", ""},          {"P", "1200", "2000", "51.012", "", ""},
    {"D", "1100.04", "2002.03", "49.965", "K0+100", "2"}, {"E", "1100.06", "2002", "49.960", "K0+100", "2"},
    {"O", "990", "2000", "49", "", ""},
};

void SetUpRoute(AlignmentWindow& w, const Grid& points) {
  AlignmentForm& f = w.Form();
  f.Table(TableId::Jd) = {{"QD", "1000", "2000", "", "", ""}, {"ZD", "2000", "2000", "", "", ""}};
  f.Table(TableId::Profile) = {{"0", "49", ""}, {"300", "52", ""}};
  f.section.Grid(SectionTableId::Section) = {{"left", "行车道", "3.5", "-2", "1", "", ""},
                                             {"left", "土路肩", "0.75", "-4", "0", "", ""},
                                             {"right", "行车道", "3.5", "-2", "1", "", ""},
                                             {"right", "土路肩", "0.75", "-4", "0", "", ""}};
  f.Table(TableId::Points) = points;
  f.toleranceZText = "+0.010/-0.015";
  f.projectName = "检查路";
  w.PushFields();
}

void WriteFile(const QString& path, const std::string& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The same input as files for the command line.
QStringList WriteInputs(const QTemporaryDir& dir, const Grid& points) {
  WriteFile(dir.filePath("jd.csv"), "name,x,y,r\nQD,1000,2000\nZD,2000,2000\n");
  WriteFile(dir.filePath("profile.csv"), "station,elevation\n0,49\n300,52\n");
  WriteFile(dir.filePath("section.csv"),
            "side,part,width,slope,super\nleft,行车道,3.5,-2,1\nleft,土路肩,0.75,-4,0\n"
            "right,行车道,3.5,-2,1\nright,土路肩,0.75,-4,0\n");
  std::string csv = "name,x,y,z,station,offset\n";
  for (const auto& row : points) {
    for (std::size_t i = 0; i < row.size(); ++i) csv += (i ? "," : "") + row[i];
    csv += '\n';
  }
  WriteFile(dir.filePath("points.csv"), csv);
  return {"--jd", dir.filePath("jd.csv"), "--profile", dir.filePath("profile.csv"), "--section", dir.filePath("section.csv"),
          "--points", dir.filePath("points.csv"), "--tolerance-z", "+0.010/-0.015"};
}

std::string Batch(const QStringList& args) {
  std::vector<std::string> list = {"check"};
  for (const QString& a : args) list.push_back(a.toStdString());
  std::ostringstream out, err;
  return survey::alignment::cli::RunBatch(list, out, err) == 0 ? out.str() : "refused: " + err.str();
}

std::vector<std::string> Names(CheckRowsModel& model) {
  std::vector<std::string> names;
  for (int r = 0; r < model.rowCount(); ++r) names.push_back(model.MachineCells(r).at(0));
  return names;
}

}  // namespace

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
    QVERIFY(!w.ExportResultCsv(RunKind::Check, path, false));
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY(!QFile::exists(path));
    recorder.messages.clear();
    QVERIFY(w.ComputeCheck());
    const auto read = [&] {
      QFile f(path);
      return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("unreadable");
    };
    QVERIFY(w.ExportResultCsv(RunKind::Check, path, false));
    QCOMPARE(read(), Batch(WriteInputs(tmp, kPoints)));
    w.Check()->Grid()->findChild<QAction*>(QStringLiteral("transferAsShown"))->setChecked(true);
    QVERIFY(w.ExportResultCsv(RunKind::Check, path, false));
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
    QVERIFY(!w.ExportResultCsv(RunKind::Check, path, false));
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
    QCOMPARE(f5->text(), QStringLiteral("计算曲线要素与逐桩坐标"));
    f5->trigger();
    QVERIFY(!w.IsStale(RunKind::Stakes));
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
    QVERIFY(!w.ExportCheckPdf(mine));  // nothing checked yet
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY(!QFile::exists(mine));
    SetUpRoute(w, kPoints);
    QVERIFY(w.ComputeCheck());
    QVERIFY(w.ExportCheckPdf(mine));
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

QTEST_MAIN(CheckWindowTest)
#include "check_window_test.moc"
