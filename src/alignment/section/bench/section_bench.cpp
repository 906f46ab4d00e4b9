// The design surface along a 100 km route with a three-part-per-side template, superelevation
// and widening on a curve every kilometre, rotating about the inner edge (the most work per
// station): the break points every 20 m (about 35,000 rows, the `section` command's load) and
// the edge elevations every 1 m (`stakes --edges`). Budgets of the whole commands: 0.5 s and 2 s.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "alignment/section/design_surface.h"

namespace {

using namespace survey::alignment;
using namespace survey::alignment::section;

constexpr double kLength = 100'000;

const SectionModel& Model() {
  static const StationLine stations(0, {}, kLength);
  static const SectionModel model = [] {
    SectionTables t;
    t.section = ReadTypicalSection(
        "side,part,width,slope,super\n"
        "left,行车道,7.5,-2,1\nleft,硬路肩,2.5,-2,1\nleft,土路肩,0.75,-4,0\n"
        "right,行车道,7.5,-2,1\nright,硬路肩,2.5,-2,1\nright,土路肩,0.75,-4,0\n",
        "section.csv");
    std::string super = "station,left,right\n", widening = "station,left,right\n";
    for (int km = 0; km < 100; ++km) {
      const double s = km * 1000.0;
      const bool right = km % 2 == 0;
      super += std::to_string(s + 100) + ",-2,-2\n" + std::to_string(s + 200) + (right ? ",6,-6\n" : ",-6,6\n") +
               std::to_string(s + 700) + (right ? ",6,-6\n" : ",-6,6\n") + std::to_string(s + 800) + ",-2,-2\n";
      widening += std::to_string(s + 100) + ",0,0\n" + std::to_string(s + 200) + (right ? ",0,0.8\n" : ",0.8,0\n") +
                  std::to_string(s + 700) + (right ? ",0,0.8\n" : ",0.8,0\n") + std::to_string(s + 800) + ",0,0\n";
    }
    t.superelevation = ReadSuperelevationTable(super, "super.csv");
    t.widening = ReadWideningTable(widening, "widening.csv");
    return SectionModel(std::move(t), stations, {ProfileAt::Edge, RotateAbout::InnerEdge, Transition::Cubic});
  }();
  return model;
}

void BM_BreakPointsEvery20m(benchmark::State& state) {
  const SectionModel& model = Model();
  std::vector<BreakPoint> points;
  for (auto _ : state) {
    points.clear();
    for (double c = 0; c <= kLength; c += 20) model.At(c, 100 + c * 0.01).AppendBreakPoints(points);
    benchmark::DoNotOptimize(points.data());
  }
  state.counters["rows"] = static_cast<double>(points.size());
}
BENCHMARK(BM_BreakPointsEvery20m)->Unit(benchmark::kMillisecond);

void BM_EdgeElevationsEvery1m(benchmark::State& state) {
  const SectionModel& model = Model();
  double sum = 0;
  for (auto _ : state) {
    for (double c = 0; c <= kLength; c += 1) {
      const CrossSection s = model.At(c, 100 + c * 0.01);
      for (const Side side : {Side::Left, Side::Right}) {
        double offset = 0;
        const double sign = side == Side::Left ? -1 : 1;
        for (const ActualPart& part : s.Parts(side)) {
          offset += part.width;
          sum += *s.ElevationAt(sign * offset);
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_EdgeElevationsEvery1m)->Unit(benchmark::kMillisecond);

}  // namespace
