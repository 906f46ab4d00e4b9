// For benchmarks of the built program: runs ALIGNMENT_PROGRAM with `arguments`, its output and
// messages to /dev/null, and fails the benchmark unless it exits with `status`. peak_MB is its
// largest resident set as /usr/bin/time reports it: the rusage of a child of this process would
// count this process's own pages too (a spawned child starts in its parent's memory).
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace survey::alignment::bench {

// `report` is a scratch file for /usr/bin/time's figure.
inline void RunProgram(benchmark::State& state, const std::filesystem::path& report,
                       const std::vector<std::string>& arguments, int status = 0) {
  const bool timed = access("/usr/bin/time", X_OK) == 0;
  std::vector<std::string> args;
  if (timed) args = {"/usr/bin/time", "-f", "%M", "-o", report.string()};
  args.push_back(ALIGNMENT_PROGRAM);
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  double peakKb = 0;
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start the program");
      break;
    }
    int got = 0;
    waitpid(pid, &got, 0);
    if (!WIFEXITED(got) || WEXITSTATUS(got) != status) {
      state.SkipWithError("unexpected exit status");
      break;
    }
    // The last line: before it /usr/bin/time notes a non-zero exit status.
    std::ifstream in(report);
    std::string line, last;
    while (std::getline(in, line)) last = line.empty() ? last : line;
    if (timed && !last.empty()) peakKb = std::max(peakKb, std::stod(last));
  }
  posix_spawn_file_actions_destroy(&actions);
  if (timed) state.counters["peak_MB"] = peakKb / 1024.0;
}

}  // namespace survey::alignment::bench
