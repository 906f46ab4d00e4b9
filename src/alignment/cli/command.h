// What one command of the alignment program is made of, and what it sees when it runs: the
// options of the line, the route (built once, on first use, from the route source the line
// names), the output format and the streams.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "alignment/route_design.h"
#include "alignment/stake_list.h"
#include "alignment/text_format.h"
#include "common/batch_cli.h"

namespace survey::alignment::cli {

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
  std::function<RouteDesign(CommandContext&)> build;
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

  // Appends options shared with other commands to the help, in order.
  void AddOptions(std::vector<OptionHelp> more);
};

class CommandContext {
 public:
  CommandContext(const ParsedOptions& options, const FileReader& readFile, const std::vector<RouteSource>& sources,
                 OutputFormat format, std::ostream& out, std::ostream& err);

  const ParsedOptions& options;
  const FileReader& readFile;
  const OutputFormat format;
  std::ostream& out;
  std::ostream& err;

  // The route from its source, built on first use; the notes of its import go to `err` then.
  const RouteDesign& Design();
  const Route& GetRoute() { return Design().route; }
  // The design with the profile of --profile FILE in place of any the route source brought
  // (read on first use).
  const RouteDesign& DesignWithProfile();

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
  std::optional<RouteDesign> design_;
  bool profileTableRead_ = false;
};

[[noreturn]] void Refuse(const std::string& message);
// A value quoted for a message, cut after 60 characters.
std::string Quote(std::string_view text);

// --interval, --from and --to of the stake commands, and their help.
StakeOptions StakeRange(const CommandContext& ctx);
std::vector<OptionHelp> StakeRangeOptions();
// --skew of stakes, point and stakeout, refused unless below 90° either way and unless every
// --offset D keeps its side stake D / cos A within the magnitude the program accepts.
double Skew(const CommandContext& ctx);
// The help of the repeatable --offset and of --skew, for the commands with side stakes.
std::vector<OptionHelp> SideStakeOptions();

}  // namespace survey::alignment::cli
