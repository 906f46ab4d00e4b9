// The alignment program without a window: `alignment COMMAND ROUTE-OPTIONS [OPTIONS]`.
//
// A run reads the route (from one of the route sources), checks every option, and only then
// writes CSV (header row, UTF-8, LF) to the output stream; a refusal writes its message to
// the error stream, nothing to the output stream, and the status is 2.
//
// Commands and route sources live in tables (BatchProgram), so that further commands
// (`profile`, `stakeout`, `export`, `report`) and inputs (`--landxml`, `--profile`) are added
// by registering them, without touching the ones here.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/route.h"
#include "alignment/text_format.h"
#include "common/batch_cli.h"

namespace survey::alignment {

// The whole content of a regular file (links followed); throws AlignmentError when it cannot
// be read, is a device, a FIFO or a folder, or is larger than kMaxInputBytes. The row caps of
// the tables are reached well within this size; anything bigger is not one of ours.
inline constexpr std::size_t kMaxInputBytes = 64u * 1024 * 1024;
using FileReader = std::function<std::string(const std::string& path)>;
std::string ReadFileFromDisk(const std::string& path);

// How values are printed.
struct OutputFormat {
  int decimals = 3;  // lengths, stations and coordinates
  AngleUnit angles = AngleUnit::PackedDms;
};

// CSV rows into one buffer that goes to the stream in large blocks. Fields are separated
// by commas as they are added; EndRow() ends the line with LF.
class CsvWriter {
 public:
  CsvWriter(std::ostream& out, OutputFormat format);
  ~CsvWriter();  // flushes
  CsvWriter(const CsvWriter&) = delete;
  CsvWriter& operator=(const CsvWriter&) = delete;

  void Text(std::string_view text);  // quoted when needed
  void Number(double value);         // `decimals` places
  void Angle(double radians, AngleKind kind = AngleKind::Angle);
  void Empty();
  void EndRow();
  void Flush();
  const OutputFormat& Format() const { return format_; }

 private:
  void Separate();
  std::ostream& out_;
  OutputFormat format_;
  std::string buffer_;
  bool rowStart_ = true;
};

// One option with its line of help ("--interval D", "stake interval in metres, default 20").
struct OptionHelp {
  AcceptedOption option;
  std::string usage;
  std::string help;
};

class CommandContext;

// One way to give the horizontal alignment. `trigger` is the option that selects it (its
// value usually a file); `options` are the trigger and the options only it takes.
struct RouteSource {
  std::string trigger;
  std::vector<OptionHelp> options;
  std::function<Route(CommandContext&)> build;
};

struct Command {
  std::string name;
  std::string usage;        // after the command name, e.g. "[--interval D] [--from S] ..."
  std::string description;  // one or two sentences
  std::vector<OptionHelp> options;
  std::string example;      // a complete command line
  // Reads its options, checks them, then writes its rows; throws AlignmentError to refuse
  // (before it writes anything).
  std::function<void(CommandContext&)> run;
};

// What a command sees: the options of the line, the route (read on first use), the format
// and the streams.
class CommandContext {
 public:
  CommandContext(const ParsedOptions& options, const FileReader& readFile, const std::vector<RouteSource>& sources,
                 OutputFormat format, std::ostream& out);

  const ParsedOptions& options;
  const FileReader& readFile;
  const OutputFormat format;
  std::ostream& out;

  const Route& GetRoute();
  // The value of an option read as a number, a station or an angle (the angle unit of the
  // run); refuses naming the option. nullopt when the option is absent.
  std::optional<double> Number(const std::string& option) const;
  std::optional<double> Station(const std::string& option) const;
  std::optional<double> Angle(const std::string& option) const;
  // The same for one value already taken from the options.
  double NumberValue(const std::string& option, const std::string& text) const;
  double StationValue(const std::string& option, const std::string& text) const;
  double AngleValue(const std::string& option, const std::string& text) const;

 private:
  const std::vector<RouteSource>& sources_;
  std::optional<Route> route_;
};

class BatchProgram {
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

// The program with its route sources (--jd, --elements), its common options (--start,
// --equation, --decimals, --degrees) and the commands curves, stakes, point and locate.
BatchProgram StandardProgram();

// StandardProgram().Run(...): returns 0 done, 2 refused (message on `err`, nothing on `out`).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const FileReader& readFile = ReadFileFromDisk);

}  // namespace survey::alignment
