#include <benchmark/benchmark.h>

#include <algorithm>

#include "quenby/vertical_curve.h"

namespace {

// A long curve at 0.2 m spacing: 50,013 stakes, 100,032 listing lines.
void BM_Listing100kLines(benchmark::State& st) {
  const quenby::CurveInput in{1000500, 0.005, -0.005, 12500, 100};
  for (auto _ : st) {
    quenby::CurveState state;
    std::string out;
    const auto outcome = quenby::BuildListing(in, 0.2, state, out, quenby::kMaxListingLines);
    benchmark::DoNotOptimize(out.data());
    if (outcome != quenby::ListingOutcome::Done) st.SkipWithError("refused");
    st.counters["lines"] = static_cast<double>(std::count(out.begin(), out.end(), '\n'));
  }
}
BENCHMARK(BM_Listing100kLines)->Unit(benchmark::kMillisecond);

}  // namespace
