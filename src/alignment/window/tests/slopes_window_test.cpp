// Side slopes and measured points in the alignment window: the 边坡 table as a grid (typed,
// refused rows red), kept in the project; locate with the section's and slopes' columns as the
// command line prints them; the last point's move in words; the points the cross-section view
// draws.
//
// The route runs north from (0,0) for 200 m, so a point's X is its station and its Y its offset
// (right positive). The profile is level at 50.000 and the section a level 5 m lane each side:
// the edges are at ±5, elevation 50.000. Fill 1:1.5 and cut 1:1 on both sides.
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <sstream>

#include "alignment/cli/program.h"
#include "alignment/row_layout.h"
#include "alignment/window/main_window.h"
#include "alignment/window/project_file.h"
#include "alignment/window/section_tabs.h"
#include "platform/qt_host.h"
#include "platform/text_files.h"

using namespace survey::alignment::window;
using survey::alignment::ResultTable;
using survey::alignment::SlopeStakeValues;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows Slopes() { return {{"左", "填", "1.5"}, {"左", "挖", "1"}, {"右", "填", "1.5"}, {"右", "挖", "1"}}; }

AlignmentForm LevelForm() {
  AlignmentForm form;
  form.Table(TableId::Jd) = {{"QD", "0", "0", "", "", ""}, {"ZD", "200", "0", "", "", ""}};
  form.Table(TableId::Profile) = {{"0", "50", ""}, {"200", "50", ""}};
  form.section.Grid(SectionTableId::Section) = {{"左", "行车道", "5", "0", "1", "", ""}, {"右", "行车道", "5", "0", "1", "", ""}};
  form.section.Grid(SectionTableId::Slopes) = Slopes();
  return form;
}

// Rows of the points grid (name,x,y,z; the intended station and offset left blank).
Rows PointRows(Rows rows) {
  for (auto& row : rows) row.resize(AlignmentForm::Columns(TableId::Points).size());
  return rows;
}

// Points of every kind, the hand-worked one last: 2 m beyond the right edge, 1.5 m below it.
Rows FieldPoints() {
  return PointRows({{"IN", "60", "-2", "50.120"},    // on the lane: section_dz +0.120, fill_cut -0.120
                    {"NOZ", "60", "3", ""},          // no height: no dz, no slope stake
                    {"OFF", "-30", "0", "49.000"},   // before the start: outside, no numbers
                    {"CUT", "80", "-7", "51.200"},   // 2 m beyond the left edge, 1.2 above: move -0.800
                    {"TOE", "90", "8", "48.000"},    // on the fill's catch point: 5 + 2·1.5 = 8
                    {"P9", "100", "7", "48.500"}});  // catch 5 + 1.5·1.5 = 7.25, move +0.250
}

// The points as the command line's table name,x,y,z.
std::string PointsCsv(const AlignmentForm& form) {
  std::string csv = "name,x,y,z\n";
  for (const auto& row : form.Table(TableId::Points)) csv += row[0] + "," + row[1] + "," + row[2] + "," + row[3] + "\n";
  return csv;
}

std::string WriteText(const QTemporaryDir& dir, const char* name, const std::string& text) {
  const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
  (void)platform::WriteFileAtomically(path, text);
  return path;
}

// The command line's locate on the form's tables (points as name,x,y,z).
std::string CommandLocate(const AlignmentForm& form, bool slopes) {
  QTemporaryDir dir;
  std::vector<std::string> args = {"locate",
                                   "--jd", WriteText(dir, "jd.csv", form.TableCsv(TableId::Jd)),
                                   "--profile", WriteText(dir, "p.csv", form.TableCsv(TableId::Profile)),
                                   "--section", WriteText(dir, "s.csv", form.section.Csv(SectionTableId::Section)),
                                   "--points", WriteText(dir, "pts.csv", PointsCsv(form))};
  if (slopes) args.insert(args.end(), {"--slopes", WriteText(dir, "sl.csv", form.section.Csv(SectionTableId::Slopes))});
  std::ostringstream out, err;
  if (survey::alignment::cli::RunBatch(args, out, err) != 0) return "refused: " + err.str();
  return out.str();
}

