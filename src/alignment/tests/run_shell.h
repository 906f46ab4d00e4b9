// Runs a shell command line and collects its stdout and exit status, so a test sees the built
// program as a shell script does.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace survey::alignment::testing {

struct ShellResult {
  int status = -1;
  std::string out;
};

inline ShellResult RunShell(const std::string& command) {
  ShellResult r;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) r.out.append(buf, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace survey::alignment::testing
