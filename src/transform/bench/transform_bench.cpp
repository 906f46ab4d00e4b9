// A million points through the projection: arrays (PROJ's generic transform), the per-point
// path of the forward command (with γ and k), and the rezone and forward commands end to end
// on a CSV (reading, checks, projection, writing).
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "common/testing/counting_buffer.h"
#include "transform/batch.h"
#include "transform/projection.h"

namespace {

using namespace survey::transform;

constexpr std::size_t kPoints = 1'000'000;

void GeodeticGrid(std::vector<double>& b, std::vector<double>& l) {
  b.resize(kPoints);
  l.resize(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i) {
    b[i] = 30.0 + static_cast<double>(i % 1000) * 0.001;
    l[i] = 109.6 + static_cast<double>(i / 1000) * 0.0028;
  }
}

TransverseMercator Zone(double meridian) {
  GaussKruger gk;
  gk.centralMeridian = meridian;
  return TransverseMercator(gk.Definition());
}

void BM_ForwardArrays(benchmark::State& state) {
  const TransverseMercator tm = Zone(111);
  std::vector<double> b0, l0;
  GeodeticGrid(b0, l0);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<double> b = b0, l = l0;
    state.ResumeTiming();
    tm.ForwardInPlace(b, l);
    benchmark::DoNotOptimize(b.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPoints));
}
BENCHMARK(BM_ForwardArrays)->Unit(benchmark::kMillisecond);

void BM_ForwardWithFactors(benchmark::State& state) {
  const TransverseMercator tm = Zone(111);
  std::vector<double> b, l;
  GeodeticGrid(b, l);
  for (auto _ : state) {
    double sum = 0;
    for (std::size_t i = 0; i < kPoints; ++i) {
      const GridPoint p = tm.Forward({b[i], l[i]});
      const PointFactors f = tm.Factors({b[i], l[i]});
      sum += p.x + f.scale;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPoints));
}
BENCHMARK(BM_ForwardWithFactors)->Unit(benchmark::kMillisecond);

void BM_RezoneArrays(benchmark::State& state) {
  const TransverseMercator from = Zone(111), to = Zone(114);
  std::vector<double> x0, y0;
  GeodeticGrid(x0, y0);
  from.ForwardInPlace(x0, y0);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<double> x = x0, y = y0;
    state.ResumeTiming();
    from.InverseInPlace(x, y);
    to.ForwardInPlace(x, y);
    benchmark::DoNotOptimize(x.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPoints));
}
BENCHMARK(BM_RezoneArrays)->Unit(benchmark::kMillisecond);

// The rezone command on a million-row CSV: reading, checks, both projections, writing.
void BM_RezoneCommand(benchmark::State& state) {
  const TransverseMercator from = Zone(111);
  std::vector<double> x, y;
  GeodeticGrid(x, y);
  from.ForwardInPlace(x, y);
  std::string csv = "name,x,y,h\n";
  csv.reserve(kPoints * 40);
  for (std::size_t i = 0; i < kPoints; ++i) {
    csv += "P" + std::to_string(i) + ',' + FixedText(x[i], 4) + ',' + FixedText(y[i], 4) + ",100\n";
  }
  survey::testing::CountingBuffer nothing;
  std::ostream out(&nothing), err(&nothing);
  const FileReader read = [&](const std::string&) { return csv; };
  for (auto _ : state) {
    const int status = RunBatch({"rezone", "--zone", "37", "--to-zone", "38", "--points", "t.csv"}, out, err, read);
    if (status != 0) state.SkipWithError("refused");
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPoints));
}
BENCHMARK(BM_RezoneCommand)->Unit(benchmark::kMillisecond);

// The forward command on a million-row CSV of B, L in D.MMSS, with γ and k per point.
void BM_ForwardCommand(benchmark::State& state) {
  std::vector<double> b, l;
  GeodeticGrid(b, l);
  std::string csv = "name,B,L,H\n";
  csv.reserve(kPoints * 40);
  for (std::size_t i = 0; i < kPoints; ++i) {
    csv += "P" + std::to_string(i) + ',' + PackedDegreesText(b[i], 4) + ',' + PackedDegreesText(l[i], 4) + ",100\n";
  }
  survey::testing::CountingBuffer nothing;
  std::ostream out(&nothing), err(&nothing);
  const FileReader read = [&](const std::string&) { return csv; };
  for (auto _ : state) {
    const int status = RunBatch({"forward", "--zone", "37", "--points", "t.csv"}, out, err, read);
    if (status != 0) state.SkipWithError("refused");
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPoints));
}
BENCHMARK(BM_ForwardCommand)->Unit(benchmark::kMillisecond);

}  // namespace
