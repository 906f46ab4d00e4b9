// The transform program without a window: `transform COMMAND [OPTIONS]`.
//
// A command reads its point table (CSV or tab-separated, UTF-8 or GBK, header row of English
// or Chinese names), checks every row, and only then writes its CSV (header row, UTF-8, LF) to
// the output stream; notes for the surveyor (fitted parameters, RMS, common points whose
// residual is too large) go to the error stream with status 0. A refusal writes its message
// (naming the line or option) to the error stream, nothing to the output, and the status is 2.
//
// The window runs the very same commands (RunCommand), with its tables as the files.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "common/batch_cli.h"

namespace survey::transform {

using FileReader = std::function<std::string(const std::string& path)>;
// Writes a file whole (atomically on disk); throws TransformError naming the file on failure.
using FileWriter = std::function<void(const std::string& path, const std::string& text)>;
std::string ReadFileFromDisk(const std::string& path);
void WriteFileToDisk(const std::string& path, const std::string& text);

struct CommandResult {
  std::string csv;      // header row and data rows, LF
  std::string summary;  // notes for the surveyor, LF; may be empty
  std::string parameterFile;  // fit4 / fit7: the .tparam text
};

// The command names, in help order.
const std::vector<std::string>& CommandNames();
// Options accepted by a command (for ParseOptions); empty for an unknown command.
std::vector<AcceptedOption> CommandOptions(const std::string& command);

// How far a run on another thread is, and a way to stop it. Both are looked at every few
// thousand rows, so a cancel takes effect within milliseconds and costs nothing measurable.
struct RunControl {
  // The fraction of the run done, growing from 0 to 1, called on the running thread.
  std::function<void(double done)> progress;
  // When it turns true the run ends by throwing RunCancelled.
  const std::atomic<bool>* cancel = nullptr;
};

// Thrown by a run whose cancel flag was set; not a refusal (RefusalMessage rethrows it).
struct RunCancelled : std::exception {
  const char* what() const noexcept override { return "计算已取消。"; }
};

// Runs one command on parsed options; throws TransformError (or the table reader's error) to
// refuse. Does not write --out: the caller does, after a successful run. The result does not
// depend on `control`.
CommandResult RunCommand(const std::string& command, const ParsedOptions& options, const FileReader& readFile,
                         const RunControl& control = {});

// The message of a refusal thrown by RunCommand, or rethrows anything else.
std::string RefusalMessage(std::exception_ptr error);

std::string HelpText();

// Returns 0 done, 2 refused.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const FileReader& readFile = ReadFileFromDisk, const FileWriter& writeFile = WriteFileToDisk);

}  // namespace survey::transform
