#include <benchmark/benchmark.h>

#include "common/notation.h"

namespace {

void BM_PlainNumberTextDouble(benchmark::State& state) {
  double v = 1234.56789012345;
  for (auto _ : state) {
    benchmark::DoNotOptimize(survey::PlainNumberText(v));
    v += 0.001;
  }
}
BENCHMARK(BM_PlainNumberTextDouble);

void BM_SignedNumberTextSingle(benchmark::State& state) {
  float v = 835.9486f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(survey::SignedNumberText(v));
    v += 0.01f;
  }
}
BENCHMARK(BM_SignedNumberTextSingle);

void BM_PackedAngleToDegrees(benchmark::State& state) {
  double v = 88.2222;
  for (auto _ : state) {
    benchmark::DoNotOptimize(survey::PackedAngleToDegrees(v));
    v += 0.0001;
  }
}
BENCHMARK(BM_PackedAngleToDegrees);

}  // namespace
