#include <benchmark/benchmark.h>

#include "marlowby/straight_line.h"

namespace {

// 100,000 stakes: interval 1 m over 100 km, with side stakes (the heavier case).
void BM_HundredThousandStakes(benchmark::State& state) {
  marlowby::StraightLineInput in;
  in.startX = 46276.097;
  in.startY = -4532.808;
  in.forwardX = 44992.796;
  in.forwardY = -1906.348;
  in.interval = 1;
  in.sideDistance = static_cast<double>(state.range(0));
  in.startStation = 0;
  in.endStation = 100000;
  in.skew = 30;
  for (auto _ : state) {
    const auto result = marlowby::ComputeStraightLine(in);
    benchmark::DoNotOptimize(result.rows.data());
  }
}
BENCHMARK(BM_HundredThousandStakes)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
