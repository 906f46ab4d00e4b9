// The alignment program without a window: `alignment COMMAND ROUTE-OPTIONS [OPTIONS]`.
//
// A run reads the route (from one of the route sources), checks every option, and only then
// writes CSV (header row, UTF-8, LF) to the output stream; a refusal writes its message to
// the error stream, nothing to the output stream, and the status is 2. Notes of the route's
// import go to the error stream as well.
//
// Commands and route sources live in tables: a further command is one more file beside the
// others and one more line in AlignmentCommandLine().
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "alignment/cli/command.h"

namespace survey::alignment::cli {

class CommandTable {
 public:
  void AddCommand(Command command) { commands_.push_back(std::move(command)); }
  void AddRouteSource(RouteSource source) { sources_.push_back(std::move(source)); }
  // An option every command takes (e.g. a second input file).
  void AddCommonOption(OptionHelp option) { common_.push_back(std::move(option)); }

  int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
          const FileReader& readFile = ReadFileFromDisk) const;
  std::string HelpText() const;

 private:
  std::vector<Command> commands_;
  std::vector<RouteSource> sources_;
  std::vector<OptionHelp> common_;
};

// The program: route sources --jd, --elements, --landxml; the common options; the commands
// curves, stakes, point, locate, profile, stakeout and export.
CommandTable AlignmentCommandLine();

// AlignmentCommandLine().Run(...): returns 0 done, 2 refused (message on `err`, nothing on `out`).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const FileReader& readFile = ReadFileFromDisk);

}  // namespace survey::alignment::cli
