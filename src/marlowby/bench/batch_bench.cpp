// End to end: the marlowby program in batch mode computes 100,000 stakes (interval 1 m over
// 100 km), stores them in its stake table, reloads them as the grid would, exports the .ly file
// and prints the lines. The budget is 2 s and 300 MB of peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void BM_BatchHundredThousandStakes(benchmark::State& state) {
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "marlowby-bench";
  std::filesystem::create_directories(home);
  const std::string command = "SURVEY_DATA_HOME='" + home.string() + "' '" MARLOWBY_PROGRAM "'" +
                              " --start-station 0 --end-station 100000 --interval 1 --offset " +
                              std::to_string(state.range(0)) + " --skew 30 --export '" + (home / "bench.ly").string() +
                              "' > /dev/null 2>&1";
  for (auto _ : state) {
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the batch run failed");
      break;
    }
  }
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  std::filesystem::remove_all(home);
}
BENCHMARK(BM_BatchHundredThousandStakes)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
