// A 100 km transition (10,000 stakes) computed and written as a report, and a run of extra
// stakes added one by one as a user would.
#include <benchmark/benchmark.h>

#include "dovetree/deflection_form.h"
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

// The report is never printed here.
class NoPrinter : public survey::TextPrinter {
 public:
  survey::Outcome Print(const std::string&) override { return survey::Outcome::Done(); }
};

void BM_ExtraStakes(benchmark::State& state) {
  for (auto _ : state) {
    survey::RecordingHost host;
    NoPrinter printer;
    StationDeflectionForm f(host, printer);
    f.fields() = {"1000", "30", "500", "60", "870", ""};
    f.ComputeDeflections();
    for (int i = 0; i < 100; ++i) {
      f.fields().extra = std::to_string(836 + i);
      f.AddExtraStake();
    }
    benchmark::DoNotOptimize(f.Report().data());
  }
}
BENCHMARK(BM_ExtraStakes)->Unit(benchmark::kMicrosecond);

}  // namespace
