// The cross-section page as the surveyor meets it: the `section` command's table files through
// 文件 › 导入表格 (GBK and Chinese headers, one undo step, a refused file changing nothing), the
// view drawn again when a table or an option changes under the station it shows, and the parts'
// labels clear of the edges' ticks and elevations.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sstream>

#include "alignment/cli/program.h"
#include "alignment/window/main_window.h"
#include "alignment/window/project_file.h"
#include "alignment/window/section_tabs.h"
#include "platform/qt_host.h"
#include "platform/text_files.h"

using namespace survey::alignment::window;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The command-line fixtures' files (section/tests/section_commands_test.cpp): straight north
// from (1000, 2000), the profile rising 1 % from 49.00, a two-lane template.
const char* const kJd = "name,x,y,r\nQD,1000,2000\nZD,2000,2000\n";
const char* const kProfile = "station,elevation\n0,49\n300,52\n";
const char* const kSection =
    "side,part,width,slope,super\nleft,行车道,3.5,-2,1\nleft,土路肩,0.75,-4,0\n"
    "right,行车道,3.5,-2,1\nright,土路肩,0.75,-4,0\n";
const char* const kSuper = "station,left,right\nK0+100,-2,-2\nK0+200,6,-6\n";
const char* const kWidening = "station,left,right\nK0+100,0,0\nK0+200,0,1\n";

QString Write(const QTemporaryDir& dir, const QString& name, const std::string& text, bool gbk = false) {
  const QString path = dir.filePath(name);
  const survey::Outcome written = gbk ? platform::WriteGbkFile(path.toStdString(), text)
                                      : platform::WriteFileAtomically(path.toStdString(), text);
  return written.ok() ? path : QString();
}

QAction* ImportEntry(AlignmentWindow& w, const QString& title) {
  for (QAction* top : w.menuBar()->actions()) {
    if (top->text() != QStringLiteral("文件(&F)")) continue;
    for (QAction* action : top->menu()->actions()) {
      if (action->text() != QStringLiteral("导入表格")) continue;
      for (QAction* entry : action->menu()->actions()) {
        if (entry->text() == title) return entry;
      }
    }
  }
  return nullptr;
}

// The route of the fixtures with its profile in a window.
void OpenRoute(AlignmentWindow& w, const QTemporaryDir& dir) {
  AlignmentForm form;
  form.Table(TableId::Jd) = {{"QD", "1000", "2000", "", "", ""}, {"ZD", "2000", "2000", "", "", ""}};
  form.Table(TableId::Profile) = {{"0", "49", ""}, {"300", "52", ""}};
  form.intervalText = "50";
  const QString project = dir.filePath(QStringLiteral("route.alnproj"));
  QVERIFY(SaveProject(form, project, nullptr));
  QVERIFY(w.OpenFrom(project));
}

}  // namespace

class SectionImportTest : public QObject {
  Q_OBJECT

