// The alignment window's files: projects saved, reopened, damaged or not regular files,
// LandXML out and in, the printed reports and the field and CAD exports, each the batch
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

class AlignmentWindowFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8()); }
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

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(AlignmentWindowFilesTest)
#include "window_files_test.moc"
