// 100,000 stakes to a CASS point list and to a DXF plan, each through the atomic writer to a
// file (target: under a second each).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

#include "alignment/route.h"
#include "exchange/exchange_files.h"
#include "exchange/route_plan.h"

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

// A route of 2,000 km (a JD every 10 km, R 2000, Ls 200) staked every 20 m: 100,000 stakes and
// more, drawn from the engine (clothoids by their exact positions) and written.
void BM_RouteStakesToDxf(benchmark::State& state) {
  std::vector<survey::alignment::JdInput> jds;
  for (int i = 0; i <= 200; ++i) {
    const bool end = i == 0 || i == 200;
    jds.push_back({end ? (i == 0 ? "QD" : "ZD") : "JD" + std::to_string(i), 10000.0 * i, i % 2 ? 3000.0 : 0.0,
                   end ? 0 : 2000.0, end ? 0 : 200.0, end ? 0 : 200.0, 0});
  }
  const survey::alignment::Route route = survey::alignment::BuildRouteFromJd(jds, 0, {});
  PlanOptions options;
  options.interval = 20;
  const std::string path = Target("exchange_route_bench.dxf");
  std::size_t stakes = 0;
  for (auto _ : state) {
    const PlanDrawing drawing = RoutePlan(route, options);
    stakes = drawing.stakes.size();
    if (!SavePlanDxf(path, drawing).ok) state.SkipWithError("write failed");
  }
  state.counters["stakes"] = static_cast<double>(stakes);
  std::filesystem::remove(path);
}
BENCHMARK(BM_RouteStakesToDxf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
