// The largest inputs the alignment program accepts, and the hostile ones beyond its caps, run
// as the built program: time per run and peak_MB, the program's largest resident set as
// /usr/bin/time reports it. Budget: every run within a few seconds and 500 MB, refusals at
// once. The inputs: a points table at the row cap with z (1,000,000 rows, about 60 MB)
// located with a profile, a profile table at its cap (100,000 rows), and files beyond the caps
// (a 255 MB profile table, points one row over the cap, /dev/zero as a table).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "alignment/bench/program_run.h"
#include "alignment/table_reader.h"

namespace {

namespace fs = std::filesystem;

struct Inputs {
  fs::path dir, route, points, pointsOver, profile, hugeProfile;
};

// A route of one JD 5 km on either side, points along it, profile points every 10 m.
const Inputs& BenchInputs() {
  static const Inputs in = [] {
    Inputs f;
    f.dir = fs::temp_directory_path() / "alignment-caps-bench";
    fs::create_directories(f.dir);
    f.route = f.dir / "route.csv";
    std::ofstream(f.route) << "name,x,y,r,ls1,ls2\nQD,3000000,500000\nJD1,3005000,500000,3000,200,\nZD,3010000,503000\n";
    const auto points = [&](const fs::path& path, std::size_t rows) {
      std::ofstream out(path);
      out << "name,x,y,z\n";
      char line[128];
      for (std::size_t i = 0; i < rows; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(rows);
        std::snprintf(line, sizeof line, "P%013zu,%.10f,%.10f,%.4f\n", i, 3000000 + 5000 * t,
                      500000 + 20 * std::sin(static_cast<double>(i)), 100 + t);
        out << line;
      }
    };
    f.points = f.dir / "points.csv";
    points(f.points, survey::alignment::kMaxPointRows);
    f.pointsOver = f.dir / "points-over.csv";
    points(f.pointsOver, survey::alignment::kMaxPointRows + 1);
    const auto profile = [&](const fs::path& path, std::size_t rows, std::size_t pad) {
      std::ofstream out(path);
      out << "station,elevation,r\n";
      const std::string blanks(pad, ' ');
      for (std::size_t i = 0; i < rows; ++i) out << i * 10 << ',' << 100 + (i % 2) << ",0" << blanks << '\n';
    };
    f.profile = f.dir / "profile.csv";
    profile(f.profile, survey::alignment::kMaxProfileRows, 0);
    f.hugeProfile = f.dir / "profile-255MB.csv";
    profile(f.hugeProfile, 255 * 1024 * 1024 / 64, 64 - 16);
    return f;
  }();
  return in;
}

// The program's exit status must be `status`.
void RunProgram(benchmark::State& state, const std::vector<std::string>& arguments, int status) {
  survey::alignment::bench::RunProgram(state, BenchInputs().dir / "peak.txt", arguments, status);
}

void BM_LocatePointsAtTheCapWithProfile(benchmark::State& state) {
  const Inputs& f = BenchInputs();
  RunProgram(state, {"locate", "--jd", f.route.string(), "--points", f.points.string(), "--profile", f.profile.string()}, 0);
}
void BM_ProfileAtTheCap(benchmark::State& state) {
  const Inputs& f = BenchInputs();
  RunProgram(state, {"profile", "--jd", f.route.string(), "--profile", f.profile.string()}, 0);
}
void BM_StakesEveryMetreWithProfileAtTheCap(benchmark::State& state) {
  const Inputs& f = BenchInputs();
  RunProgram(state, {"stakes", "--jd", f.route.string(), "--interval", "1", "--profile", f.profile.string()}, 0);
}
void BM_RefusedProfileOf255MB(benchmark::State& state) {
  const Inputs& f = BenchInputs();
  RunProgram(state, {"profile", "--jd", f.route.string(), "--profile", f.hugeProfile.string()}, 2);
}
void BM_RefusedPointsOneRowOverTheCap(benchmark::State& state) {
  const Inputs& f = BenchInputs();
  RunProgram(state, {"locate", "--jd", f.route.string(), "--points", f.pointsOver.string()}, 2);
}
void BM_RefusedDeviceAsTable(benchmark::State& state) {
  RunProgram(state, {"curves", "--jd", "/dev/zero"}, 2);
}

#define CAPS_BENCHMARK(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true)
CAPS_BENCHMARK(BM_LocatePointsAtTheCapWithProfile);
CAPS_BENCHMARK(BM_ProfileAtTheCap);
CAPS_BENCHMARK(BM_StakesEveryMetreWithProfileAtTheCap);
CAPS_BENCHMARK(BM_RefusedProfileOf255MB);
CAPS_BENCHMARK(BM_RefusedPointsOneRowOverTheCap);
CAPS_BENCHMARK(BM_RefusedDeviceAsTable);

}  // namespace
