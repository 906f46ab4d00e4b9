// The largest run each program accepts, end to end in batch mode through the built program:
// every accepted run must finish within 5 s and 500 MB on the development machine. Each
// iteration is one process; the counters give its peak resident memory (from wait4, so one
// case's memory never shows in another's).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "coordinates/file_commands.h"
#include "curve/stake_rows.h"
#include "marlowby/straight_line.h"
#include "quenby/vertical_curve.h"
#include "tallyfen/curve/curve_stakes.h"

namespace {

struct Measured {
  bool ok = false;
  double peakMegabytes = 0;
};

Measured RunProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return {};
  return {WIFEXITED(status) && WEXITSTATUS(status) == 0, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

std::string Scratch(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "survey-caps-bench";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

void RunCase(benchmark::State& state, const std::string& program, const std::vector<std::string>& args) {
  setenv("SURVEY_DATA_HOME", Scratch("home").c_str(), 1);
  double peak = 0;
  for (auto _ : state) {
    const Measured m = RunProgram(program, args);
    if (!m.ok) {
      state.SkipWithError("the batch run was refused or failed");
      break;
    }
    peak = std::max(peak, m.peakMegabytes);
  }
  state.counters["peak_MB"] = peak;
}

// Marlowby at its row cap, with side stakes, export and parameter file; the PDF report at its
// own cap.
void BM_MarlowbyAtCap(benchmark::State& state) {
  RunCase(state, MARLOWBY_PROGRAM,
          {"--start-station=0", "--end-station=" + std::to_string(state.range(0)), "--interval=1", "--offset=5",
           "--export=" + Scratch("m.ly"), "--save=" + Scratch("m.xq")});
}

void BM_MarlowbyReportAtCap(benchmark::State& state) {
  RunCase(state, MARLOWBY_PROGRAM,
          {"--start-station=0", "--end-station=" + std::to_string(state.range(0)), "--interval=1", "--offset=5",
           "--export=" + Scratch("m.ly"), "--report=" + Scratch("m.pdf")});
}

// The curve window's batch at its row cap: R chosen so the curve has about that many 10 m
// stations (length R·α, α in radians).
void BM_CurveAtCap(benchmark::State& state) {
  const double radius = static_cast<double>(state.range(0)) * 10 / 3.1;
  RunCase(state, TALLYFEN_PROGRAM,
          {"--curve", "--alpha=177.3634", "--radius=" + std::to_string(radius), "--ls=60", "--offset=5",
           "--export=" + Scratch("c.ly"), "--save=" + Scratch("c.xq")});
}

void BM_CurveReportAtCap(benchmark::State& state) {
  const double radius = static_cast<double>(state.range(0)) * 10 / 3.1;
  RunCase(state, TALLYFEN_PROGRAM,
          {"--curve", "--alpha=177.3634", "--radius=" + std::to_string(radius), "--ls=60", "--offset=5",
           "--report=" + Scratch("c.pdf")});
}

void BM_QuenbyAtCap(benchmark::State& state) {
  RunCase(state, QUENBY_PROGRAM,
          {"--radius=" + std::to_string(state.range(0)), "--i1=0.5", "--i2=-0.5", "--jd=1000000", "--elevation=100",
           "--spacing=1"});
}

void BM_BrannockAtCap(benchmark::State& state) {
  RunCase(state, BRANNOCK_PROGRAM,
          {"--jd=1000000", "--alpha=179", "--radius=" + std::to_string(state.range(0)), "--ls=60",
           "--save=" + Scratch("b.txt")});
}

void BM_DovetreeAtCap(benchmark::State& state) {
  RunCase(state, DOVETREE_PROGRAM,
          {"--jd=1000000", "--alpha=179", "--radius=" + std::to_string(state.range(0)), "--ls=60", "--station=999000"});
}

// Marlowby: the start row and one row per metre up to the cap.
BENCHMARK(BM_MarlowbyAtCap)
    ->Arg(static_cast<int64_t>(marlowby::kMaxStakeRows) - 1)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CurveAtCap)
    ->Arg(static_cast<int64_t>(tallyfen::kMaxCurveRows) - 20)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_MarlowbyReportAtCap)
    ->Arg(static_cast<int64_t>(coordinates::kMaxReportRows) - 1)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CurveReportAtCap)
    ->Arg(static_cast<int64_t>(coordinates::kMaxReportRows) - 20)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
// Quenby: grades 0.5 and -0.5 make the curve as long as its radius; two lines per metre.
BENCHMARK(BM_QuenbyAtCap)
    ->Arg(static_cast<int64_t>(quenby::kMaxListingLines) / 2 - 8)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
// Brannock and Dovetree: a 179° curve of about as many 10 m stakes as the stake list takes.
BENCHMARK(BM_BrannockAtCap)
    ->Arg(static_cast<int64_t>(survey::curve::kMaxStakes) * 3)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DovetreeAtCap)
    ->Arg(static_cast<int64_t>(survey::curve::kMaxStakes) * 3)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
