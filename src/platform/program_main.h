// The shared start of every program: options that begin with "--" run the batch mode (the
// window's handlers without a window, on the offscreen platform, so no display is needed);
// otherwise the window opens, or, without a display, the program says so and points to the
// batch mode instead of crashing.
#pragma once

#include <QApplication>
#include <functional>
#include <string>
#include <vector>

namespace platform {

using BatchEntry = std::function<int(const std::vector<std::string>& args)>;
using WindowEntry = std::function<int(QApplication& app)>;

// `programName` is the lower-case file name ("brannock"); it names the program in messages.
int RunProgram(int argc, char** argv, const char* programName, const BatchEntry& batch, const WindowEntry& window);

}  // namespace platform
