// The alignment program: a command runs the command line (see cli/program.h); without one, the window
// opens (in builds with Qt). `report` paints with Qt, so it runs on the offscreen platform.
#include <iostream>
#include <string>
#include <vector>

#include "alignment/cli/program.h"
#ifdef ALIGNMENT_WITH_WINDOW
#include "alignment/window/main_window.h"
#include "alignment/window/report.h"
#include "common/batch_cli.h"
#include "platform/paths.h"
#include "platform/program_main.h"
#endif

int main(int argc, char** argv) {
  // The CSV goes out in large blocks; the C stdio buffer in between would only copy them.
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef ALIGNMENT_WITH_WINDOW
  // Without a display (a script, a test) the program prints its help as without a window.
  const bool project = args.size() == 1 && args[0].size() > 8 && args[0].ends_with(".alnproj");
  if ((args.empty() || project) && platform::HasDisplay()) {
    return platform::RunProgram(
        argc, argv, "alignment", [](const std::vector<std::string>&) { return 2; },
        [](QApplication& app) { return survey::alignment::window::RunWindow(app); });
  }
  if (!args.empty() && args[0] == "report" && survey::WantsBatchMode(argc, argv)) {
    return platform::RunProgram(
        argc, argv, "alignment",
        [](const std::vector<std::string>& batchArgs) { return survey::alignment::window::RunReportBatch(batchArgs); },
        [](QApplication&) { return 2; });
  }
#endif
  return survey::alignment::cli::RunBatch(args, std::cout, std::cerr);
}