 private slots:
  // Each table from the menu, in the file's encoding and header language, the cells as typed
  // in the grid's columns (the file's order of columns is its own).
  void ImportsEachTable_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("gbk");
    QTest::addColumn<Rows>("expected");
    QTest::newRow("section, columns reordered, median") << 0
        << QStringLiteral("# 分隔带在前\nwidth,side,part,slope,median,widen,super\n"
                          "2,left,中分带,-2,1,,\n3.75,left,行车道,-2,,1,1\n")
        << false << Rows{{"left", "中分带", "2", "-2", "", "", "1"}, {"left", "行车道", "3.75", "-2", "1", "1", ""}};
    QTest::newRow("superelevation, GBK, Chinese, tabs") << 1
        << QStringLiteral("桩号\t左\t右\nK0+100\t-2\t-2\nK0+200\t6\t-6\n") << true
        << Rows{{"K0+100", "-2", "-2"}, {"K0+200", "6", "-6"}};
    QTest::newRow("widening, quoted, CR LF") << 2 << QStringLiteral("station,left,right\r\n\"K0+100\",0,0\r\n200,0.8,0\r\n")
        << false << Rows{{"K0+100", "0", "0"}, {"200", "0.8", "0"}};
    QTest::newRow("slopes, GBK, Chinese") << 3
        << QStringLiteral("侧,类型,坡率\n左,填,1.5\n左,挖,0.75\n右,填方,1.5\n右,挖方,1\n") << true
        << Rows{{"左", "填", "1.5"}, {"左", "挖", "0.75"}, {"右", "填方", "1.5"}, {"右", "挖方", "1"}};
  }
  void ImportsEachTable() {
    QFETCH(int, table);
    QFETCH(QString, text);
    QFETCH(bool, gbk);
    QFETCH(Rows, expected);
    const auto id = static_cast<SectionTableId>(table);
    QTemporaryDir dir;
    const QString path = Write(dir, QStringLiteral("t.csv"), text.toStdString(), gbk);
    AlignmentWindow w;
    w.Form().section.Grid(id) = {std::vector<std::string>(SectionInputs::Columns(id).size(), "old")};
    w.Sections()->Reload();
    platform::MessageRecorder recorder;
    {
      platform::ScopedFileChoice choice(path);
      QAction* entry = ImportEntry(w, QString::fromStdString(SectionInputs::Title(id)) + QStringLiteral("…"));
      QVERIFY(entry);
      entry->trigger();
    }
    QVERIFY(recorder.messages.empty());
    QCOMPARE(w.Form().section.Grid(id), expected);
    QCOMPARE(w.Sections()->Model(id)->rowCount(), static_cast<int>(expected.size()));
    QVERIFY(w.IsModified());
    // One step back is the table before the import.
    QCOMPARE(w.Undo().count(), 1);
    w.Undo().undo();
    QCOMPARE(w.Form().section.Grid(id).size(), std::size_t{1});
    QCOMPARE(w.Form().section.Grid(id)[0][0], std::string("old"));
  }

  // The command's files imported into the window compute the command's rows.
  void ImportedFilesComputeTheCommandsRows() {
    QTemporaryDir dir;
    const QString jd = Write(dir, QStringLiteral("jd.csv"), kJd), profile = Write(dir, QStringLiteral("p.csv"), kProfile);
    const QString section = Write(dir, QStringLiteral("s.csv"), kSection, true);
    const QString super = Write(dir, QStringLiteral("e.csv"), kSuper), widening = Write(dir, QStringLiteral("w.csv"), kWidening);
    std::ostringstream out, err;
    QCOMPARE(survey::alignment::cli::RunBatch({"section", "--jd", jd.toStdString(), "--profile", profile.toStdString(),
                                               "--section", section.toStdString(), "--superelevation", super.toStdString(),
                                               "--widening", widening.toStdString(), "--interval", "50"},
                                              out, err),
             0);
    AlignmentWindow w;
    OpenRoute(w, dir);
    platform::MessageRecorder recorder;
    QVERIFY(w.Transfers().ImportSectionTable(SectionTableId::Section, section));
    QVERIFY(w.Transfers().ImportSectionTable(SectionTableId::Superelevation, super));
    QVERIFY(w.Transfers().ImportSectionTable(SectionTableId::Widening, widening));
    QVERIFY(recorder.messages.empty());
    QVERIFY(w.Sections()->Compute());
    std::string rows = "name,station,side,part,offset,width,slope,elevation,x,y\n";
    for (const auto& row : w.Sections()->Rows().Rows().rows) {
      for (std::size_t c = 0; c < row.size(); ++c) rows += (c ? "," : "") + row[c];
      rows += '\n';
    }
    QCOMPARE(rows, out.str());
  }

  // A file the reader refuses is refused whole, naming the file's own line (comments and blank
  // lines counted); the grid, the undo stack and the project stay as they were.
  void RefusedFileChangesNothing_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("gbk");
    QTest::addColumn<QString>("said");
    QTest::newRow("width, after a comment") << 0
        << QStringLiteral("side,part,width,slope\n# 左侧\nleft,行车道,-1,-2\n") << false << QStringLiteral("第 3 行：宽度");
    QTest::newRow("GBK superelevation beyond 20 %") << 1
        << QStringLiteral("桩号,左,右\nK0+100,-2,-2\n\nK0+200,30,-6\n") << true << QStringLiteral("第 4 行：左侧超高横坡");
    QTest::newRow("widening station") << 2 << QStringLiteral("station,left,right\nK0+1OO,0,0\n") << false
                                      << QStringLiteral("第 2 行");
    QTest::newRow("slopes incomplete") << 3 << QStringLiteral("side,kind,ratio\nleft,fill,1.5\n") << false
                                       << QStringLiteral("缺少左侧挖方");
    QTest::newRow("unknown column") << 1 << QStringLiteral("station,left,right,note\n100,1,1,x\n") << false
                                    << QStringLiteral("note");
    QTest::newRow("two widen parts") << 0
        << QStringLiteral("side,part,width,slope,widen\nleft,a,3,-2,1\nleft,b,1,-2,1\n") << false
        << QStringLiteral("两个加宽");
  }
  void RefusedFileChangesNothing() {
    QFETCH(int, table);
    QFETCH(QString, text);
    QFETCH(bool, gbk);
    QFETCH(QString, said);
    const auto id = static_cast<SectionTableId>(table);
    QTemporaryDir dir;
    const QString path = Write(dir, QStringLiteral("bad.csv"), text.toStdString(), gbk);
    AlignmentWindow w;
    const Rows before = {std::vector<std::string>(SectionInputs::Columns(id).size(), "old")};
    w.Form().section.Grid(id) = before;
    w.Sections()->Reload();
    platform::MessageRecorder recorder;
    QVERIFY(!w.Transfers().ImportSectionTable(id, path));
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    const QString message = QString::fromStdString(recorder.messages[0].text);
    QVERIFY2(message.contains(said) && message.contains(path), qPrintable(message));
    // Named once, by its path: not again by the table's title.
    QVERIFY2(!message.contains(QStringLiteral("“%1”").arg(QString::fromStdString(SectionInputs::Title(id)))), qPrintable(message));
    QCOMPARE(w.Form().section.Grid(id), before);
    QCOMPARE(w.Undo().count(), 0);
    QVERIFY(!w.IsModified());
  }

  // The view follows its inputs: a table edit, its undo and an option redraw the station shown,
  // at once where it is seen and when it is next shown where not; the rows computed before are
  // greyed until computed again.
  void ViewRedrawsWhenInputsChange() {
    QTemporaryDir dir;
    AlignmentWindow w;
    OpenRoute(w, dir);
    QVERIFY(w.Transfers().ImportSectionTable(SectionTableId::Section, Write(dir, QStringLiteral("s.csv"), kSection)));
    QVERIFY(w.Transfers().ImportSectionTable(SectionTableId::Superelevation, Write(dir, QStringLiteral("e.csv"), kSuper)));
    auto* viewTabs = w.findChild<QTabWidget*>(QStringLiteral("viewTabs"));
    viewTabs->setCurrentWidget(w.SectionView());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.Sections()->Compute());
    QVERIFY(w.Sections()->ShowStation(150));  // half way: +2/-4, profile 50.50
    const auto leftEdge = [&] { return w.SectionView()->Current() ? w.SectionView()->Current()->ElevationAt(-3.5) : std::nullopt; };
    QVERIFY(std::fabs(*leftEdge() - 50.57) < 1e-9);
    auto* rowsView = w.findChild<QTableView*>(QStringLiteral("sectionRows"));
    const QColor current = rowsView->palette().color(QPalette::Text);

    SectionGridModel* super = w.Sections()->Model(SectionTableId::Superelevation);
    QVERIFY(super->setData(super->index(1, 1), QStringLiteral("10"), Qt::EditRole));  // half way now +4
    QTRY_VERIFY(std::fabs(*leftEdge() - 50.64) < 1e-9);
    QVERIFY(rowsView->palette().color(QPalette::Text) != current);
    w.Undo().undo();
    QTRY_VERIFY(std::fabs(*leftEdge() - 50.57) < 1e-9);

    // Turned about the inner (right) edge instead of the design line, the left edge moves (its
    // value is the engine's, tested there).
    auto* rotate = w.findChild<QComboBox*>(QStringLiteral("rotateAbout"));
    rotate->setCurrentIndex(rotate->findData(QStringLiteral("inner-edge")));
    QTRY_VERIFY(std::fabs(*leftEdge() - 50.57) > 1e-3);
    const double rotated = *leftEdge();

    // Out of sight the edit waits for the view to be shown.
    viewTabs->setCurrentIndex(0);
    rotate->setCurrentIndex(rotate->findData(QStringLiteral("line")));
    QTest::qWait(20);
    QCOMPARE(*leftEdge(), rotated);
    viewTabs->setCurrentWidget(w.SectionView());
    QTRY_VERIFY(std::fabs(*leftEdge() - 50.57) < 1e-9);

    // Computed again, the rows are current.
    QVERIFY(w.Sections()->Compute());
    QCOMPARE(rowsView->palette().color(QPalette::Text), current);
  }

  // The outer parts' labels stand clear of the ticks and elevations at the edges, and of each
  // other; every part keeps its label where the view has room.
  void PartLabelsKeepClearOfTheEdges_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("screenshot") << QSize(606, 790);
    QTest::newRow("narrow") << QSize(420, 360);
  }
  void PartLabelsKeepClearOfTheEdges() {
    QFETCH(QSize, size);
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_SECTIONS)));
    QVERIFY(w.ComputeAll());
    w.ShowResultRow(RunKind::Stakes, 5);
    CrossSectionView* view = w.SectionView();
    view->resize(size);
    QVERIFY(!view->grab().isNull());
    const auto& labels = view->PartLabels();
    const auto& edges = view->EdgeMarks();
    QVERIFY(!edges.empty());
    if (size.width() > 600) QCOMPARE(labels.size(), edges.size() / 2);  // one label per part edge
    QVERIFY(!labels.empty());
    for (std::size_t i = 0; i < labels.size(); ++i) {
      QVERIFY(QRectF(view->rect()).contains(labels[i].box));
      for (const QRectF& edge : edges) QVERIFY2(!labels[i].box.intersects(edge), qPrintable(labels[i].text));
      for (std::size_t j = i + 1; j < labels.size(); ++j) QVERIFY(!labels[i].box.intersects(labels[j].box));
    }
  }

  // With measured points about the station, the parts' labels leave the points' dots free.
  void PartLabelsLeaveTheMeasuredPointsFree() {
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_SLOPES)));
    QVERIFY(w.ComputeAll());
    QVERIFY(w.ComputeLocateTable());
    w.ShowResultRow(RunKind::LocatePoint, w.Result(RunKind::LocatePoint).rowCount() - 1);
    CrossSectionView* view = w.SectionView();
    view->resize(606, 880);
    QVERIFY(!view->grab().isNull());
    QVERIFY(view->MarkDots().size() >= 3);
    QVERIFY(!view->PartLabels().empty());
    for (const QPointF& dot : view->MarkDots()) {
      for (const auto& label : view->PartLabels()) {
        QVERIFY2(!label.box.intersects(QRectF(dot.x() - 3, dot.y() - 3, 6, 6)), qPrintable(label.text));
      }
    }
  }
};

QTEST_MAIN(SectionImportTest)
#include "section_import_test.moc"
