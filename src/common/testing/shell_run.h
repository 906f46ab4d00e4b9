// For end-to-end tests of the built programs: a command line run by the shell, with what it
// wrote on stdout and its exit status as a script would see them (-1 when it did not exit).
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace survey::testing {

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

}  // namespace survey::testing
