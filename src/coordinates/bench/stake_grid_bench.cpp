// How long the grid takes to find its column widths after a computation, up to the largest
// straight line the calculator allows (a million stakes).
#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <string>

#include "coordinates/stake_grid.h"

namespace {

std::vector<coordinates::StakeRecord> Rows(std::size_t n) {
  std::vector<coordinates::StakeRecord> rows(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string x = std::to_string(3456789.123 + static_cast<double>(i) * 0.731);
    const std::string y = std::to_string(38512352.012 - static_cast<double>(i) * 0.417);
    rows[i].station = std::to_string(i * 10);
    rows[i].zbx = rows[i].zx = rows[i].ybx = x;
    rows[i].zby = rows[i].zy = rows[i].yby = y;
  }
  return rows;
}

void BM_StakeColumnTextWidths(benchmark::State& state) {
  static int argc = 1;
  static char name[] = "stake_grid_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
  const auto rows = Rows(static_cast<std::size_t>(state.range(0)));
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setPixelSize(10);
  for (auto _ : state) benchmark::DoNotOptimize(coordinates::StakeColumnTextWidths(rows, font));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StakeColumnTextWidths)->Arg(300)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
