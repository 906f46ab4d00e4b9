// Large tables computed on the worker thread: the same rows and refusals as a run on the GUI
// thread, a cancel or an edit meanwhile keeps what was shown. The threshold is lowered so that
// small tables take the worker's path.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "transform/window/main_window.h"

using namespace survey::transform::window;

namespace {

template <typename T>
T* Child(const QWidget& w, const char* name) {
  T* c = w.findChild<T*>(QString::fromUtf8(name));
  if (!c) qFatal("no child %s", name);
  return c;
}

// Waits for a threaded run's end; false when the run was not threaded or never ended.
bool WaitForRun(TransformWindow& w) {
  if (!w.Running()) return false;
  QSignalSpy finished(&w, &TransformWindow::RunFinished);
  return finished.wait(10'000) && !w.Running();
}

// A paste of more rows than a slice goes on in the event loop: waits for its end.
void PasteAll(PointGrid* grid, const QString& text) {
  QSignalSpy finished(grid, &PointGrid::PasteFinished);
  grid->PasteText(text);
  if (finished.isEmpty()) QVERIFY(finished.wait(20'000));
  QVERIFY(!grid->Pasting());
}

const char* const kProjectionRows = "K1\t30.45254425\t111.17583596\t12.5\nK2\t30.46\t111.18\t\n\nK3\t30.5\t111.3\t8\n";
const char* const kCommonPoints =
    "A\t1000\t2000\t1100\t2200\nB\t1500\t2100\t1600\t2300\nC\t1200\t2600\t1300.1\t2800\nD\t900\t2400\t1000\t2600\n";

struct TabCase {
  const char* name;
  std::function<void(TransformWindow&)> fill;
  std::function<void(TransformWindow&)> run;
  const char* results;
};

const std::vector<TabCase>& TabCases() {
  static const std::vector<TabCase> cases = {
      {"forward with prefix",
       [](TransformWindow& w) {
         Child<QComboBox>(w, "projectionMode")->setCurrentIndex(1);
         Child<QLineEdit>(w, "projectionZone")->setText("37");
         Child<QCheckBox>(w, "projectionPrefix")->setChecked(true);
         Child<PointGrid>(w, "projectionInput")->PasteText(kProjectionRows);
       },
       [](TransformWindow& w) { w.ProjectTable(); }, "projectionResults"},
      {"rezone",
       [](TransformWindow& w) {
         Child<QLineEdit>(w, "rezoneToMeridian")->setText("114");
         Child<PointGrid>(w, "rezoneInput")->PasteText("K1\t3404079.3582\t528680.0889\t452.3\nK2\t3405853.12\t531140.25\t\n");
       },
       [](TransformWindow& w) { w.RezoneTable(); }, "rezoneResults"},
      {"fit4", [](TransformWindow& w) { Child<PointGrid>(w, "commonPoints")->PasteText(kCommonPoints); },
       [](TransformWindow& w) { w.FitParameters(); }, "residuals"},
      {"apply4",
       [](TransformWindow& w) {
         Child<QPlainTextEdit>(w, "parameterText")
             ->setPlainText("type = 4\ndx = 100.5\ndy = -20.25\nrotation = 12.5\nscale = 1.0000035\n");
         Child<PointGrid>(w, "applyInput")->PasteText("P1\t3404500\t529000\t12\nP2\t3404600\t529100\t13\n");
       },
       [](TransformWindow& w) { w.ApplyParameters(); }, "applyResults"},
  };
  return cases;
}

}  // namespace

class TransformWindowThreadTest : public QObject {
  Q_OBJECT
 private slots:
  void ThreadedRunsGiveTheDirectRows();
  void RefusalInAThreadedRunIsShownAsInADirectOne();
  void CancelKeepsThePreviousResults();
  void InputsChangedDuringARunDropTheResult();
  void InputsAreLockedAndASecondRunRefused();
  void LargeGridsAreReadInSlices();
  void AWindowClosedDuringARunWaitsForItsWorker();
  void PastedRowsAsWritten();
  void LargePastesGoInSlices();
};

void TransformWindowThreadTest::ThreadedRunsGiveTheDirectRows() {
  for (const TabCase& c : TabCases()) {
    platform::MessageRecorder recorder;
    TransformWindow direct, threaded;
    threaded.SetThreadThreshold(0);
    c.fill(direct);
    c.fill(threaded);
    c.run(direct);
    QVERIFY2(!direct.Running(), c.name);
    c.run(threaded);
    QVERIFY2(WaitForRun(threaded), c.name);
    QVERIFY2(recorder.messages.empty(), recorder.messages.empty() ? c.name : recorder.messages[0].text.c_str());
    const QString rows = Child<ResultGrid>(direct, c.results)->TsvText();
    QVERIFY2(rows.count('\n') > 2, c.name);
    QCOMPARE(Child<ResultGrid>(threaded, c.results)->TsvText(), rows);
    // The fit's summary and parameters, handed to the applying tab, likewise.
    QCOMPARE(Child<QPlainTextEdit>(threaded, "fitSummary")->toPlainText(),
             Child<QPlainTextEdit>(direct, "fitSummary")->toPlainText());
    QCOMPARE(Child<QPlainTextEdit>(threaded, "parameterText")->toPlainText(),
             Child<QPlainTextEdit>(direct, "parameterText")->toPlainText());
    QCOMPARE(Child<QComboBox>(threaded, "applyLayout")->currentIndex(), Child<QComboBox>(direct, "applyLayout")->currentIndex());
    QVERIFY(threaded.statusBar()->currentMessage().startsWith("计算完成"));
    QVERIFY(threaded.tabs()->isEnabled());
    QVERIFY(!Child<QProgressBar>(threaded, "runProgress")->isVisible());
  }
}

void TransformWindowThreadTest::RefusalInAThreadedRunIsShownAsInADirectOne() {
  // A bad row (with the grid's row number, though the command reads a header line first), too
  // few common points, a parameter text of the wrong kind.
  const struct {
    const char* name;
    std::function<void(TransformWindow&)> setUp;
  } cases[] = {
      {"latitude", [](TransformWindow& w) {
         Child<PointGrid>(w, "projectionInput")->PasteText("K1,30.3,111.1\n\nK2,95.0,111.1\n");
         w.ProjectTable();
       }},
      {"one common point", [](TransformWindow& w) {
         Child<PointGrid>(w, "commonPoints")->PasteText("A\t1000\t2000\t1100\t2200\n");
         w.FitParameters();
       }},
      {"parameters", [](TransformWindow& w) {
         Child<QPlainTextEdit>(w, "parameterText")->setPlainText("type = 4\ndx = 1\n");
         Child<QComboBox>(w, "applyLayout")->setCurrentIndex(1);
         Child<PointGrid>(w, "applyInput")->PasteText("P1\t1\t2\t3\n");
         w.ApplyParameters();
       }},
  };
  for (const auto& c : cases) {
    platform::MessageRecorder directMessages;
    TransformWindow direct;
    c.setUp(direct);
    QCOMPARE(directMessages.messages.size(), std::size_t{1});
    platform::MessageRecorder threadedMessages;
    TransformWindow threaded;
    threaded.SetThreadThreshold(0);
    c.setUp(threaded);
    QVERIFY2(threadedMessages.messages.empty(), c.name);  // not before the run ends
    QVERIFY2(WaitForRun(threaded), c.name);
    QCOMPARE(threadedMessages.messages.size(), std::size_t{1});
    QCOMPARE(threadedMessages.messages[0].text, directMessages.messages[0].text);
    QVERIFY(threadedMessages.messages[0].refusal);
    QVERIFY(threaded.tabs()->isEnabled());
  }
}

void TransformWindowThreadTest::CancelKeepsThePreviousResults() {
  // By the button, by Esc (the window's action) and by the handler.
  const std::function<void(TransformWindow&)> cancels[] = {
      [](TransformWindow& w) { QTest::mouseClick(Child<QPushButton>(w, "cancelRun"), Qt::LeftButton); },
      [](TransformWindow& w) {
        for (QAction* a : w.actions()) {
          if (a->shortcut() == QKeySequence(Qt::Key_Escape)) a->trigger();
        }
      },
      [](TransformWindow& w) { w.CancelRun(); },
      [](TransformWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); },
  };
  for (const auto& cancel : cancels) {
    platform::MessageRecorder recorder;
    TransformWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* input = Child<PointGrid>(w, "projectionInput");
    auto* results = Child<ResultGrid>(w, "projectionResults");
    input->PasteText(kProjectionRows);
    w.ProjectTable();
    const QString before = results->TsvText();
    input->PasteText("Q1\t31\t111\t1\n");
    w.SetThreadThreshold(0);
    QSignalSpy finished(&w, &TransformWindow::RunFinished);
    w.ProjectTable();
    QVERIFY(w.Running());
    QVERIFY(Child<QPushButton>(w, "cancelRun")->isVisible());
    // Cancelled before the worker's end reaches the window: that end must not show its rows.
    cancel(w);
    QVERIFY(!w.Running());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(w.statusBar()->currentMessage(), QString("计算已取消，保留原来的结果。"));
    QTest::qWait(200);
    QCOMPARE(results->TsvText(), before);
    QCOMPARE(finished.size(), 1);
    QVERIFY(recorder.messages.empty());
    QVERIFY(w.tabs()->isEnabled());
    QVERIFY(!Child<QPushButton>(w, "cancelRun")->isVisible());
    // A run started at once after a cancel, while the abandoned worker may still be running,
    // gets its own result, not the abandoned one's end.
    w.ProjectTable();
    w.CancelRun();
    input->PasteText("R1\t31\t111\t1\n");
    w.ProjectTable();
    QVERIFY(WaitForRun(w));
    QVERIFY(w.statusBar()->currentMessage().startsWith("计算完成"));
    QVERIFY(results->TsvText().contains("R1\t"));
  }
}

void TransformWindowThreadTest::InputsChangedDuringARunDropTheResult() {
  const struct {
    const char* name;
    std::function<void(TransformWindow&)> edit;
  } edits[] = {
      {"a cell", [](TransformWindow& w) { Child<PointGrid>(w, "projectionInput")->item(0, 1)->setText("30.5"); }},
      {"a row pasted",
       [](TransformWindow& w) { Child<PointGrid>(w, "projectionInput")->PasteText("Q1\t31\t111\t1\n"); }},
      {"the meridian", [](TransformWindow& w) { Child<QLineEdit>(w, "projectionMeridian")->setText("114"); }},
      {"the direction", [](TransformWindow& w) { Child<QRadioButton>(w, "inverseRadio")->setChecked(true); }},
  };
  for (const auto& e : edits) {
    platform::MessageRecorder recorder;
    TransformWindow w;
    auto* results = Child<ResultGrid>(w, "projectionResults");
    Child<PointGrid>(w, "projectionInput")->PasteText(kProjectionRows);
    w.ProjectTable();
    const QString before = results->TsvText();
    Child<PointGrid>(w, "projectionInput")->item(0, 0)->setText("K9");
    w.SetThreadThreshold(0);
    w.ProjectTable();
    e.edit(w);
    QVERIFY2(WaitForRun(w), e.name);
    QCOMPARE(results->TsvText(), before);
    QCOMPARE(w.statusBar()->currentMessage(), QString("计算期间输入已改动，结果未采用，请重新计算。"));
    QVERIFY(recorder.messages.empty());
  }
}

void TransformWindowThreadTest::InputsAreLockedAndASecondRunRefused() {
  platform::MessageRecorder recorder;
  TransformWindow w;
  w.SetThreadThreshold(0);
  Child<PointGrid>(w, "projectionInput")->PasteText(kProjectionRows);
  Child<PointGrid>(w, "rezoneInput")->PasteText("K1\t3404079.3582\t528680.0889\t452.3\n");
  w.ProjectTable();
  QVERIFY(w.Running());
  QVERIFY(!w.tabs()->isEnabled());
  // The filled rows, not the grid's blank ones.
  QCOMPARE(w.statusBar()->currentMessage(), QString("正在计算 3 行……（Esc 取消）"));
  w.RezoneTable();
  QCOMPARE(recorder.messages.size(), std::size_t{1});
  QCOMPARE(recorder.messages[0].text, std::string("上一次计算还在进行，请等它完成或先取消。"));
  QVERIFY(WaitForRun(w));
  QVERIFY(w.tabs()->isEnabled());
  QVERIFY(Child<ResultGrid>(w, "rezoneResults")->TsvText().count('\n') <= 1);
  QVERIFY(Child<ResultGrid>(w, "projectionResults")->TsvText().contains("K3\t"));
}

void TransformWindowThreadTest::LargeGridsAreReadInSlices() {
  // Over two slices of 50,000 rows, a blank row at a slice's edge and the last row alone in the
  // third: every row read once, in order.
  QString table;
  for (int i = 0; i < 100'001; ++i) {
    table += i == 49'999 ? QString("\n") : QStringLiteral("P%1\t30.%2\t111.1\t%3\n").arg(i).arg(i % 50, 2, 10, QChar('0')).arg(i % 7);
  }
  platform::MessageRecorder recorder;
  TransformWindow direct, threaded;
  direct.SetThreadThreshold(1'000'000);
  PasteAll(Child<PointGrid>(direct, "projectionInput"), table);
  PasteAll(Child<PointGrid>(threaded, "projectionInput"), table);
  direct.ProjectTable();
  QVERIFY2(recorder.messages.empty(), recorder.messages.empty() ? "" : recorder.messages[0].text.c_str());
  threaded.ProjectTable();
  QVERIFY(threaded.Running());
  QCOMPARE(threaded.statusBar()->currentMessage(), QString("正在读取表格……（Esc 取消）"));
  // The bar: the grid's rows read so far, then the worker's permille as it grows.
  auto* bar = Child<QProgressBar>(threaded, "runProgress");
  QCOMPARE(bar->maximum(), Child<PointGrid>(threaded, "projectionInput")->rowCount());
  QCOMPARE(bar->value(), 50'000);
  std::vector<int> permille;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (bar->maximum() == 1000 && !bar->isHidden()) permille.push_back(bar->value());
  });
  watch.start(10);
  QVERIFY(WaitForRun(threaded));
  watch.stop();
  QVERIFY(!permille.empty());
  QVERIFY(std::is_sorted(permille.begin(), permille.end()));
  QVERIFY(permille.back() > 0 && permille.back() <= 1000);
  QVERIFY2(recorder.messages.empty(), recorder.messages.empty() ? "" : recorder.messages[0].text.c_str());
  auto* results = Child<ResultGrid>(threaded, "projectionResults");
  QCOMPARE(results->rowCount(), 100'000);
  QCOMPARE(results->TsvText(), Child<ResultGrid>(direct, "projectionResults")->TsvText());
  const QString shown = results->TsvText();

  // Cancelled or edited while the grid is being read: nothing of the run is shown.
  const std::function<void(TransformWindow&)> interruptions[] = {
      [](TransformWindow& w) { w.CancelRun(); },
      [](TransformWindow& w) { Child<PointGrid>(w, "projectionInput")->item(70'000, 3)->setText("9"); },
  };
  const QString messages[] = {"计算已取消，保留原来的结果。", "计算期间输入已改动，结果未采用，请重新计算。"};
  for (int i = 0; i < 2; ++i) {
    Child<PointGrid>(threaded, "projectionInput")->item(0, 3)->setText(QString::number(i + 10));
    threaded.ProjectTable();
    QSignalSpy finished(&threaded, &TransformWindow::RunFinished);
    interruptions[i](threaded);
    QVERIFY(finished.size() == 1 || finished.wait(10'000));
    QCOMPARE(threaded.statusBar()->currentMessage(), messages[i]);
    QCOMPARE(results->TsvText(), shown);
    QVERIFY(threaded.tabs()->isEnabled());
    QVERIFY(!threaded.Running());
  }
}

void TransformWindowThreadTest::AWindowClosedDuringARunWaitsForItsWorker() {
  QString table, longer;
  for (int i = 0; i < 60'000; ++i) {
    (i < 40'000 ? table : longer) += QStringLiteral("P%1\t30.%2\t111.1\n").arg(i).arg(i % 50, 2, 10, QChar('0'));
  }
  longer.prepend(table);
  // While the grid is read (more rows than a slice), while the worker computes (a slice's
  // worth: the worker starts at once), and after a cancel left the worker running.
  for (int phase = 0; phase < 3; ++phase) {
    auto w = std::make_unique<TransformWindow>();
    PasteAll(Child<PointGrid>(*w, "projectionInput"), phase == 0 ? longer : table);
    w->ProjectTable();
    QVERIFY(w->Running());
    if (phase == 2) w->CancelRun();
    w.reset();
  }
}

namespace {
// The grid's filled cells, a row per line (blank rows as blank lines), and its row count.
QString Cells(const PointGrid& g) {
  QString s;
  for (int r = 0; r < g.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < g.columnCount(); ++c) cells << (g.item(r, c) ? g.item(r, c)->text() : QString());
    s += cells.join('|') + '\n';
  }
  while (s.endsWith("|||\n")) s.chop(4);
  return QString::number(g.rowCount()) + ":" + s;
}
}  // namespace

void TransformWindowThreadTest::PastedRowsAsWritten() {
  struct Case {
    const char* text;
    const char* cells;  // row count, then the filled rows
  };
  const Case cases[] = {
      {"", "20:"},
      {" \n\t\r\n", "20:"},
      {"点名,B,L\n", "20:"},                         // column names alone
      {"点名,B,L", "20:"},
      {"K1,30.1,111.2", "20:K1|30.1|111.2|\n"},    // no line end
      {"点名\tB\tL\tH\r\nK1\t30.1\t111.2\t5\r\n\r\n \n", "20:K1|30.1|111.2|5\n"},
      {"K1,30.1,111.2\n\nK2, 30.2 ,111.3,7\n", "20:K1|30.1|111.2|\n|||\nK2|30.2|111.3|7\n"},  // a blank row kept
      {"1,2,3\n", "20:1|2|3|\n"},                  // numbers: no header
  };
  TransformWindow w;
  auto* grid = Child<PointGrid>(w, "projectionInput");
  for (const Case& c : cases) {
    grid->PasteText("X,1,2\n");
    grid->PasteText(QString::fromUtf8(c.text));
    QCOMPARE(Cells(*grid), QString::fromUtf8(c.cells));
  }
  // 21 rows and more: five spare rows below them.
  QString rows;
  for (int i = 0; i < 30; ++i) rows += QStringLiteral("P%1,1,2\n").arg(i);
  grid->PasteText(rows + "\n\n");
  QCOMPARE(grid->rowCount(), 35);
  QCOMPARE(grid->item(29, 0)->text(), QString("P29"));
}

void TransformWindowThreadTest::LargePastesGoInSlices() {
  const int rows = 2 * PointGrid::kPasteSliceRows + 1;  // the last row alone in the third slice
  QString table = "点名,B,L\n";
  for (int i = 0; i < rows; ++i) table += QStringLiteral("P%1\t30.%2\t111.1\n").arg(i).arg(i % 50, 2, 10, QChar('0'));
  platform::MessageRecorder recorder;
  TransformWindow w;
  auto* grid = Child<PointGrid>(w, "projectionInput");
  QSignalSpy finished(grid, &PointGrid::PasteFinished);
  grid->PasteText(table);
  QVERIFY(grid->Pasting());
  QVERIFY(!grid->isEnabled());
  QCOMPARE(grid->rowCount(), rows + 5);
  // A run meanwhile is refused: it would read half a table.
  w.ProjectTable();
  QCOMPARE(recorder.messages.size(), std::size_t{1});
  QCOMPARE(QString::fromStdString(recorder.messages[0].text), QString("表格还在粘贴，请等粘贴完成再计算。"));
  QVERIFY(finished.wait(20'000));
  QCOMPARE(finished.size(), 1);
  QVERIFY(!grid->Pasting());
  QVERIFY(grid->isEnabled());
  for (int r : {0, PointGrid::kPasteSliceRows - 1, PointGrid::kPasteSliceRows, rows - 1}) {
    QCOMPARE(grid->item(r, 0)->text(), QStringLiteral("P%1").arg(r));
    QCOMPARE(grid->item(r, 1)->text(), QStringLiteral("30.%1").arg(r % 50, 2, 10, QChar('0')));
  }
  QVERIFY(!grid->item(rows, 0));

  // A paste during a paste replaces it: no row of the first comes after.
  grid->PasteText(table);
  QVERIFY(grid->Pasting());
  grid->PasteText("K1,30.1,111.2\n");
  QVERIFY(!grid->Pasting());
  QVERIFY(grid->isEnabled());
  QTest::qWait(100);
  QCOMPARE(Cells(*grid), QString("20:K1|30.1|111.2|\n"));
  // 清空 during a paste: the rest of the paste does not come back.
  grid->PasteText(table);
  QTest::qWait(1);
  Child<QPushButton>(w, "projectionClearButton")->click();
  QVERIFY(!grid->Pasting());
  QVERIFY(grid->isEnabled());
  QTest::qWait(100);
  QVERIFY(!grid->item(rows - 1, 0));
  QVERIFY(!grid->item(0, 0));
  // A window closed during a paste.
  auto closing = std::make_unique<TransformWindow>();
  Child<PointGrid>(*closing, "projectionInput")->PasteText(table);
  closing.reset();
}

QTEST_MAIN(TransformWindowThreadTest)
#include "window_threads_test.moc"
