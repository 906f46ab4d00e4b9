// The cross-section commands over a 100 km route (501 curves with transitions, a profile with
// vertical curves), the tables in memory: `section` every 20 m with a three-part-per-side
// template (about 35,000 rows; budget 0.5 s) and `stakes --edges` every 1 m (about 100,000
// stakes with six edge stakes each; budget 2 s and 300 MB, the peak resident size reported as
// max_rss_MB, of this whole process).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <map>
#include <numbers>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "alignment/cli/program.h"
#include "common/testing/counting_buffer.h"

namespace {

const std::map<std::string, std::string>& Files() {
  static const std::map<std::string, std::string> files = [] {
    std::map<std::string, std::string> f;
    std::ostringstream route;
    route.precision(15);
    route << "name,x,y,r,ls1,ls2\n";
    const int jds = 500;
    const double leg = 200;
    double x = 3'000'000, y = 500'000, azimuth = 0.3;
    for (int i = 0; i <= jds + 1; ++i) {
      if (i == 0) {
        route << "QD," << x << ',' << y << "\n";
      } else if (i == jds + 1) {
        route << "ZD," << x << ',' << y << "\n";
      } else {
        route << "JD" << i << ',' << x << ',' << y << ",800,50,\n";
        azimuth += (i % 2 ? 8.0 : -8.0) * std::numbers::pi / 180;
      }
      x += leg * std::cos(azimuth);
      y += leg * std::sin(azimuth);
    }
    f["route.csv"] = route.str();
    std::ostringstream profile;
    profile << "station,elevation,r\n";
    for (int i = 0; i <= 250; ++i) profile << i * 400 << ',' << (i % 2 ? 106 : 100) << ',' << (i == 0 || i == 250 ? 0 : 10000) << '\n';
    f["profile.csv"] = profile.str();
    f["section.csv"] =
        "side,part,width,slope,super\n"
        "left,行车道,7.5,-2,1\nleft,硬路肩,2.5,-2,1\nleft,土路肩,0.75,-4,0\n"
        "right,行车道,7.5,-2,1\nright,硬路肩,2.5,-2,1\nright,土路肩,0.75,-4,0\n";
    // Superelevation and widening on a stretch of every kilometre, alternating sides.
    std::ostringstream super, widening;
    super << "station,left,right\n";
    widening << "station,left,right\n";
    for (int km = 0; km < 100; ++km) {
      const double s = km * 1000.0;
      const bool right = km % 2 == 0;
      super << s + 100 << ",-2,-2\n" << s + 200 << (right ? ",6,-6\n" : ",-6,6\n") << s + 700
            << (right ? ",6,-6\n" : ",-6,6\n") << s + 800 << ",-2,-2\n";
      widening << s + 100 << ",0,0\n" << s + 200 << (right ? ",0,0.8\n" : ",0.8,0\n") << s + 700
               << (right ? ",0,0.8\n" : ",0.8,0\n") << s + 800 << ",0,0\n";
    }
    f["super.csv"] = super.str();
    f["widening.csv"] = widening.str();
    return f;
  }();
  return files;
}

void RunCommand(benchmark::State& state, const std::vector<std::string>& command) {
  std::vector<std::string> args = command;
  for (const char* extra : {"--jd", "route.csv", "--profile", "profile.csv", "--section", "section.csv",
                            "--superelevation", "super.csv", "--widening", "widening.csv", "--rotate-about",
                            "inner-edge", "--profile-at", "edge"}) {
    args.push_back(extra);
  }
  const auto reader = [](const std::string& path) { return Files().at(path); };
  std::size_t bytes = 0;
  for (auto _ : state) {
    survey::testing::CountingBuffer sink;
    std::ostream out(&sink);
    std::ostringstream err;
    if (survey::alignment::cli::RunBatch(args, out, err, reader) != 0) {
      state.SkipWithError(err.str().c_str());
      break;
    }
    bytes = sink.bytes;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["csv_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

void BM_SectionEvery20m(benchmark::State& state) { RunCommand(state, {"section", "--interval", "20"}); }
BENCHMARK(BM_SectionEvery20m)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StakesWithEdgesEvery1m(benchmark::State& state) { RunCommand(state, {"stakes", "--interval", "1", "--edges"}); }
BENCHMARK(BM_StakesWithEdgesEvery1m)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
