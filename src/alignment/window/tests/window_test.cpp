// The alignment window driven as a surveyor would: grids edited and pasted, runs, undo,
// project files, cancel; the rows must be the batch program's own.
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

namespace {

// QD, five JDs with transitions (one asymmetric, one without), ZD.
const char* const kJdBlock =
    "QD\t3000\t5000\t\t\t\n"
    "JD1\t3600\t5400\t600\t120\t\n"
    "JD2\t3700\t6300\t800\t100\t150\n"
    "JD3\t4300\t6800\t500\t0\t0\n"
    "JD4\t4400\t7700\t700\t120\t\n"
    "JD5\t5100\t8100\t600\t100\t\n"
    "ZD\t5300\t9000\t\t\t\n";

std::string BatchOutput(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunBatch(args, out, err);
  return status == 0 ? out.str() : "refused: " + err.str();
}

std::string JdCsv() {
  std::string csv = "name,x,y,r,ls1,ls2\n";
  for (char c : std::string(kJdBlock)) csv += c == '\t' ? ',' : c;
  return csv;
}

// QD, the first `jds` JDs of kJdBlock, and ZD where the next JD is.
Grid JdRows(int jds) {
  Grid rows;
  for (const QString& line : QString::fromUtf8(kJdBlock).split(QLatin1Char('\n')).mid(0, jds + 2)) {
    std::vector<std::string> cells;
    for (const QString& cell : line.split(QLatin1Char('\t'))) cells.push_back(cell.toStdString());
    rows.push_back(cells);
  }
  rows.back() = {"ZD", rows.back()[1], rows.back()[2], "", "", ""};
  return rows;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

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

  void ProjectRoundTripRestoresEverything() {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("项目 1.alnproj"));
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.Model(TableId::Elements)->PasteBlock(0, 0, QStringLiteral("直线\t100\n缓和曲线\t80\tinf\t400\t右\n圆曲线\t50\t400\t\t右"));
    w.Model(TableId::Equations)->PasteBlock(0, 0, QStringLiteral("K10+500\tK10+480.25"));
    w.Model(TableId::Profile)->PasteBlock(0, 0, QStringLiteral("K10+000\t100\t\nK11+000\t112\t8000\nK12+000\t104\t"));
    w.Model(TableId::Points)->PasteBlock(0, 0, QStringLiteral("P1\t3450\t5600\t101.5"));
    w.Form().startStationText = "K10+000";
    w.Form().startXText = "1";
    w.Form().startYText = "2";
    w.Form().startAzimuthText = "45.3030";
    w.Form().inputKind = InputKind::Elements;
    w.Form().degrees = true;
    w.Form().offsetsText = "-3.75 3.75";
    w.Form().projectName = "测试路线";
    w.PushFields();
    QVERIFY(w.SaveTo(path));
    QVERIFY(!w.IsModified());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("项目 1.alnproj")));
    QCOMPARE(w.RecentFiles().value(0), QFileInfo(path).absoluteFilePath());

    AlignmentWindow other;
    QVERIFY(other.OpenFrom(path));
    for (TableId id : kAllTables) QCOMPARE(other.Form().Table(id), w.Form().Table(id));
    QCOMPARE(other.Form().startAzimuthText, w.Form().startAzimuthText);
    QCOMPARE(other.Form().offsetsText, w.Form().offsetsText);
    QCOMPARE(other.Form().projectName, w.Form().projectName);
    QVERIFY(other.Form().inputKind == InputKind::Elements);
    QVERIFY(other.Form().degrees);
    QCOMPARE(ProjectBytes(other.Form()), ProjectBytes(w.Form()));
    QCOMPARE(other.findChild<QLineEdit*>(QStringLiteral("startStation"))->text(), QStringLiteral("K10+000"));
  }

  void DamagedProjectChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QByteArray good = [] {
      AlignmentForm f;
      f.Table(TableId::Jd) = {{"QD", "0", "0", "", "", ""}, {"ZD", "100", "0", "", "", ""}};
      return ProjectBytes(f);
    }();
    QTest::newRow("truncated") << good.left(good.size() / 2) << "文件已损坏";
    QTest::newRow("not a project") << QByteArray("{\"a\":1}") << "不是路线项目文件";
    QByteArray newer = good;
    newer.replace("\"version\": 2", "\"version\": 7");
    QTest::newRow("newer version") << newer << "文件版本 7 不受支持";
    for (const char* written : {"1.5", "1e300", "-0.5"}) {
      QByteArray odd = good;
      odd.replace("\"version\": 2", QByteArray("\"version\": ") + written);
      QTest::newRow(written) << odd << QStringLiteral("文件版本 %1 不受支持").arg(QLatin1String(written));
    }
    QByteArray manyEquations = good;
    QByteArray rows = "[\"1\",\"1\"]";
    for (std::size_t i = 0; i < kMaxEquationRows; ++i) rows += ",[\"1\",\"1\"]";
    manyEquations.replace("\"equations\": [\n        ]", "\"equations\": [" + rows + "]");
    QTest::newRow("too many rows") << manyEquations << "断链表超过 10000 行";
    QByteArray shortRow = good;
    shortRow.replace("\"ZD\",", "");
    QTest::newRow("short row") << shortRow << "JD 表第 2 行的格数不对";
  }
  void DamagedProjectChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("bad.alnproj"));
    WriteFile(path, bytes);
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    const QByteArray before = ProjectBytes(w.Form());
    QVERIFY(!w.OpenFrom(path));
    QCOMPARE(ProjectBytes(w.Form()), before);
    QVERIFY(w.CurrentPath().isEmpty());
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    const QString text = QString::fromStdString(recorder.messages[0].text);
    QVERIFY2(text.contains(path) && text.contains(reason), qPrintable(text));
  }

  // What is not a regular file is refused at once through the window's open path: a link to
  // /dev/zero would read without end, a FIFO would freeze the window waiting for a writer.
  void NonRegularProjectIsRefusedAtOnce() {
    QTemporaryDir tmp;
    const QString zero = tmp.filePath(QStringLiteral("zero.alnproj"));
    const QString fifo = tmp.filePath(QStringLiteral("fifo.alnproj"));
    const QString folder = tmp.filePath(QStringLiteral("folder.alnproj"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("folder.alnproj")));
    const QString big = tmp.filePath(QStringLiteral("big.alnproj"));
    {
      QFile f(big);
      QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(static_cast<qint64>(kMaxProjectBytes) + 1));
    }
    for (const auto& [path, reason] : {std::pair{zero, QStringLiteral("不是普通文件")}, std::pair{fifo, QStringLiteral("不是普通文件")},
                                       std::pair{folder, QStringLiteral("不是普通文件")}, std::pair{big, QStringLiteral("文件太大，超过 32 MB")}}) {
      platform::MessageRecorder recorder;
      AlignmentWindow w;
      w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
      const QByteArray before = ProjectBytes(w.Form());
      QVERIFY(!w.OpenFrom(path));
      QCOMPARE(ProjectBytes(w.Form()), before);
      QVERIFY(w.CurrentPath().isEmpty());
      QCOMPARE(recorder.messages.size(), std::size_t{1});
      const QString text = QString::fromStdString(recorder.messages[0].text);
      QVERIFY2(text.contains(path) && text.contains(reason), qPrintable(text));
    }
  }

  // A save that cannot be written names the file and leaves the old file as it was.
  void FailedSaveKeepsOldFile() {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("p.alnproj"));
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QVERIFY(w.SaveTo(path));
    const QByteArray old = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    // A folder that does not exist fails for every user.
    const QString missing = tmp.filePath(QStringLiteral("missing/p.alnproj"));
    QVERIFY(!w.SaveTo(missing));
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY(QString::fromStdString(recorder.messages.back().text).contains(missing));
    QVERIFY(w.IsModified());
    QCOMPARE(w.CurrentPath(), path);
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool saved = w.SaveTo(path);
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (saved) QSKIP("running with permissions that ignore a read-only folder");
    QCOMPARE(recorder.messages.size(), std::size_t{2});
    QVERIFY(QString::fromStdString(recorder.messages[1].text).contains(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), old);
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

  // LandXML out and back in as an element table: the same stakes and elevations.
  void LandXmlRoundTripGivesTheSameStakes() {
    AlignmentForm jd;
    jd.Table(TableId::Jd) = JdRows(3);
    jd.Table(TableId::Equations) = {{"K11+000", "K11+010.5"}};
    jd.Table(TableId::Profile) = {{"K10+000", "100", ""}, {"K11+500", "112", "9000"}, {"K13+000", "104", ""}};
    jd.startStationText = "K10+000";
    jd.offsetsText = "-7.5";
    const RunResult expected = jd.Run(RunKind::Stakes);
    QVERIFY2(expected.ok, expected.error.c_str());

    AlignmentForm imported;
    imported.offsetsText = "-7.5";
    ImportLandXmlIntoForm(imported, ExportLandXmlText(jd));
    QVERIFY(imported.inputKind == InputKind::Elements);
    // The start azimuth in degrees, minutes and seconds, to the places that read back exactly.
    QVERIFY2(QString::fromStdString(imported.startAzimuthText).contains(QRegularExpression(QStringLiteral("^\\d+°\\d\\d′\\d\\d\\.\\d{2,8}″$"))),
             imported.startAzimuthText.c_str());
    QCOMPARE(imported.Table(TableId::Elements).size(), std::size_t{11});  // 4 straights, 2 x (spiral arc spiral), 1 arc
    QCOMPARE(imported.Table(TableId::Elements)[1][4], std::string("右"));
    const RunResult again = imported.Run(RunKind::Stakes);
    QVERIFY2(again.ok, again.error.c_str());
    // The curve table of the imported elements is no empty tab: QD, the JDs read back, ZD, at the
    // JD route's stations.
    const RunResult curvesJd = jd.Run(RunKind::Curves), curvesEl = imported.Run(RunKind::Curves);
    QVERIFY2(curvesEl.ok, curvesEl.error.c_str());
    QCOMPARE(curvesEl.table->RowCount(), std::size_t{5});
    QCOMPARE(curvesEl.table->RowCount(), curvesJd.table->RowCount());
    const std::size_t station = 19;
    QCOMPARE(curvesEl.table->Keys()[station], std::string("jd_station"));
    for (std::size_t r = 0; r < 5; ++r) {
      const std::vector<std::string> want = curvesJd.table->Cells(r), got = curvesEl.table->Cells(r);
      QCOMPARE(got[0], want[0]);
      QVERIFY2(std::fabs(std::stod(got[station]) - std::stod(want[station])) <= 0.0010001, (got[station] + " / " + want[station]).c_str());
    }
    // Main points by the JDs the elements make, as the JD route names them (no QZ: it is no
    // element's end), never by element number.
    QStringList expectedNames, importedNames;
    for (const survey::alignment::StakeRow& row : expected.table->stakes) {
      if (!row.name.empty() && !QString::fromStdString(row.name).contains(QStringLiteral("QZ"))) expectedNames << QString::fromStdString(row.name);
    }
    for (const survey::alignment::StakeRow& row : again.table->stakes) {
      if (!row.name.empty()) importedNames << QString::fromStdString(row.name);
    }
    QCOMPARE(importedNames, expectedNames);
    // The regular stakes are the same, every number to its last printed place.
    const auto regular = [](const std::string& csv) {
      QStringList rows;
      for (const QString& line : QString::fromStdString(csv).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char(',')) || line.startsWith(QStringLiteral("name"))) rows << line;
      }
      return rows;
    };
    const QStringList a = regular(expected.Csv()), b = regular(again.Csv());
    QCOMPARE(b.size(), a.size());
    QVERIFY(a.size() > 150);
    QCOMPARE(b[0], a[0]);
    for (int i = 1; i < a.size(); ++i) {
      const QStringList ca = a[i].split(QLatin1Char(',')), cb = b[i].split(QLatin1Char(','));
      QCOMPARE(cb.size(), ca.size());
      for (int c = 1; c < ca.size(); ++c) QVERIFY2(std::fabs(ca[c].toDouble() - cb[c].toDouble()) <= 0.0010001, qPrintable(a[i] + " / " + b[i]));
    }
  }

  // A LandXML file imported in the window: the elements in the grid, and the import's note
  // (the largest end-point difference) in the status bar instead of on a terminal.
  void LandXmlImportShowsItsNote() {
    AlignmentForm jd;
    jd.Table(TableId::Jd) = JdRows(2);
    const QString path = dir_.filePath(QStringLiteral("route.xml"));
    WriteFile(path, QByteArray::fromStdString(ExportLandXmlText(jd)));
    AlignmentWindow w;
    QVERIFY(w.Transfers().ImportLandXml(path));
    QVERIFY(w.Form().inputKind == InputKind::Elements);
    QVERIFY(!w.Form().Table(TableId::Elements).empty());
    QVERIFY2(w.statusBar()->currentMessage().contains(QStringLiteral("最大差")), qPrintable(w.statusBar()->currentMessage()));
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

  // The printed tables: stations in K notation, angles in degrees, minutes and seconds, the
  // curve table across the page.
  void ReportTables() {
    AlignmentForm f;
    f.Table(TableId::Jd) = JdRows(1);
    f.startStationText = "K10+000";
    const ReportTable stakes = MakeReportTable(ReportKind::Stakes, *f.Run(RunKind::Stakes).table, QStringLiteral("p"), false);
    QVERIFY(!stakes.rows.empty());
    QCOMPARE(stakes.rows.front()[0], QStringLiteral("K10+000.000"));
    QCOMPARE(stakes.rows.front()[1], QStringLiteral("QD"));
    QVERIFY(stakes.rows.front()[4].contains(QRegularExpression(QStringLiteral("^\\d+°\\d\\d′\\d\\d\\.\\d\\d″$"))));
    QVERIFY(!stakes.landscape);
    const ReportTable curves = MakeReportTable(ReportKind::Curves, *f.Run(RunKind::Curves).table, QStringLiteral("p"), false);
    const QStringList headers = {QStringLiteral("交点号"), QStringLiteral("交点坐标\nX (m)"), QStringLiteral("交点坐标\nY (m)"),
                                 QStringLiteral("交点桩号"), QStringLiteral("转角\n左"), QStringLiteral("转角\n右"),
                                 QStringLiteral("R (m)"), QStringLiteral("Ls1 (m)"), QStringLiteral("Ls2 (m)"),
                                 QStringLiteral("T1 (m)"), QStringLiteral("T2 (m)"), QStringLiteral("L (m)"),
                                 QStringLiteral("E (m)"), QStringLiteral("J (m)"), QStringLiteral("ZH(ZY)"),
                                 QStringLiteral("HY"), QStringLiteral("QZ"), QStringLiteral("YH"),
                                 QStringLiteral("HZ(YZ)"), QStringLiteral("直线长度\n(m)"), QStringLiteral("交点间距\n(m)"),
                                 QStringLiteral("计算方位角")};
    QCOMPARE(curves.headers, headers);
    QCOMPARE(curves.rows.size(), std::size_t{3});
    QCOMPARE(curves.rows[0][0], QStringLiteral("QD"));
    QCOMPARE(curves.rows[0][3], QStringLiteral("K10+000.000"));
    QCOMPARE(curves.rows[0][5], QString());
    QVERIFY(!curves.rows[0][19].isEmpty() && !curves.rows[0][20].isEmpty());
    QVERIFY(curves.rows[0][21].contains(QRegularExpression(QStringLiteral("^\\d+°\\d\\d′\\d\\d\\.\\d\\d″$"))));
    // The deflection under the side it turns to.
    QCOMPARE(curves.rows[1][4], QString());
    QVERIFY(curves.rows[1][5].contains(QRegularExpression(QStringLiteral("^\\d+°\\d\\d′\\d\\d\\.\\d\\d″$"))));
    QCOMPARE(curves.rows[1][14].left(4), QStringLiteral("K10+"));
    QCOMPARE(curves.rows[2][0], QStringLiteral("ZD"));
    QCOMPARE(curves.rows[2][19], QString());
    QVERIFY(curves.landscape);
  }

  // The batch report: a PDF of the stake table; a refused input writes nothing.
  void ReportBatchWritesPdf() {
    QTemporaryDir tmp;
    const QString jd = tmp.filePath(QStringLiteral("route.csv"));
    WriteFile(jd, QByteArray::fromStdString(JdCsv()));
    const auto report = [&](const QString& pdf, const QStringList& more) {
      QProcess p;
      p.start(QStringLiteral(ALIGNMENT_PROGRAM), QStringList{QStringLiteral("report"), QStringLiteral("--table"), QStringLiteral("stakes"),
                                                             QStringLiteral("--pdf"), pdf, QStringLiteral("--jd"), jd} + more);
      return p.waitForFinished(60000) ? p.exitCode() : -1;
    };
    const QString pdf = tmp.filePath(QStringLiteral("stakes.pdf")), bad = tmp.filePath(QStringLiteral("bad.pdf"));
    QCOMPARE(report(pdf, {}), 0);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
    // Its text reads as printed: stations with their digits, the header, the page numbers.
    QString error;
    const QString text = platform::testing::PdfPlainText(pdf, &error).remove(QLatin1Char(' '));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(QRegularExpression(QStringLiteral("K\\d+\\+\\d{3}\\.\\d{3}")).match(text).hasMatch());
    for (const char* printed : {"逐桩坐标表", "项目：", "方位角", "第1页共"}) QVERIFY2(text.contains(QString::fromUtf8(printed)), printed);
    QVERIFY(text.contains(QStringLiteral("route")));  // the project: the JD file's name
    QCOMPARE(report(bad, {QStringLiteral("--interval"), QStringLiteral("-1")}), 2);
    QVERIFY(!QFile::exists(bad));
    // --help among the options makes the command print help, not rows: refused, no file (it
    // once read the help text as a table and crashed).
    QCOMPARE(report(bad, {QStringLiteral("--help")}), 2);
    QVERIFY(!QFile::exists(bad));
  }

  // A report beyond 10,000 rows is refused with the other programs' message, in batch mode
  // (counted, not laid out) and in the window; a PDF named like an input is never written.
  void ReportRefusesTooManyRowsAndItsOwnInput() {
    QTemporaryDir tmp;
    const QString jd = tmp.filePath(QStringLiteral("route.csv"));
    WriteFile(jd, QByteArray::fromStdString(JdCsv()));
    QVERIFY(QFile::link(jd, tmp.filePath(QStringLiteral("link.pdf"))));
    const auto report = [&](const QString& pdf, const QStringList& more, QString* err) {
      QProcess p;
      p.start(QStringLiteral(ALIGNMENT_PROGRAM), QStringList{QStringLiteral("report"), QStringLiteral("--table"), QStringLiteral("stakes"),
                                                             QStringLiteral("--pdf"), pdf} + more);
      const bool done = p.waitForFinished(60000);
      *err = QString::fromUtf8(p.readAllStandardError());
      return done ? p.exitCode() : -1;
    };
    QString err;
    const QString pdf = tmp.filePath(QStringLiteral("stakes.pdf"));
    // About 4.9 km every 0.4 m: 12,2xx rows.
    QCOMPARE(report(pdf, {QStringLiteral("--jd"), jd, QStringLiteral("--interval"), QStringLiteral("0.4")}, &err), 2);
    QVERIFY2(err.contains(QRegularExpression(QStringLiteral("^alignment: 报表有1\\d{4}行，超过10000行，无法打印。\n请加大点间距离或分段计算后打印。\n$"))),
             qPrintable(err));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(report(pdf, {QStringLiteral("--jd"), jd, QStringLiteral("--interval"), QStringLiteral("0.5")}, &err), 0);  // 9,75x rows
    QVERIFY(QFile::exists(pdf));
    const QByteArray table = QByteArray::fromStdString(JdCsv());
    for (const QString& over : {jd, tmp.filePath(QStringLiteral("link.pdf"))}) {
      QCOMPARE(report(over, {QStringLiteral("--jd=") + jd}, &err), 2);
      QVERIFY2(err.contains(QStringLiteral("就是输入文件")), qPrintable(err));
      QFile f(jd);
      QVERIFY(f.open(QIODevice::ReadOnly));
      QCOMPARE(f.readAll(), table);
    }

    platform::MessageRecorder recorder;
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.Form().intervalText = "0.4";
    w.PushFields();
    QVERIFY(w.ComputeAll());
    QVERIFY(w.Result(RunKind::Stakes).RowCountLarge() > 10000);
    const QString windowPdf = tmp.filePath(QStringLiteral("window.pdf"));
    QVERIFY(!w.Printing().ExportReportPdf(ReportKind::Stakes, windowPdf));
    QVERIFY(!QFile::exists(windowPdf));
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY2(recorder.messages[0].text.find("超过10000行，无法打印。") != std::string::npos, recorder.messages[0].text.c_str());
  }

  // Typed through the view with real keys, as a surveyor fills a new JD table: the starter pair,
  // Tab and Enter moving on with typing continuing in the cell reached, a row added by typing
  // below the last. A commit that reset the view once lost every key after the first cell.
  void TypingThroughTheViewFillsTheTable() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral("commitData|editor")));
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QTableView* view = w.SourceView(TableId::Jd);
    SourceGridModel* m = w.Model(TableId::Jd);
    // The starter pair: two blank rows hinted QD and ZD, no row in the table itself.
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("QD"));
    QCOMPARE(m->data(m->index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("ZD"));
    QVERIFY(w.Form().Table(TableId::Jd).empty());
    w.show();
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(view);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    view->setFocus();
    view->setCurrentIndex(m->index(0, 0));
    // Keys go where the keyboard is: the open editor, or the view between cells.
    const auto type = [](const QString& text) {
      for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    };
    const auto key = [](Qt::Key k) {
      QTest::keyClick(QApplication::focusWidget(), k);
      QCoreApplication::processEvents();  // Enter commits on the next turn of the event loop
    };
    type(QStringLiteral("QD"));
    key(Qt::Key_Tab);
    type(QStringLiteral("3000"));
    key(Qt::Key_Tab);
    type(QStringLiteral("5000"));
    key(Qt::Key_Return);
    QCOMPARE(view->currentIndex(), m->index(1, 2));  // Enter moved down
    type(QStringLiteral("5400"));
    key(Qt::Key_Return);
    type(QStringLiteral("9000"));  // below the last row: a new row
    key(Qt::Key_Return);
    const Grid expected = {{"QD", "3000", "5000", "", "", ""}, {"", "", "5400", "", "", ""}, {"", "", "9000", "", "", ""}};
    QCOMPARE(w.Form().Table(TableId::Jd), expected);
    QCOMPARE(m->rowCount(), 4);  // three rows and the blank one to type into
    QCOMPARE(view->currentIndex(), m->index(3, 2));
    // Tab past the last column goes on at the next row's first cell.
    view->setCurrentIndex(m->index(1, 5));
    type(QStringLiteral("7"));
    key(Qt::Key_Tab);
    type(QStringLiteral("JD1"));
    key(Qt::Key_Return);
    QCOMPARE(w.Form().Table(TableId::Jd)[1][5], std::string("7"));
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string("JD1"));
    // Ctrl+Z takes back the last cell, Ctrl+Y and Ctrl+Shift+Z put it back.
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string());
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string("JD1"));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string("JD1"));
    QVERIFY(recorder.messages.empty());
  }

  // Ctrl+D fills the selected cells from the top of the selection, one cell from the one above;
  // one undo step each.
  void FillDownCopiesTheTopCell() {
    AlignmentWindow w;
    QTableView* view = w.SourceView(TableId::Jd);
    SourceGridModel* m = w.Model(TableId::Jd);
    m->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.show();
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(view);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    view->setFocus();
    view->selectionModel()->select(QItemSelection(m->index(1, 4), m->index(3, 5)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    const Grid& t = w.Form().Table(TableId::Jd);
    for (int r = 1; r <= 3; ++r) {
      QCOMPARE(t[static_cast<std::size_t>(r)][4], std::string("120"));
      QCOMPARE(t[static_cast<std::size_t>(r)][5], std::string());
    }
    QCOMPARE(t[4][4], std::string("120"));  // outside the selection
    QCOMPARE(t[2][3], std::string("800"));
    view->selectionModel()->clearSelection();
    view->setCurrentIndex(m->index(5, 3));
    view->selectionModel()->select(m->index(5, 3), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[5][3], std::string("700"));
    w.Undo().undo();
    QCOMPARE(w.Form().Table(TableId::Jd)[5][3], std::string("600"));
    w.Undo().undo();
    QCOMPARE(w.Form().Table(TableId::Jd)[2][4], std::string("100"));
  }

  // Ctrl+Insert puts a blank row at the cursor's row (at the end without a cursor); Ctrl+Delete
  // removes the selected rows, else the cursor's row.
  void InsertAndDeleteRowsWhereTheCursorIs() {
    AlignmentWindow w;
    QTableView* view = w.SourceView(TableId::Jd);
    SourceGridModel* m = w.Model(TableId::Jd);
    m->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.show();
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(view);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    view->setFocus();
    const auto names = [&w] {
      QStringList out;
      for (const std::vector<std::string>& row : w.Form().Table(TableId::Jd)) out << QString::fromStdString(row[0]);
      return out.join(u' ');
    };
    view->setCurrentIndex(QModelIndex());
    QTest::keyClick(view, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1 JD2 JD3 JD4 JD5 ZD "));
    view->setCurrentIndex(m->index(2, 1));
    QTest::keyClick(view, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1  JD2 JD3 JD4 JD5 ZD "));
    view->selectionModel()->select(QItemSelection(m->index(4, 0), m->index(5, 2)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1  JD2 JD5 ZD "));
    view->selectionModel()->clearSelection();
    view->setCurrentIndex(m->index(2, 0));
    view->selectionModel()->clearSelection();
    QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1 JD2 JD5 ZD "));
  }

  // A block copied with its header row: the header is skipped, the data kept, wherever it lands.
  void PasteSkipsAHeaderRow_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("first");  // the first pasted row's cells from `column`, tab-separated
    QTest::addColumn<int>("rows");
    QTest::newRow("titles") << 0 << "点名\tX (m)\tY (m)\tR (m)\tLs1 (m)\tLs2 (m)\nQD\t3000\t5000\nZD\t3600\t5400" << "QD\t3000\t5000" << 2;
    QTest::newRow("keys") << 0 << "name,x,y\nQD\t3000\t5000" << "QD\t3000\t5000" << 1;
    QTest::newRow("own words") << 0 << "交点\t北坐标\t东坐标\nQD\t3000\t5000" << "QD\t3000\t5000" << 1;
    QTest::newRow("at a column") << 1 << "X\tY\n3000\t5000\n3600\t5400" << "3000\t5000" << 2;
    QTest::newRow("no header") << 0 << "QD\t3000\t5000\nZD\t3600\t5400" << "QD\t3000\t5000" << 2;
    QTest::newRow("single line kept") << 0 << "X1\tX\tY" << "X1\tX\tY" << 1;
    QTest::newRow("text only: kept") << 1 << "X\tY\nX\tY" << "X\tY" << 2;
  }
  void PasteSkipsAHeaderRow() {
    QFETCH(int, column);
    QFETCH(QString, block);
    QFETCH(QString, first);
    QFETCH(int, rows);
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, column, block.replace(QLatin1Char(','), QLatin1Char('\t')));
    const Grid& t = w.Form().Table(TableId::Jd);
    QCOMPARE(static_cast<int>(t.size()), rows);
    QStringList cells;
    for (std::size_t c = static_cast<std::size_t>(column); c < t[0].size(); ++c) cells << QString::fromStdString(t[0][c]);
    while (!cells.isEmpty() && cells.last().isEmpty()) cells.removeLast();
    QCOMPARE(cells.join(QLatin1Char('\t')), first);
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

  // A reopened project shows its results computed, not stale and not another project's.
  void OpenedProjectIsComputed() {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("p.alnproj"));
    {
      AlignmentWindow w;
      w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
      QVERIFY(w.SaveTo(path));
    }
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(path));
    QVERIFY(w.Result(RunKind::Stakes).RowCountLarge() > 100);
    QCOMPARE(w.Result(RunKind::Curves).RowCountLarge(), std::size_t{7});  // QD, five JDs, ZD
    QVERIFY(!w.IsStale(RunKind::Stakes));
    QVERIFY(!w.IsModified());
    QVERIFY(recorder.messages.empty());
  }

  // A LandXML import is a new, untitled project: Ctrl+S asks for a name and the project open
  // before keeps its bytes; the elements show a straight end's radius blank.
  void LandXmlImportStartsAnUntitledProject() {
    QTemporaryDir tmp;
    const QString project = tmp.filePath(QStringLiteral("old.alnproj")), xml = tmp.filePath(QStringLiteral("route.xml"));
    AlignmentForm jd;
    jd.Table(TableId::Jd) = JdRows(2);
    WriteFile(xml, QByteArray::fromStdString(ExportLandXmlText(jd)));
    platform::MessageRecorder recorder(survey::MessageAnswer::Cancel);
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.Form().projectName = "旧项目";
    w.PushFields();
    QVERIFY(w.SaveTo(project));
    QFile f(project);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    // Modified and the question cancelled: nothing imported.
    w.Model(TableId::Jd)->setData(w.Model(TableId::Jd)->index(1, 3), QStringLiteral("650"), Qt::EditRole);
    QVERIFY(!w.Transfers().ImportLandXml(xml));
    QCOMPARE(w.CurrentPath(), project);
    QVERIFY(w.Form().inputKind == InputKind::Jd);
    recorder.answer = survey::MessageAnswer::No;  // do not save the old one
    QVERIFY(w.Transfers().ImportLandXml(xml));
    QVERIFY(w.CurrentPath().isEmpty());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("未命名")));
    QVERIFY(w.IsModified());
    QVERIFY(w.Form().projectName != "旧项目");
    for (const auto& row : w.Form().Table(TableId::Elements)) {
      for (const std::string& cell : row) QVERIFY2(cell != "inf", row[0].c_str());
    }
    QCOMPARE(w.Form().Table(TableId::Elements)[1][2], std::string());  // a spiral from the straight
    const QString fresh = tmp.filePath(QStringLiteral("new.alnproj"));
    {
      platform::ScopedFileChoice choice(fresh);
      QVERIFY(w.Save());
    }
    QCOMPARE(w.CurrentPath(), fresh);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    // The imported table computes as it is shown.
    QVERIFY(w.ComputeAll());
    QVERIFY(w.Result(RunKind::Stakes).RowCountLarge() > 10);
  }

  // The window's field and CAD exports are the command line's files, byte for byte; the CASS
  // list puts east before north; stale stakes are not exported without a new run.
  void FieldExportsMatchTheBatchFiles() {
    QTemporaryDir tmp;
    const QString jd = tmp.filePath(QStringLiteral("route.csv"));
    WriteFile(jd, QByteArray::fromStdString(JdCsv()));
    platform::MessageRecorder recorder(survey::MessageAnswer::No);
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.Form().startStationText = "K10+000";
    w.Form().intervalText = "25";
    w.Form().offsetsText = "-5, 5";
    w.PushFields();
    const QString early = tmp.filePath(QStringLiteral("early.dat"));
    QVERIFY(!w.Transfers().ExportStakePoints(WindowTransfers::PointFile::Cass, early));  // nothing computed yet
    QVERIFY(!QFile::exists(early));
    QVERIFY(w.ComputeAll());
    const auto read = [](const QString& path) {
      QFile f(path);
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    };
    struct Case {
      const char* format;
      const char* file;
    };
    for (const Case& c : {Case{"cass", "w.dat"}, Case{"gsi16", "w.gsi"}, Case{"dxf", "w.dxf"}}) {
      const QString mine = tmp.filePath(QString::fromLatin1(c.file)), batch = tmp.filePath(QStringLiteral("batch.") + QString::fromLatin1(c.format));
      const std::string format = c.format;
      QVERIFY(format == "dxf" ? w.Transfers().ExportPlanDxf(mine)
                              : w.Transfers().ExportStakePoints(format == "cass" ? WindowTransfers::PointFile::Cass : WindowTransfers::PointFile::Gsi16, mine));
      QCOMPARE(BatchOutput({"stakes", "--jd", jd.toStdString(), "--start", "K10+000", "--interval", "25", "--offset=-5", "--offset=5",
                            "--out", batch.toStdString(), "--format", format}),
               std::string());
      const QByteArray bytes = read(mine);
      QVERIFY2(bytes.size() > 1000, c.format);
      QVERIFY2(bytes == read(batch), c.format);
    }
    QVERIFY(read(tmp.filePath(QStringLiteral("w.dat"))).startsWith("QD,,5000.000,3000.000,\r\n"));
    QVERIFY(recorder.messages.size() == 1);  // the refusal before the run
    // Stale: asked, declined, nothing written.
    w.Model(TableId::Jd)->setData(w.Model(TableId::Jd)->index(1, 3), QStringLiteral("650"), Qt::EditRole);
    const QString stale = tmp.filePath(QStringLiteral("stale.dat"));
    QVERIFY(!w.Transfers().ExportStakePoints(WindowTransfers::PointFile::Cass, stale));
    QVERIFY(!QFile::exists(stale));
    QCOMPARE(recorder.messages.size(), std::size_t{2});
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
