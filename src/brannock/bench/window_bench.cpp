// The 100 km curve shown in the window: compute, format and lay out about 10,000 lines.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include "brannock/curve_deflection_window.h"

namespace {

void BM_WindowShowsLongCurve(benchmark::State& state) {
  brannock::CurveDeflectionWindow w;
  w.findChild<QLineEdit*>("Text1")->setText("100000");
  w.findChild<QLineEdit*>("Text2")->setText("57.1800");
  w.findChild<QLineEdit*>("Text3")->setText("100000");
  w.findChild<QLineEdit*>("Text4")->setText("300");
  w.show();
  auto* box = w.findChild<QTextEdit*>("RichTextBox1");
  for (auto _ : state) {
    w.findChild<QPushButton*>("Command1")->click();
    QApplication::processEvents();
    benchmark::DoNotOptimize(box->document()->blockCount());
  }
  state.counters["lines"] = box->document()->blockCount();
}
BENCHMARK(BM_WindowShowsLongCurve)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
