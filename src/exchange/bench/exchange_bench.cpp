// 100,000 stakes to a CASS point list and to a DXF plan, each through the atomic writer to a
// file (target: under a second each).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

#include "exchange/exchange_files.h"

namespace {

using namespace survey::exchange;

constexpr int kStakes = 100'000;

std::vector<PointRecord> Stakes() {
  std::vector<PointRecord> points;
  points.reserve(kStakes);
  for (int i = 0; i < kStakes; ++i) {
    PointRecord p;
    const int station = 10000 + 20 * (i / 3);
    p.name = "K" + std::to_string(station / 1000) + "+" + std::to_string(station % 1000) +
             (i % 3 == 0 ? "" : i % 3 == 1 ? "左5" : "右5");
    p.x = 2936912.007 + 0.137 * i;
    p.y = 365760.368 + 0.251 * i;
    p.z = 1118.852 + 0.001 * i;
    points.push_back(std::move(p));
  }
  return points;
}

PlanDrawing Drawing() {
  PlanDrawing d;
  d.stakes.reserve(kStakes);
  for (int i = 0; i < kStakes; ++i) {
    d.stakes.push_back({{2936912.007 + 18.0 * i, 365760.368 + 8.0 * i}, 0.418 + 1e-6 * i, "K" + std::to_string(10 + i / 50) + "+" + std::to_string(20 * (i % 50))});
  }
  return d;
}

std::string Target(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void BM_StakesToCass(benchmark::State& state) {
  const std::vector<PointRecord> points = Stakes();
  const std::string path = Target("exchange_bench.dat");
  for (auto _ : state) {
    if (!SavePointFile(path, points, PointFileKind::kCass).ok) state.SkipWithError("write failed");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_StakesToCass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StakesToDxf(benchmark::State& state) {
  const PlanDrawing drawing = Drawing();
  const std::string path = Target("exchange_bench.dxf");
  for (auto _ : state) {
    if (!SavePlanDxf(path, drawing).ok) state.SkipWithError("write failed");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_StakesToDxf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
