// The transform window driven as a surveyor would: tables pasted, computed, refused, exported;
// the rows must be the batch program's own.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

#include "transform/batch.h"
#include "transform/window/main_window.h"

using namespace survey::transform::window;

namespace {

template <typename T>
T* Child(const QWidget& w, const char* name) {
  T* c = w.findChild<T*>(QString::fromUtf8(name));
  if (!c) qFatal("no child %s", name);
  return c;
}

QString Cell(const PointGrid* g, int row, int column) {
  const QTableWidgetItem* i = g->item(row, column);
  return i ? i->text() : QString();
}

QString Cell(const ResultGrid* g, int row, int column) { return g->Cell(row, column); }

}  // namespace

class TransformWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void ProjectsPastedTableAsTheBatchDoes();
  void ProjectsOnePointInverse();
  void RefusalNamesTheLineAndKeepsResults();
  void FitFeedsApplyAndExportWritesTheCsv();
};

void TransformWindowTest::ProjectsPastedTableAsTheBatchDoes() {
  TransformWindow w;
  Child<QComboBox>(w, "projectionMode")->setCurrentIndex(1);
  Child<QLineEdit>(w, "projectionZone")->setText("37");
  Child<QCheckBox>(w, "projectionPrefix")->setChecked(true);
  auto* input = Child<PointGrid>(w, "projectionInput");
  // A spreadsheet's rows with their header row, tab-separated, CR LF.
  input->PasteText("点名\tB\tL\tH\r\nK1\t30.45254425\t111.17583596\t12.5\r\nK2\t30.46\t111.18\t\r\n");
  QCOMPARE(Cell(input, 0, 0), QString("K1"));
  QCOMPARE(Cell(input, 1, 2), QString("111.18"));
  w.ProjectTable();
  auto* results = Child<ResultGrid>(w, "projectionResults");
  QCOMPARE(results->HeaderText(1), QString("X（北）"));
  QCOMPARE(Cell(results, 0, 1), QString("3404079.3582"));
  QCOMPARE(Cell(results, 0, 2), QString("37528680.0889"));
  QCOMPARE(Cell(results, 0, 3), QString("12.5000"));
  // The same rows as the batch mode on the same table.
  std::ostringstream out, err;
  const survey::transform::FileReader read = [](const std::string&) {
    return std::string("name,B,L,H\nK1,30.45254425,111.17583596,12.5\nK2,30.46,111.18,\n");
  };
  QCOMPARE(survey::transform::RunBatch({"forward", "--zone", "37", "--prefix", "--points", "t"}, out, err, read), 0);
  const QString tsv = results->TsvText();
  QVERIFY(tsv.startsWith("点名\tX（北）\tY（东）\t高程\t子午线收敛角\t长度比 k\n"));
  const QString batch = QString::fromStdString(out.str()).replace(',', '\t');
  QCOMPARE(tsv.mid(tsv.indexOf('\n')), batch.mid(batch.indexOf('\n')));
}

void TransformWindowTest::ProjectsOnePointInverse() {
  TransformWindow w;
  Child<QRadioButton>(w, "inverseRadio")->setChecked(true);
  Child<QLineEdit>(w, "pointFirst")->setText("3404079.3582");
  Child<QLineEdit>(w, "pointSecond")->setText("528680.0889");
  w.ProjectPoint();
  const QString text = Child<QLabel>(w, "pointResult")->text();
  QVERIFY2(text.contains("B = 30.45254425"), qPrintable(text));
  QVERIFY2(text.contains("L = 111.17583596"), qPrintable(text));
}

void TransformWindowTest::RefusalNamesTheLineAndKeepsResults() {
  TransformWindow w;
  auto* input = Child<PointGrid>(w, "projectionInput");
  input->PasteText("K1,30.3,111.1\n\nK2,95.0,111.1\n");
  platform::MessageRecorder recorder;
  w.ProjectTable();
  QCOMPARE(recorder.messages.size(), std::size_t{1});
  // The message names the grid's row, though the table handed to the command has a header line
  // and a blank line for the empty row between.
  QVERIFY2(recorder.messages[0].text.rfind("表格第 3 行：纬度超出", 0) == 0, recorder.messages[0].text.c_str());
  QCOMPARE(Child<ResultGrid>(w, "projectionResults")->rowCount(), 20);
  QVERIFY(Cell(Child<ResultGrid>(w, "projectionResults"), 0, 0).isEmpty());
  // A field's fault names the field, not the batch option.
  Child<QLineEdit>(w, "projectionMeridian")->setText("111.6");
  input->PasteText("K1,30.3,111.1\n");
  w.ProjectTable();
  QCOMPARE(recorder.messages.size(), std::size_t{2});
  QVERIFY2(recorder.messages[1].text.rfind("中央子午线 应为", 0) == 0, recorder.messages[1].text.c_str());
}

void TransformWindowTest::FitFeedsApplyAndExportWritesTheCsv() {
  TransformWindow w;
  auto* points = Child<PointGrid>(w, "commonPoints");
  // x2 = 100 + x1, y2 = 200 + y1 except a 10 cm slip at C.
  points->PasteText("A\t1000\t2000\t1100\t2200\nB\t1500\t2100\t1600\t2300\nC\t1200\t2600\t1300.1\t2800\nD\t900\t2400\t1000\t2600\n");
  platform::MessageRecorder recorder;
  w.FitParameters();
  QCOMPARE(recorder.messages.size(), std::size_t{0});
  const QString summary = Child<QPlainTextEdit>(w, "fitSummary")->toPlainText();
  QVERIFY2(summary.contains("残差超过 0.0500 m 的点：C"), qPrintable(summary));
  QCOMPARE(Child<ResultGrid>(w, "residuals")->rowCount(), 4);
  // The fitted parameters are ready on the applying tab.
  QVERIFY(Child<QPlainTextEdit>(w, "parameterText")->toPlainText().contains("type = 4"));
  auto* input = Child<PointGrid>(w, "applyInput");
  input->PasteText("P\t1000\t2000\t5\n");
  w.ApplyParameters();
  QCOMPARE(recorder.messages.size(), std::size_t{0});
  const double x = Cell(Child<ResultGrid>(w, "applyResults"), 0, 1).toDouble();
  QVERIFY(std::abs(x - 1100) < 0.05);

  QTemporaryDir dir;
  const QString path = dir.filePath("结果.csv");
  {
    platform::ScopedFileChoice choice(path);
    QTest::mouseClick(Child<QPushButton>(w, "applyExportButton"), Qt::LeftButton);
  }
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  QVERIFY(bytes.startsWith("name,x,y,h\nP,"));
  QVERIFY(bytes.endsWith(",5.0000\n"));
  // A parameter text of the wrong kind is refused, naming what it needed.
  Child<QComboBox>(w, "applyLayout")->setCurrentIndex(1);
  w.ApplyParameters();
  QCOMPARE(recorder.messages.size(), std::size_t{1});
}

QTEST_MAIN(TransformWindowTest)
#include "window_test.moc"
