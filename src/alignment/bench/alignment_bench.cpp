// The alignment core at route scale: a 200-JD route of about 100 km, its stake list every metre
// with every stake set out, and a million surveyed points located on it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "alignment/clothoid.h"
#include "alignment/route.h"
#include "alignment/stake_list.h"

namespace survey::alignment {
namespace {

// 200 JDs about 509 m apart, swinging 40 m either side, radii 600-1000 m, transitions 100-140 m
// (asymmetric on every other JD), on grid coordinates of realistic size.
std::vector<JdInput> LongRoute() {
  std::vector<JdInput> points;
  points.push_back({"QD", 3000000, 500000});
  for (int i = 1; i <= 200; ++i) {
    const double side = (i % 2 == 0 ? 40.0 : -40.0) + 5.0 * (i % 3);
    const double r = 600 + 100 * (i % 5);
    const double ls1 = 100 + 20 * (i % 3);
    const double ls2 = i % 2 == 0 ? ls1 : 140;
    points.push_back({"JD" + std::to_string(i), 3000000 + 500.0 * i, 500000 + side, r, ls1, ls2});
  }
  points.push_back({"ZD", 3000000 + 500.0 * 201, 500000});
  return points;
}

void BM_BuildRoute200Jd(benchmark::State& state) {
  const std::vector<JdInput> points = LongRoute();
  for (auto _ : state) benchmark::DoNotOptimize(BuildRouteFromJd(points, 0, {}));
}
BENCHMARK(BM_BuildRoute200Jd)->Unit(benchmark::kMillisecond);

void BM_StakesEveryMetre(benchmark::State& state) {
  const std::vector<JdInput> points = LongRoute();
  std::size_t rows = 0;
  for (auto _ : state) {
    const Route route = BuildRouteFromJd(points, 0, {});
    rows = 0;
    double sum = 0;
    ForEachStake(route, {1.0, {}, {}}, [&](const Stake& s) {
      const Pose p = route.PointAt(s.chainage);
      sum += p.x + p.y;
      ++rows;
    });
    benchmark::DoNotOptimize(sum);
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_StakesEveryMetre)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LocateMillionPoints(benchmark::State& state) {
  const std::vector<JdInput> points = LongRoute();
  const Route probe = BuildRouteFromJd(points, 0, {});
  std::mt19937_64 random(15);
  std::uniform_real_distribution<double> along(-200, probe.Length() + 200), across(-50, 50);
  std::vector<double> xy;
  xy.reserve(2'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    const double c = along(random);
    const Pose p = probe.PointAt(std::min(std::max(c, 0.0), probe.Length()), across(random));
    xy.push_back(p.x + (c < 0 ? c : 0));
    xy.push_back(p.y);
  }
  for (auto _ : state) {
    const Route route = BuildRouteFromJd(points, 0, {});  // the index is built by the first query
    std::size_t inside = 0;
    for (std::size_t i = 0; i < xy.size(); i += 2) inside += route.Locate(xy[i], xy[i + 1]).inside ? 1 : 0;
    benchmark::DoNotOptimize(inside);
  }
}
BENCHMARK(BM_LocateMillionPoints)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ClothoidPoint(benchmark::State& state) {
  double s = 0;
  for (auto _ : state) {
    s = s > 150 ? 0 : s + 0.7;
    benchmark::DoNotOptimize(ClothoidAt(1.0 / 300, -1.0 / 60000, s));
  }
}
BENCHMARK(BM_ClothoidPoint);

}  // namespace
}  // namespace survey::alignment
