// The deviation report for 1,000,000 measured points on a 100 km route, as the command runs it
// (reading the table, locating, the design elevation, the CSV). Peak memory: run under
// /usr/bin/time -v.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "alignment/cli/program.h"

namespace {

struct Files {
  std::string jd, profile, section, slopes, points;
};

const Files& MakeFiles() {
  static const Files files = [] {
    Files f;
    // A winding route of 100 km: 50 JDs alternating left and right.
    f.jd = "name,x,y,r,ls1,ls2\nQD,0,0,,,\n";
    for (int i = 1; i < 50; ++i) {
      f.jd += "JD" + std::to_string(i) + "," + std::to_string(i * 2000) + "," + std::to_string(i % 2 ? 300 : -300) +
              ",1500,150,150\n";
    }
    f.jd += "ZD,100000,0,,,\n";
    f.profile = "station,elevation,r\n0,100,\n50000,150,20000\n99000,120,\n";
    f.section =
        "side,part,width,slope,super\nleft,行车道,7.5,-2,1\nleft,硬路肩,2.5,-2,1\nleft,土路肩,0.75,-4,0\n"
        "right,行车道,7.5,-2,1\nright,硬路肩,2.5,-2,1\nright,土路肩,0.75,-4,0\n";
    f.slopes = "side,kind,ratio\nleft,fill,1.5\nleft,cut,1\nright,fill,1.5\nright,cut,1\n";
    f.points.reserve(60'000'000);
    f.points = "name,x,y,z\n";
    char line[96];
    for (long i = 0; i < 1'000'000; ++i) {
      // Along the route near the centreline, within ±20 m across.
      const double x = 100.0 + 0.0979 * static_cast<double>(i);
      const double y = static_cast<double>((i * 7919) % 4000) / 100.0 - 20.0;
      std::snprintf(line, sizeof line, "P%ld,%.3f,%.3f,%.3f\n", i, x, y, 110.0 + static_cast<double>(i % 1000) / 100.0);
      f.points += line;
    }
    return f;
  }();
  return files;
}

void Run(benchmark::State& state, bool withSection) {
  const Files& f = MakeFiles();
  const auto read = [&](const std::string& name) -> std::string {
    if (name == "jd.csv") return f.jd;
    if (name == "profile.csv") return f.profile;
    if (name == "section.csv") return f.section;
    if (name == "slopes.csv") return f.slopes;
    return f.points;
  };
  std::vector<std::string> args = {"check", "--jd", "jd.csv", "--profile", "profile.csv", "--points", "points.csv"};
  if (withSection) {
    for (const char* a : {"--section", "section.csv", "--slopes", "slopes.csv"}) args.push_back(a);
  }
  for (auto _ : state) {
    std::ostringstream out, err;
    const int status = survey::alignment::cli::RunBatch(args, out, err, read);
    if (status != 0) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.str().size());
  }
}

void BM_CheckMillionPoints(benchmark::State& state) { Run(state, false); }
void BM_CheckMillionPointsWithSectionAndSlopes(benchmark::State& state) { Run(state, true); }
BENCHMARK(BM_CheckMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CheckMillionPointsWithSectionAndSlopes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
