// The alignment program end to end on a 200-JD route of about 100 km: the stake list every
// 1 m (about 100,000 rows) written as CSV, and 1,000,000 surveyed points located from a CSV
// file. Budgets: 0.5 s for the stakes, 2 s for the points, 200 MB of peak memory.
//
// The in-process runs time RunBatch from the files on disk to the finished CSV (written to
// a stream that discards it); the program runs start the built executable with its output to
// /dev/null and report its peak memory (peak_MB, the largest resident set of the children).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "alignment/bench/program_run.h"
#include "alignment/cli/program.h"
#include "common/testing/counting_buffer.h"

namespace {

struct Files {
  std::filesystem::path dir, route, points;
};

// 200 JDs 500 m apart, turning 25° right and left in turn, R 800, Ls 100 (the tangents of two
// curves take about 2 x 230 m of each 500 m leg).
const Files& BenchFiles() {
  static const Files files = [] {
    Files f;
    f.dir = std::filesystem::temp_directory_path() / "alignment-bench";
    std::filesystem::create_directories(f.dir);
    f.route = f.dir / "route.csv";
    f.points = f.dir / "points.csv";
    std::ofstream route(f.route);
    route << "name,x,y,r,ls1,ls2\n";
    double x = 3'000'000, y = 500'000, azimuth = 0.3;
    const int jds = 200;
    std::vector<std::pair<double, double>> corners;
    for (int i = 0; i <= jds + 1; ++i) {
      corners.emplace_back(x, y);
      route.precision(15);
      if (i == 0) {
        route << "QD," << x << ',' << y << "\n";
      } else if (i == jds + 1) {
        route << "ZD," << x << ',' << y << "\n";
      } else {
        route << "JD" << i << ',' << x << ',' << y << ",800,100,\n";
        azimuth += (i % 2 ? 25.0 : -25.0) * std::numbers::pi / 180;
      }
      x += 500 * std::cos(azimuth);
      y += 500 * std::sin(azimuth);
    }
    // Points within 30 m of the legs of the JD polygon, from a fixed pseudo-random sequence.
    std::ofstream points(f.points);
    points << "name,x,y\n";
    points.setf(std::ios::fixed);
    points.precision(3);
    std::uint64_t state = 12345;
    const auto next = [&] {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < 1'000'000; ++i) {
      const std::size_t leg = static_cast<std::size_t>(next() * static_cast<double>(corners.size() - 1));
      const auto [x0, y0] = corners[leg];
      const auto [x1, y1] = corners[leg + 1];
      const double t = next(), side = (next() - 0.5) * 60;
      const double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
      points << 'P' << i << ',' << x0 + t * dx - side * dy / len << ',' << y0 + t * dy + side * dx / len << '\n';
    }
    return f;
  }();
  return files;
}

void RunInProcess(benchmark::State& state, const std::vector<std::string>& args) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    survey::testing::CountingBuffer sink;
    std::ostream out(&sink);
    std::ostringstream err;
    if (survey::alignment::cli::RunBatch(args, out, err) != 0) {
      state.SkipWithError(err.str().c_str());
      break;
    }
    bytes = sink.bytes;
  }
  state.counters["csv_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_StakesEveryMetre(benchmark::State& state) {
  const Files& f = BenchFiles();
  std::vector<std::string> args = {"stakes", "--jd", f.route.string(), "--interval", "1"};
  if (state.range(0)) args.insert(args.end(), {"--offset=-5", "--offset", "5"});
  RunInProcess(state, args);
}
BENCHMARK(BM_StakesEveryMetre)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_LocateMillionPoints(benchmark::State& state) {
  const Files& f = BenchFiles();
  RunInProcess(state, {"locate", "--jd", f.route.string(), "--points", f.points.string()});
}
BENCHMARK(BM_LocateMillionPoints)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void RunProgram(benchmark::State& state, const std::vector<std::string>& arguments) {
  survey::alignment::bench::RunProgram(state, BenchFiles().dir / "peak.txt", arguments);
}

void BM_ProgramStakesEveryMetre(benchmark::State& state) {
  const Files& f = BenchFiles();
  RunProgram(state, {"stakes", "--jd", f.route.string(), "--interval", "1"});
}
BENCHMARK(BM_ProgramStakesEveryMetre)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ProgramLocateMillionPoints(benchmark::State& state) {
  const Files& f = BenchFiles();
  RunProgram(state, {"locate", "--jd", f.route.string(), "--points", f.points.string()});
}
BENCHMARK(BM_ProgramLocateMillionPoints)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
    ->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
