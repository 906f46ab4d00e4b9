// The transform program: a command runs the batch mode (see batch.h); without one, the window
// opens (in builds with Qt and a display).
#include <iostream>
#include <string>
#include <vector>

#include "transform/batch.h"
#ifdef TRANSFORM_WITH_WINDOW
#include "platform/paths.h"
#include "platform/program_main.h"
#include "transform/window/main_window.h"
#endif

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef TRANSFORM_WITH_WINDOW
  // Without a display (a script, a test) the program prints its help as without a window.
  if (args.empty() && platform::HasDisplay()) {
    return platform::RunProgram(
        argc, argv, "transform", [](const std::vector<std::string>&) { return 2; },
        [](QApplication& app) { return survey::transform::window::RunWindow(app); });
  }
#endif
  return survey::transform::RunBatch(args, std::cout, std::cerr);
}
