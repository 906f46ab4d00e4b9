// A 100 km transition (10,000 stakes) computed and written as a report, and a run of extra
// stakes added one by one as a user would.
#include <benchmark/benchmark.h>

#include "dovetree/form.h"
#include "dovetree/report.h"

namespace {

using namespace dovetree;

void BM_LongTransitionReport(benchmark::State& state) {
  const auto in = ReadStationInput("200000", "57.18", "1000000", "100000", "150000");
  for (auto _ : state) {
    const auto result = ComputeStationDeflections(*in);
    const std::string text = MainReport({"200000", "1000000", "100000"}, *result);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_LongTransitionReport)->Unit(benchmark::kMillisecond);

void BM_ExtraStakes(benchmark::State& state) {
  for (auto _ : state) {
    HhForm f;
    f.Text1 = "1000";
    f.Text2 = "30";
    f.Text3 = "500";
    f.Text4 = "60";
    f.Text5 = "870";
    survey::RecordingHost host;
    f.Command1_Click(host);
    for (int i = 0; i < 100; ++i) {
      f.Text6 = std::to_string(836 + i);
      f.Command2_Click(host);
    }
    benchmark::DoNotOptimize(f.Report().data());
  }
}
BENCHMARK(BM_ExtraStakes)->Unit(benchmark::kMicrosecond);

}  // namespace