std::shared_ptr<const ResultTable> Located(const AlignmentForm& form, RunKind kind) {
  const RunResult result = form.Run(kind);
  if (!result.ok) qWarning("%s", result.error.c_str());
  return result.ok ? result.table : nullptr;
}

}  // namespace

class SlopesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void MoveInWords_data() {
    QTest::addColumn<bool>("cut");
    QTest::addColumn<double>("move");
    QTest::addColumn<bool>("atCatch");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("words");
    QTest::newRow("out") << false << 0.25 << false << 3 << QStringLiteral("向外 0.250 m");
    QTest::newRow("in") << true << -0.12 << false << 3 << QStringLiteral("向内 0.120 m");
    QTest::newRow("toe of a fill") << false << 0.0 << true << 3 << QStringLiteral("已到坡脚");
    QTest::newRow("top of a cut") << true << 0.0 << true << 3 << QStringLiteral("已到坡口");
    // Staking is to the millimetre, however few places the tables show; more when asked.
    QTest::newRow("two places") << false << 0.012 << false << 2 << QStringLiteral("向外 0.012 m");
    QTest::newRow("four places") << true << -1.23456 << false << 4 << QStringLiteral("向内 1.2346 m");
  }
  void MoveInWords() {
    QFETCH(bool, cut);
    QFETCH(double, move);
    QFETCH(bool, atCatch);
    QFETCH(int, decimals);
    QFETCH(QString, words);
    SlopeStakeValues stake;
    stake.cut = cut;
    stake.move = move;
    stake.atCatch = atCatch;
    QCOMPARE(platform::ToQString(MoveWords(stake, decimals)), words);
  }

  // The window's rows are the command's, column for column, with and without the slopes.
  void LocateIsTheCommandsLocate_data() {
    QTest::addColumn<bool>("slopes");
    QTest::newRow("section") << false;
    QTest::newRow("section and slopes") << true;
  }
  void LocateIsTheCommandsLocate() {
    QFETCH(bool, slopes);
    AlignmentForm form = LevelForm();
    if (!slopes) form.section.Grid(SectionTableId::Slopes).clear();
    form.Table(TableId::Points) = FieldPoints();
    const auto table = Located(form, RunKind::LocateTable);
    QVERIFY(table);
    const std::string csv = table->Csv();
    QCOMPARE(csv, CommandLocate(form, slopes));
    QCOMPARE(csv.find("slope_status") != std::string::npos, slopes);
    // The one point without a Z: the section's elevation alone, as locate --x --y --section.
    form.locateXText = "100";
    form.locateYText = "-3";
    const auto one = Located(form, RunKind::LocatePoint);
    QVERIFY(one);
    QCOMPARE(one->Csv(), std::string("name,x,y,station,offset,status,grade_elevation,elevation,grade,section_elevation\n"
                                     ",100.000,-3.000,100.000,-3.000,ok,50.000,50.000,0.0000,50.000\n"));
    // The hand-worked point: catch 7.250, move +0.250; 0.167 of fill up to the slope there
    // (50 − 2/1.5), which without slopes nothing gives.
    QCOMPARE(table->Cells(5).back(), std::string(slopes ? "0.167" : ""));
    if (slopes) {
      const std::vector<std::string> shown = table->DisplayCells(5);
      const auto& keys = table->Keys();
      const auto at = [&](const char* key) { return shown[std::find(keys.begin(), keys.end(), key) - keys.begin()]; };
      QCOMPARE(at("kind"), std::string("填"));
      QCOMPARE(at("catch_offset"), std::string("7.250"));
      QCOMPARE(at("move"), std::string("0.250"));
      QCOMPARE(table->DisplayCells(4)[std::find(keys.begin(), keys.end(), "slope_status") - keys.begin()], std::string("坡脚"));
      // Titled as a slope's kind, where an element route's curve table says 类型 for its own.
      ResultGridModel grid;
      grid.SetTable(table);
      const int kind = grid.KeyColumn("kind");
      QCOMPARE(grid.headerData(kind, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("边坡类型"));
      QVERIFY(grid.TsvText().contains(QStringLiteral("\t边坡类型\t")));
      grid.SetTable(std::make_shared<ResultTable>(ResultTable::Kind::Curves, survey::alignment::layout::CurveKeys(true),
                                                  survey::alignment::CellFormat{}));
      QVERIFY2(grid.TsvText().contains(QStringLiteral("\t类型\t")) && !grid.TsvText().contains(QStringLiteral("边坡")),
               qPrintable(grid.TsvText()));
    }
  }

  // The last point's move: the hand-worked point, the catch points, and none for a point on the
  // surface, off the route or without a height.
  void LastPointsMove_data() {
    QTest::addColumn<QStringList>("last");
    QTest::addColumn<QString>("text");
    QTest::newRow("fill, move out") << QStringList{"P9", "100", "7", "48.5"} << QStringLiteral("P9  K0+100.000  向外 0.250 m");
    QTest::newRow("cut, move in") << QStringList{"C", "80", "-7", "51.2"} << QStringLiteral("C  K0+080.000  向内 0.800 m");
    QTest::newRow("at the toe") << QStringList{"T", "90", "8", "48"} << QStringLiteral("T  K0+090.000  已到坡脚");
    // Within 0.01 m of the cut's top (1 m above, 1:1 → 6.000): set.
    QTest::newRow("at the top") << QStringList{"K", "90", "-6.008", "51"} << QStringLiteral("K  K0+090.000  已到坡口");
    QTest::newRow("on the lane") << QStringList{"L", "90", "4", "50.2"} << QString();
    QTest::newRow("off the route") << QStringList{"O", "230", "7", "48.5"} << QString();
    QTest::newRow("no height") << QStringList{"N", "100", "7", ""} << QString();
  }
  void LastPointsMove() {
    QFETCH(QStringList, last);
    QFETCH(QString, text);
    AlignmentForm form = LevelForm();
    form.Table(TableId::Points) = FieldPoints();
    std::vector<std::string> row;
    for (const QString& cell : last) row.push_back(cell.toStdString());
    form.Table(TableId::Points).push_back(PointRows({row}).front());
    const auto table = Located(form, RunKind::LocateTable);
    QVERIFY(table);
    QCOMPARE(platform::ToQString(LastMoveText(*table)), text);
    // The one point, typed with its Z: the same move, without a name.
    form.locateXText = row[1];
    form.locateYText = row[2];
    form.locateZText = row[3];
    const auto one = Located(form, RunKind::LocatePoint);
    QVERIFY(one);
    const QString expected = text.isEmpty() ? text : text.mid(text.indexOf(QStringLiteral("K0+")));
    QCOMPARE(platform::ToQString(LastMoveText(*one)), expected);
  }

  // In the window: typed into the 边坡 grid with keys, a refused row turns red and names its
  // row; once fixed, a locate shows the last point's move in large type, greyed when stale.
  void TypedSlopesAndTheMoveInTheWindow() {
    // A commit that reset the grid lost the current cell, and every key after it.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("commitData|editor")));
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    w.Form() = LevelForm();
    w.Form().section.Grid(SectionTableId::Slopes).clear();
    w.Form().Table(TableId::Points) = FieldPoints();
    w.PushFields();
    w.show();
    auto* left = w.findChild<QTabWidget*>(QStringLiteral("leftTabs"));
    left->setCurrentWidget(w.Sections());
    w.findChild<QTabWidget*>(QStringLiteral("sectionTabs"))->setCurrentIndex(static_cast<int>(SectionTableId::Slopes));
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTableView* grid = w.Sections()->GridView(SectionTableId::Slopes);
    SectionGridModel* model = w.Sections()->Model(SectionTableId::Slopes);
    for (int i = 0; i < 4; ++i) w.Sections()->InsertRowInCurrent();
    QCOMPARE(model->rowCount(), 4);
    // The keys of the English words (the reader takes them beside 左/右 and 填/挖).
    const QStringList typed[] = {{"left", "fill", "1.5"}, {"left", "cut", "1"}, {"right", "fill", "0"}, {"right", "cut", "1"}};
    // Keys go where the keyboard is: the open editor, or the grid between cells. Tab moves on
    // to the next cell, after the last column to the next row.
    const auto type = [](const QString& text) {
      for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    };
    const auto key = [](Qt::Key k) {
      QTest::keyClick(QApplication::focusWidget(), k);
      QCoreApplication::processEvents();  // a commit lands on the next turn of the event loop
    };
    grid->setFocus();
    grid->setCurrentIndex(model->index(0, 0));
    for (const QStringList& row : typed) {
      for (const QString& cell : row) {
        type(cell);
        key(Qt::Key_Tab);
      }
    }
    QCOMPARE(w.Form().section.Grid(SectionTableId::Slopes)[2], (std::vector<std::string>{"right", "fill", "0"}));
    QVERIFY(model->Problem().has_value());
    QCOMPARE(model->Problem()->row, 2);
    QVERIFY(model->data(model->index(2, 2), Qt::BackgroundRole).isValid());
    QVERIFY(!model->data(model->index(1, 2), Qt::BackgroundRole).isValid());
    const QString tip = model->data(model->index(2, 2), Qt::ToolTipRole).toString();
    QVERIFY2(tip.startsWith(QStringLiteral("边坡第 3 行：")) && tip.contains(QStringLiteral("坡率")), qPrintable(tip));
    // A locate now is refused with the table's reason, and shows no move.
    auto* move = w.findChild<QLabel*>(QStringLiteral("moveLabel"));
    QVERIFY(move);
    QVERIFY(w.ComputeLocateTable());
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY(platform::ToQString(recorder.messages.front().text).contains(QStringLiteral("边坡第 3 行")));
    QVERIFY(move->isHidden());
    // Fixed by typing over it, the mark goes and the move appears.
    grid->setFocus();
    grid->setCurrentIndex(model->index(2, 2));
    type(QStringLiteral("1.5"));
    key(Qt::Key_Return);
    QCOMPARE(grid->currentIndex(), model->index(3, 2));  // Enter moved down, as in the source grids
    QVERIFY(!model->Problem().has_value());
    QVERIFY(!model->data(model->index(2, 2), Qt::BackgroundRole).isValid());
    left->setCurrentIndex(left->indexOf(w.findChild<QTableView*>(QStringLiteral("result2"))->parentWidget()));
    QVERIFY(w.ComputeLocateTable());
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QCOMPARE(move->text(), QStringLiteral("P9  K0+100.000  向外 0.250 m"));
    QVERIFY(move->isVisible() && move->isEnabled());
    QVERIFY(move->font().bold() && move->font().pointSize() >= 24);
    // The point's row shows its section with the points about it (TOE at K0+090, P9 itself).
    w.ShowResultRow(RunKind::LocatePoint, 5);
    QVERIFY(w.SectionView()->Current().has_value());
    QCOMPARE(w.SectionView()->Marks().size(), std::size_t{2});
    QCOMPARE(w.SectionView()->Marks().back().name, std::string("P9"));
    // A changed height makes it stale until the next run; a point on the lane clears it.
    w.Model(TableId::Points)->setData(w.Model(TableId::Points)->index(5, 3), QStringLiteral("48.6"), Qt::EditRole);
    QVERIFY(!move->isEnabled());
    w.Model(TableId::Points)->setData(w.Model(TableId::Points)->index(5, 2), QStringLiteral("4"), Qt::EditRole);
    QVERIFY(w.ComputeLocateTable());
    QVERIFY(move->isHidden());
  }

  // A version 2 program opens a file and saves back only what it knows, so each thing it does not
  // know makes the file version 3 (which it refuses); a project with none of them is the
  // version 2 file, without the keys it never had, and a tolerance at its default is no content.
  void FieldChecksMakeTheFileVersion3_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("version");
    QTest::newRow("none") << "" << 2;
    QTest::newRow("slopes") << "slopes" << 3;
    QTest::newRow("a blank slopes row") << "blank slopes row" << 3;
    QTest::newRow("locateZ") << "locateZ" << 3;
    QTest::newRow("intended position") << "intended" << 3;
    QTest::newRow("xy tolerance") << "toleranceXy" << 3;
    QTest::newRow("z tolerance") << "toleranceZ" << 3;
    QTest::newRow("tolerances at their defaults") << "default tolerances" << 2;
  }
  void FieldChecksMakeTheFileVersion3() {
    QFETCH(QString, content);
    QFETCH(int, version);
    AlignmentForm form = LevelForm();
    form.section.Grid(SectionTableId::Slopes).clear();
    form.Table(TableId::Points) = PointRows({{"A", "10", "1", "50"}});
    if (content == "slopes") form.section.Grid(SectionTableId::Slopes) = Slopes();
    if (content == "blank slopes row") form.section.Grid(SectionTableId::Slopes) = {{"", "", ""}};
    if (content == "locateZ") form.locateZText = "48.5";
    if (content == "intended") form.Table(TableId::Points)[0][4] = "K0+010", form.Table(TableId::Points)[0][5] = "1";
    if (content == "toleranceXy") form.toleranceXyText = "0.03";
    if (content == "toleranceZ") form.toleranceZText = "+0.010/-0.015";
    if (content == "default tolerances") form.toleranceXyText = "0.05", form.toleranceZText = "0.01";
    const QByteArray bytes = ProjectBytes(form);
    QVERIFY2(bytes.contains("\"version\": " + QByteArray::number(version)), bytes.constData());
    if (version == 2) {
      for (const char* key : {"slopes", "locateZ", "toleranceXy", "toleranceZ"}) QVERIFY2(!bytes.contains(key), key);
    }
    QString error;
    const std::optional<AlignmentForm> back = FormFromProjectBytes(bytes, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(back->section.Grid(SectionTableId::Slopes), form.section.Grid(SectionTableId::Slopes));
    QCOMPARE(back->locateZText, form.locateZText);
    QCOMPARE(back->Table(TableId::Points), form.Table(TableId::Points));
    QCOMPARE(back->toleranceXyText, form.toleranceXyText);
    QCOMPARE(back->toleranceZText, form.toleranceZText);
    QCOMPARE(ProjectBytes(*back), bytes);
  }

  // The project keeps the 边坡 table and the one point's Z; a project without them is written
  // as before (no such keys), and an older one opens with none.
  void ProjectKeepsTheSlopes() {
    AlignmentForm form = LevelForm();
    form.locateZText = "48.5";
    QString error;
    const QByteArray bytes = ProjectBytes(form);
    const std::optional<AlignmentForm> back = FormFromProjectBytes(bytes, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(back->section.Grid(SectionTableId::Slopes), Slopes());
    QCOMPARE(back->locateZText, std::string("48.5"));
    QVERIFY(back->section.HasSlopes());
    // A blank row typed in is kept as it is.
    form.section.Grid(SectionTableId::Slopes).push_back({"", "", ""});
    QCOMPARE(FormFromProjectBytes(ProjectBytes(form), &error)->section.Grid(SectionTableId::Slopes).size(), std::size_t{5});

    AlignmentForm plain = LevelForm();
    plain.section.Grid(SectionTableId::Slopes).clear();
    const QByteArray plainBytes = ProjectBytes(plain);
    QVERIFY(!plainBytes.contains("slopes") && !plainBytes.contains("locateZ"));
    QVERIFY(plainBytes.contains("\"version\": 2"));
    QVERIFY(bytes.contains("\"version\": 3"));
    const std::optional<AlignmentForm> reopened = FormFromProjectBytes(plainBytes, &error);
    QVERIFY(reopened && !reopened->section.HasSlopes());
    QCOMPARE(ProjectBytes(*reopened), plainBytes);

    // A damaged 边坡 table refuses the file, naming the table.
    QByteArray damaged = bytes;
    damaged.replace("\"1.5\"\n", "\n");
    damaged.replace("\"填\",", "\"填\"");
    QVERIFY(damaged != bytes);
    QVERIFY(!FormFromProjectBytes(damaged, &error));
    QVERIFY2(error.contains(QStringLiteral("边坡")), qPrintable(error));
  }

  // The cross-section view draws the points with a height within 10 m of its station (limits
  // included), each with its dz against the surface, or the slope beyond the edge.
  void PointsNearTheStation() {
    AlignmentForm form = LevelForm();
    form.Table(TableId::Points) = PointRows({{"A", "89.99", "2", "50.1"},  // 10.01 before: left out
                                   {"B", "90", "-3", "49.9"},    // 10 before: drawn, dz −0.1
                                   {"C", "100", "7", "48.5"},    // beyond the edge: the fill's dz
                                   {"D", "100", "1", ""},        // no height
                                   {"E", "105", "x", "50"},      // not a number (red in its grid)
                                   {"F", "110", "12", "50.3"},   // 10 after, beyond: the cut's dz
                                   {"G", "110.02", "0", "50"},   // 10.02 after: left out
                                   {"H", "-5", "0", "50"}});     // before the start
    std::string error;
    const auto design = form.Design(true, &error);
    QVERIFY2(design, error.c_str());
    SectionProblem problem;
    const auto model = form.section.Model(design->route.Stations(), &problem);
    QVERIFY(model);
    const auto slopes = form.section.Slopes(nullptr);
    QVERIFY(slopes);
    const std::vector<SectionMark> marks = MarksNear(form.Table(TableId::Points), *design, *model, &*slopes, 100);
    QCOMPARE(marks.size(), std::size_t{3});
    QCOMPARE(marks[0].name, std::string("B"));
    QCOMPARE(marks[0].offset, -3.0);
    QCOMPARE(marks[0].z, 49.9);
    QVERIFY(std::fabs(*marks[0].dz + 0.1) < 1e-9 && !marks[0].onSlope);
    QCOMPARE(marks[1].name, std::string("C"));
    QVERIFY(std::fabs(*marks[1].dz - (48.5 - (50 - 2 / 1.5))) < 1e-9 && marks[1].onSlope);
    QCOMPARE(marks[2].name, std::string("F"));
    QVERIFY(std::fabs(*marks[2].dz - (50.3 - (50 + 7))) < 1e-9 && marks[2].onSlope);
    // Without slopes a point beyond the edge is drawn with no dz.
    const std::vector<SectionMark> bare = MarksNear(form.Table(TableId::Points), *design, *model, nullptr, 100);
    QCOMPARE(bare.size(), std::size_t{3});
    QVERIFY(!bare[1].dz && !bare[1].onSlope);
    // Without a profile the heights mean nothing against the section: none.
    form.Table(TableId::Profile).clear();
    const auto flat = form.Design(true, &error);
    QVERIFY(MarksNear(form.Table(TableId::Points), *flat, *model, &*slopes, 100).empty());

    // The view of the panel gets them with the station.
    QUndoStack undo;
    CrossSectionView view;
    AlignmentForm shown = LevelForm();
    shown.Table(TableId::Points) = PointRows({{"B", "90", "-3", "49.9"}, {"G", "110.02", "0", "50"}});
    SectionPanel panel(shown, undo, &view);
    QVERIFY(panel.ShowStation(100));
    QCOMPARE(view.Marks().size(), std::size_t{1});
    view.resize(640, 360);
    QVERIFY(!view.grab().isNull());
  }
};

QTEST_MAIN(SlopesWindowTest)
#include "slopes_window_test.moc"
