// The cross-section page of the alignment window: the tables as grids (red rows from the
// readers' refusals, paste, undo), the rows the `section` command prints, the view of a
// selected stake, and the project file's cross-section tables (and older projects without).
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "alignment/alignment_error.h"
#include "alignment/cli/program.h"
#include "alignment/window/main_window.h"
#include "alignment/window/project_file.h"
#include "alignment/window/section_tabs.h"
#include "platform/qt_host.h"
#include "platform/testing/pdf_columns.h"
#include "platform/text_files.h"

using namespace survey::alignment::window;
using survey::alignment::cli::RunBatch;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// A straight route 200 m long from K0+000, north.
Rows StraightJd() { return {{"QD", "0", "0", "", "", ""}, {"ZD", "200", "0", "", "", ""}}; }

// Lane 3.5 m at -2 % and earth shoulder 0.75 m at -4 % each side.
Rows TwoLaneSection() {
  return {{"左", "行车道", "3.5", "-2", "1", "", ""},
          {"左", "土路肩", "0.75", "-4", "0", "", ""},
          {"右", "行车道", "3.5", "-2", "1", "", ""},
          {"右", "土路肩", "0.75", "-4", "0", "", ""}};
}

// -2/-2 at K0+020 to +6/-6 at K0+060: half way (K0+040) the slopes are +2/-4.
Rows Superelevation() { return {{"K0+020", "-2", "-2"}, {"K0+060", "6", "-6"}}; }

AlignmentForm RouteForm() {
  AlignmentForm form;
  form.Table(TableId::Jd) = StraightJd();
  form.section.Grid(SectionTableId::Section) = TwoLaneSection();
  form.section.Grid(SectionTableId::Superelevation) = Superelevation();
  return form;
}

std::string WriteText(const QTemporaryDir& dir, const char* name, const std::string& text) {
  const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
  (void)platform::WriteFileAtomically(path, text);
  return path;
}

std::string Joined(const SectionRowsResult& rows) {
  std::string out;
  for (std::size_t k = 0; k < rows.keys.size(); ++k) out += (k ? "," : "") + rows.keys[k];
  out += '\n';
  for (const auto& row : rows.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) out += (c ? "," : "") + row[c];
    out += '\n';
  }
  return out;
}

}  // namespace

class SectionWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The window's rows are the command's rows, line for line, with and without a profile.
  void RowsAreTheCommandsRows_data() {
    QTest::addColumn<bool>("withProfile");
    QTest::newRow("relative") << false;
    QTest::newRow("profile") << true;
  }
  void RowsAreTheCommandsRows() {
    QFETCH(bool, withProfile);
    AlignmentForm form = RouteForm();
    form.intervalText = "10";
    form.section.Grid(SectionTableId::Widening) = {{"K0+100", "0", "0"}, {"K0+140", "0.8", "0"}};
    form.section.options.widening = survey::alignment::section::Transition::Cubic;
    QTemporaryDir dir;
    std::vector<std::string> args = {"section", "--jd", WriteText(dir, "jd.csv", form.TableCsv(TableId::Jd)),
                                     "--section", WriteText(dir, "s.csv", form.section.Csv(SectionTableId::Section)),
                                     "--superelevation",
                                     WriteText(dir, "e.csv", form.section.Csv(SectionTableId::Superelevation)),
                                     "--widening", WriteText(dir, "w.csv", form.section.Csv(SectionTableId::Widening)),
                                     "--widening-transition", "cubic", "--interval", "10"};
    if (withProfile) {
      form.Table(TableId::Profile) = {{"0", "100", ""}, {"200", "104", ""}};
      args.insert(args.end(), {"--profile", WriteText(dir, "p.csv", form.TableCsv(TableId::Profile))});
    }
    std::ostringstream out, err;
    QCOMPARE(RunBatch(args, out, err), 0);
    // 21 stakes of five break points each, and the header.
    const std::string printed = out.str();
    QCOMPARE(std::count(printed.begin(), printed.end(), '\n'), 106);

    QUndoStack undo;
    CrossSectionView view;
    SectionPanel panel(form, undo, &view);
    QString refused;
    panel.refuse = [&](const QString& t) { refused = t; };
    QVERIFY2(panel.Compute(), qPrintable(refused));
    QCOMPARE(Joined(panel.Rows().Rows()), printed);
  }

  // The view shows the section of the station asked for: at K0+040 the slopes are +2/-4.
  void ViewShowsTheSelectedStation() {
    // From K1+000, so that a station taken for a chainage shows another section.
    AlignmentForm form = RouteForm();
    form.startStationText = "K1+000";
    form.section.Grid(SectionTableId::Superelevation) = {{"K1+020", "-2", "-2"}, {"K1+060", "6", "-6"}};
    form.Table(TableId::Profile) = {{"K1+000", "100", ""}, {"K1+200", "104", ""}};  // 2 % grade
    QUndoStack undo;
    CrossSectionView view;
    SectionPanel panel(form, undo, &view);
    QVERIFY(panel.ShowStation(1040));
    const auto& at = view.Current();
    QVERIFY(at.has_value());
    // Design line 100.8; left lane edge +2 % over 3.5 m, then the shoulder -4 % over 0.75 m.
    QCOMPARE(*at->ElevationAt(0), 100.8);
    QVERIFY(std::fabs(*at->ElevationAt(-3.5) - 100.87) < 1e-9);
    QVERIFY(std::fabs(*at->ElevationAt(-4.25) - 100.84) < 1e-9);
    QVERIFY(std::fabs(*at->ElevationAt(3.5) - 100.66) < 1e-9);
    QVERIFY(std::fabs(*at->ElevationAt(4.25) - 100.63) < 1e-9);
    QVERIFY(!at->ElevationAt(4.3));
    // Drawn with its parts' names: the view keeps what the section points into.
    view.resize(640, 360);
    QVERIFY(!view.grab().isNull());
    // The rows show K stations with the rows' places and keep the command's metres.
    QVERIFY(panel.Compute());
    const QModelIndex station = panel.Rows().index(0, 1);
    QCOMPARE(panel.Rows().data(station, Qt::DisplayRole).toString(), QStringLiteral("K1+000.000"));
    QCOMPARE(panel.Rows().Rows().rows[0][1], std::string("1000.000"));
    // Off the route, or without a typical section, nothing is drawn.
    QVERIFY(!panel.ShowStation(40));
    QVERIFY(!view.Current());
    form.section.Grid(SectionTableId::Section).clear();
    QVERIFY(!panel.ShowStation(1040));
  }

  // A refusal marks the grid row it names, counting past blank rows the reader never sees.
  void RefusalMarksItsRow_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("badRow");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("reason");
    QTest::newRow("width") << 0 << 3 << QStringLiteral("-1") << QStringLiteral("宽度");
    QTest::newRow("slope") << 0 << 3 << QStringLiteral("-25") << QStringLiteral("±20");
    QTest::newRow("super slope") << 1 << 3 << QStringLiteral("30") << QStringLiteral("±20");
  }
  void RefusalMarksItsRow() {
    QFETCH(int, table);
    QFETCH(int, badRow);
    QFETCH(QString, cell);
    QFETCH(QString, reason);
    AlignmentForm form = RouteForm();
    const auto id = static_cast<SectionTableId>(table);
    Rows& grid = form.section.Grid(id);
    grid.insert(grid.begin() + 1, std::vector<std::string>(grid[0].size()));  // a blank row
    const int column = id == SectionTableId::Section ? (reason == QStringLiteral("宽度") ? 2 : 3) : 1;
    if (id != SectionTableId::Section) grid.push_back({"K0+080", "0", "0"});
    grid[static_cast<std::size_t>(badRow)][static_cast<std::size_t>(column)] = cell.toStdString();
    QUndoStack undo;
    CrossSectionView view;
    SectionPanel panel(form, undo, &view);
    SectionGridModel* model = panel.Model(id);
    QVERIFY(model->Problem().has_value());
    QCOMPARE(model->Problem()->row, badRow);
    QVERIFY(model->data(model->index(badRow, 0), Qt::BackgroundRole).isValid());
    QVERIFY(!model->data(model->index(0, 0), Qt::BackgroundRole).isValid());
    const QString tip = model->data(model->index(badRow, column), Qt::ToolTipRole).toString();
    QVERIFY2(tip.contains(reason) && tip.contains(QStringLiteral("第 %1 行").arg(badRow + 1)), qPrintable(tip));
    // Fixed by an edit, the mark goes.
    QVERIFY(model->setData(model->index(badRow, column), QStringLiteral("2"), Qt::EditRole));
    QVERIFY(!model->Problem().has_value());
  }

  // A row off the route is found only against the route: the compute marks it.
  void RowOffTheRouteIsMarkedOnCompute() {
    AlignmentForm form = RouteForm();
    form.section.Grid(SectionTableId::Superelevation).push_back({"K0+900", "0", "0"});
    QUndoStack undo;
    CrossSectionView view;
    SectionPanel panel(form, undo, &view);
    QVERIFY(!panel.Model(SectionTableId::Superelevation)->Problem());
    QString refused;
    panel.refuse = [&](const QString& t) { refused = t; };
    QVERIFY(!panel.Compute());
    QVERIFY(refused.contains(QStringLiteral("超高表")));
    QCOMPARE(panel.Model(SectionTableId::Superelevation)->Problem()->row, 2);
    QCOMPARE(panel.Rows().rowCount(), 0);
  }

  // In the window: an opened project fills the grids, a stake selected in the stake list is
  // drawn, and the print menu's 路基设计表 is the report command's, word for word.
  void WindowOpensDrawsAndPrints() {
    QTemporaryDir dir;
    AlignmentForm form = RouteForm();
    form.projectName = "route";
    const QString project = dir.filePath(QStringLiteral("p.alnproj"));
    QVERIFY(SaveProject(form, project, nullptr));
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(project));
    QCOMPARE(w.Sections()->Model(SectionTableId::Section)->rowCount(), 4);
    QCOMPARE(w.Sections()->Model(SectionTableId::Superelevation)->rowCount(), 2);
    QVERIFY(!w.IsModified());

    QVERIFY(w.ComputeAll());
    w.ShowResultRow(RunKind::Stakes, 2);  // K0+040
    const auto& at = w.SectionView()->Current();
    QVERIFY(at.has_value());
    QVERIFY(std::fabs(*at->ElevationAt(-3.5) - 0.07) < 1e-9);
    QVERIFY(std::fabs(*at->ElevationAt(3.5) + 0.14) < 1e-9);

    const QString windowPdf = dir.filePath(QStringLiteral("window.pdf")), batchPdf = dir.filePath(QStringLiteral("batch.pdf"));
    QVERIFY(w.Printing().ExportSectionsPdf(windowPdf));
    const QString jd = QString::fromStdString(WriteText(dir, "route.csv", form.TableCsv(TableId::Jd)));
    const QString sectionCsv = QString::fromStdString(WriteText(dir, "s.csv", form.section.Csv(SectionTableId::Section)));
    const QString superCsv = QString::fromStdString(WriteText(dir, "e.csv", form.section.Csv(SectionTableId::Superelevation)));
    QProcess p;
    p.start(QStringLiteral(ALIGNMENT_PROGRAM),
            {QStringLiteral("report"), QStringLiteral("--table"), QStringLiteral("sections"), QStringLiteral("--pdf"), batchPdf,
             QStringLiteral("--jd"), jd, QStringLiteral("--section"), sectionCsv, QStringLiteral("--superelevation"), superCsv});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QString error;
    const QString printed = platform::testing::PdfPlainText(windowPdf, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(printed.contains(QStringLiteral("路基设计表")));
    QCOMPARE(printed, platform::testing::PdfPlainText(batchPdf, &error));
    QVERIFY(recorder.messages.empty());

    // An option chosen is the form's and marks the project modified.
    auto* rotate = w.findChild<QComboBox*>(QStringLiteral("rotateAbout"));
    rotate->setCurrentIndex(rotate->findData(QStringLiteral("inner-edge")));
    QVERIFY(w.Form().section.options.rotateAbout == survey::alignment::section::RotateAbout::InnerEdge);
    QVERIFY(w.IsModified());

    // Without a typical section nothing is printed and the window says why.
    w.Sections()->Model(SectionTableId::Section)->RemoveRowList({0, 1, 2, 3});
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    QVERIFY(!w.Printing().ExportSectionsPdf(none));
    QVERIFY(!QFile::exists(none));
    QCOMPARE(recorder.messages.size(), std::size_t{1});
  }

  // Rows beyond the grid's cap are refused whole, not cut short.
  void TooManyRowsAreRefused() {
    AlignmentForm form = RouteForm();
    std::string error;
    const auto design = form.Design(false, &error);
    QVERIFY(design);
    SectionProblem problem;
    const auto model = form.section.Model(design->route.Stations(), &problem);
    QVERIFY(model);
    survey::alignment::StakeOptions stakes;  // every 20 m: 11 stakes of 5 rows
    QCOMPARE(SectionRowsOf(design->route, *model, nullptr, stakes, 3, 55).rows.size(), std::size_t{55});
    QVERIFY_THROWS_EXCEPTION(survey::alignment::AlignmentError, SectionRowsOf(design->route, *model, nullptr, stakes, 3, 54));
  }

  void PasteAndUndo() {
    AlignmentForm form;
    QUndoStack undo;
    CrossSectionView view;
    SectionPanel panel(form, undo, &view);
    SectionGridModel* model = panel.Model(SectionTableId::Widening);
    model->PasteBlock(0, 0, QStringLiteral("K0+100\t0\t0\r\nK0+140\t0.8\t0\textra\n"));
    const Rows pasted = {{"K0+100", "0", "0"}, {"K0+140", "0.8", "0"}};
    QCOMPARE(form.section.Grid(SectionTableId::Widening), pasted);
    model->PasteBlock(1, 1, QStringLiteral("1.2"));
    QCOMPARE(form.section.Grid(SectionTableId::Widening)[1][1], std::string("1.2"));
    undo.undo();
    QCOMPARE(form.section.Grid(SectionTableId::Widening), pasted);
    undo.undo();
    QVERIFY(form.section.Grid(SectionTableId::Widening).empty());
    QCOMPARE(model->rowCount(), 0);
    // The edit menu's rows go to the table tab shown, as wide as its columns.
    panel.InsertRowInCurrent();
    QCOMPARE(form.section.Grid(SectionTableId::Section), Rows(1, std::vector<std::string>(7)));
    panel.GridView(SectionTableId::Section)->setCurrentIndex(panel.Model(SectionTableId::Section)->index(0, 0));
    panel.DeleteRowsInCurrent();
    QVERIFY(form.section.Grid(SectionTableId::Section).empty());
  }

  // The project keeps the tables and options; an older project (no cross-sections) opens.
  void ProjectKeepsTheSections() {
    AlignmentForm form = RouteForm();
    form.section.Grid(SectionTableId::Widening) = {{"K0+100", "0", "0"}, {"K0+140", "0.8", ""}};
    form.section.options = {survey::alignment::section::ProfileAt::Edge, survey::alignment::section::RotateAbout::InnerEdge,
                            survey::alignment::section::Transition::Cubic};
    QString error;
    const std::optional<AlignmentForm> back = FormFromProjectBytes(ProjectBytes(form), &error);
    QVERIFY2(back, qPrintable(error));
    for (SectionTableId id : kSectionTables) QCOMPARE(back->section.Grid(id), form.section.Grid(id));
    QVERIFY(back->section.options.profileAt == survey::alignment::section::ProfileAt::Edge);
    QVERIFY(back->section.options.rotateAbout == survey::alignment::section::RotateAbout::InnerEdge);
    QVERIFY(back->section.options.widening == survey::alignment::section::Transition::Cubic);
    QVERIFY(ProjectBytes(form).contains("\"version\": 2"));
  }
  void OlderProjectOpens() {
    const QByteArray v1 = R"({"format": "route-survey-alignment", "version": 1, "inputKind": "jd", "degrees": false,
      "fields": {"startStation": "K1+000"},
      "tables": {"jd": [["QD","0","0","","",""],["ZD","200","0","","",""]]}})";
    QString error;
    const std::optional<AlignmentForm> form = FormFromProjectBytes(v1, &error);
    QVERIFY2(form, qPrintable(error));
    QCOMPARE(form->startStationText, std::string("K1+000"));
    QCOMPARE(form->Table(TableId::Jd).size(), std::size_t(2));
    QVERIFY(!form->section.HasSection());
    QVERIFY(form->section.options.profileAt == survey::alignment::section::ProfileAt::Line);
  }
  void DamagedSectionChangesNothing_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("reason");
    QTest::newRow("option") << QByteArray("\"rotateAbout\": \"inner-edge\"") << QByteArray("\"rotateAbout\": \"outer\"")
                            << QStringLiteral("rotateAbout");
    QTest::newRow("short row") << QByteArray("\"K0+140\",") << QByteArray() << QStringLiteral("加宽表第 2 行的格数不对");
    QTest::newRow("not an object") << QByteArray("\"section\": {") << QByteArray("\"section\": 3, \"x\": {")
                                   << QStringLiteral("横断面");
  }
  void DamagedSectionChangesNothing() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, reason);
    AlignmentForm form = RouteForm();
    form.section.Grid(SectionTableId::Widening) = {{"K0+100", "0", "0"}, {"K0+140", "0.8", "0"}};
    form.section.options.rotateAbout = survey::alignment::section::RotateAbout::InnerEdge;
    QByteArray bytes = ProjectBytes(form);
    QVERIFY(bytes.contains(from));
    bytes.replace(from, to);
    QString error;
    QVERIFY(!FormFromProjectBytes(bytes, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
  }
};

QTEST_MAIN(SectionWindowTest)
#include "section_window_test.moc"
