// A 100 km curve: about 10,000 stakes, computed and written as a report.
#include <benchmark/benchmark.h>

#include "curve/report.h"

namespace {

using namespace survey::curve;

void BM_LongCurveReport(benchmark::State& state) {
  const CurveInput in{100000, 57.18, 100000, 300};
  for (auto _ : state) {
    const auto listing = ComputeCurveListing(in);
    const std::string text = WriteMainReport(
        MakeReportHead(BrannockBanner(), "100000", "100000", "300", listing->elements), listing->rows, "26-12-6");
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_LongCurveReport)->Unit(benchmark::kMillisecond);

}  // namespace
