// End to end: a curve of 10,000 stakes computed, stored in the stake table, shown and
// exported, through the batch mode and through the window's own path (SQLite table and grid).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <sstream>

#include "coordinates/gbk_text_files.h"
#include "coordinates/report_printing.h"
#include "coordinates/stake_grid.h"
#include "coordinates/stake_table_store.h"
#include "tallyfen/curve/curve_batch.h"
#include "tallyfen/curve/curve_coordinate_form.h"

namespace {

// R 50000 m and 114°35′30″ give a curve of about 100 km: ZH, 10,000 whole stations, QZ and HZ.
const std::vector<std::string> kLongCurve = {"--zh-x=0", "--zh-y=0", "--jd-x=1000", "--jd-y=0", "--zh-station=0",
                                             "--alpha=114.3530", "--radius=50000", "--ls=0", "--offset=5"};

QApplication& App() {
  static int argc = 1;
  static char name[] = "tallyfen_curve_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

void BM_BatchTenThousandStakes(benchmark::State& state) {
  App();
  QTemporaryDir dir;
  std::vector<std::string> args = kLongCurve;
  args.push_back("--export=" + (dir.path() + QStringLiteral("/curve.ly")).toStdString());
  for (auto _ : state) {
    std::ostringstream out, err;
    if (tallyfen::RunCurveBatch(args, out, err) != 0) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.str().size());
  }
}
BENCHMARK(BM_BatchTenThousandStakes)->Unit(benchmark::kMillisecond);

void BM_WindowPathTenThousandStakes(benchmark::State& state) {
  App();
  QTemporaryDir dir;
  coordinates::SqliteStakeTable table(dir.path() + QStringLiteral("/zb.db"));
  coordinates::GbkTextFileStore files;
  coordinates::StakeTableModel model;
  survey::RecordingHost host;
  host.savePath = (dir.path() + QStringLiteral("/curve.ly")).toStdString();
  coordinates::QtReportPrinter printer(nullptr, QString());  // no report in this run
  tallyfen::CurveCoordinateForm form(host, table, files, printer);
  tallyfen::CurveFields& f = form.fields();
  f.zhX = "0";
  f.zhY = "0";
  f.jdX = "1000";
  f.jdY = "0";
  f.zhStation = "0";
  f.alpha = "114.3530";
  f.radius = "50000";
  f.offset = "5";
  for (auto _ : state) {
    form.ComputeCurve();
    model.SetRows(form.grid());
    form.ExportGrid();
    if (form.grid().size() < 10000 || host.Refused()) state.SkipWithError("curve not computed");
  }
  state.counters["rows"] = static_cast<double>(form.grid().size());
}
BENCHMARK(BM_WindowPathTenThousandStakes)->Unit(benchmark::kMillisecond);

}  // namespace
