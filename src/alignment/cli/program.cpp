#include "alignment/cli/program.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "alignment/alignment_error.h"
#include "alignment/cli/commands.h"
#include "common/message_text.h"
#include "alignment/cli/check.h"
#include "alignment/cli/field_check.h"
#include "alignment/cli/section_columns.h"
#include "common/notation.h"

namespace survey::alignment::cli {

namespace {

constexpr int kMaxDecimals = 9;

// Appends `text` broken at blanks into lines of at most kHelpWidth characters, the first
// continuing `out`'s last line at column `column`, the others indented by `indent`.
constexpr std::size_t kHelpWidth = 100;
void AppendWrapped(std::string& out, std::string_view text, std::size_t column, std::size_t indent) {
  std::size_t at = column;
  bool lineStart = true;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, end);
    const std::size_t width = Utf8Length(word);
    if (!lineStart && at + 1 + width > kHelpWidth) {
      out += "\n" + std::string(indent, ' ');
      at = indent;
      lineStart = true;
    }
    if (!lineStart) {
      out.push_back(' ');
      ++at;
    }
    out += word;
    at += width;
    lineStart = false;
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  out.push_back('\n');
}

void AppendOptionLines(std::string& out, const std::vector<OptionHelp>& options, std::size_t indent) {
  constexpr std::size_t kHelpColumn = 24;
  for (const OptionHelp& o : options) {
    std::string line = std::string(indent, ' ') + o.usage;
    line.append(line.size() < indent + kHelpColumn ? indent + kHelpColumn - line.size() : 1, ' ');
    out += line;
    AppendWrapped(out, o.help, line.size(), indent + kHelpColumn);
  }
}

}  // namespace

void CommandTable::SetRun(const std::string& name, std::function<void(CommandContext&)> run) {
  for (Command& c : commands_) {
    if (c.name == name) c.run = run;
  }
}

std::string CommandTable::HelpText() const {
  std::string text =
      "usage: alignment COMMAND (--jd FILE | --elements FILE --start-x X --start-y Y --start-azimuth A)\n"
      "                 [--start S] [--equation BACK=AHEAD]... [--decimals N] [--degrees] [COMMAND OPTIONS]\n"
      "\n"
      "Whole-route geometry from a JD table or an element table: curve elements, stake lists, the\n"
      "position at a station and the station of a point. Output is CSV with a header row (UTF-8, LF):\n"
      "stations in plain metres, lengths, stations and coordinates with --decimals places (rounded half\n"
      "away from zero), angles in D.MMSS with two decimals of seconds. X is north, Y east, azimuths\n"
      "clockwise from north, offsets positive to the right. A refused input prints its reason on stderr,\n"
      "nothing on stdout, and exits with status 2. Use --name=VALUE for values that begin with \"-\".\n"
      "\n"
      "Route (one of):\n";
  for (const RouteSource& source : sources_) AppendOptionLines(text, source.options, 2);
  text += "\nOptions of every command:\n";
  AppendOptionLines(text, common_, 2);
  text += "\nCommands:\n";
  for (const Command& c : commands_) {
    text += "  " + c.name + (c.usage.empty() ? "" : " " + c.usage) + "\n      ";
    AppendWrapped(text, c.description, 6, 6);
    AppendOptionLines(text, c.options, 6);
    text += "      example: " + c.example + "\n";
  }
  text +=
      "\n"
      "Tables are UTF-8 (with or without BOM) or GBK, comma or tab separated, with a header row of English\n"
      "or Chinese column names in any order; blank lines and lines starting with # are skipped.\n"
      "Angles (--start-azimuth, --skew) are D.MMSS: 30.1530 = 30°15′30″ (decimal degrees with --degrees).\n"
      "\n"
      "Example JD table (route.csv):\n"
      "  name,x,y,r,ls1,ls2\n"
      "  QD,3000.000,5000.000,,,\n"
      "  JD1,3400.000,5300.000,600,120,\n"
      "  JD2,3500.000,5900.000,800,100,150\n"
      "  ZD,3900.000,6400.000,,,\n";
  return text;
}

int CommandTable::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const FileReader& readFile) const {
  // Every message may quote the input (a file name, an option, a cell): its control
  // characters are shown escaped, never sent to the terminal.
  const auto refuse = [&](const std::string& message) {
    err << "alignment: " << EscapeControls(message) << '\n';
    return 2;
  };
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    out << HelpText();
    return 0;
  }
  const auto command = std::find_if(commands_.begin(), commands_.end(), [&](const Command& c) { return c.name == args[0]; });
  if (command == commands_.end()) {
    std::string names;
    for (const Command& c : commands_) names += (names.empty() ? "" : ", ") + c.name;
    if (args[0].rfind("--", 0) == 0) return refuse("the command (" + names + ") comes first; see alignment --help");
    return refuse("unknown command \"" + args[0] + "\" (commands: " + names + "; see alignment --help)");
  }
  std::vector<AcceptedOption> accepted;
  for (const RouteSource& source : sources_) {
    for (const OptionHelp& o : source.options) accepted.push_back(o.option);
  }
  for (const OptionHelp& o : common_) accepted.push_back(o.option);
  for (const OptionHelp& o : command->options) accepted.push_back(o.option);
  const ParsedOptions options = ParseOptions({args.begin() + 1, args.end()}, accepted);
  if (!options.error.empty()) return refuse(options.error + " (see alignment --help)");
  if (options.Has("help")) {
    out << HelpText();
    return 0;
  }
  try {
    // Route options of one source only.
    const RouteSource* chosen = nullptr;
    for (const RouteSource& source : sources_) {
      if (!options.Has(source.trigger)) continue;
      if (chosen) Refuse("--" + chosen->trigger + " 与 --" + source.trigger + " 只能给出一个。");
      chosen = &source;
    }
    for (const RouteSource& source : sources_) {
      if (&source == chosen) continue;
      for (const OptionHelp& o : source.options) {
        if (options.Has(o.option.name)) Refuse("--" + o.option.name + " 只用于 --" + source.trigger + "。");
      }
    }
    OutputFormat format;
    if (options.Has("degrees")) format.angles = AngleUnit::Degrees;
    if (options.Has("decimals")) {
      const std::optional<double> n = ReadNumber(options.Value("decimals"));
      if (!n || *n != std::trunc(*n) || *n < 0 || *n > kMaxDecimals) {
        Refuse("--decimals 应为 0 到 " + std::to_string(kMaxDecimals) + " 的整数：" + Quote(options.Value("decimals")) + "。");
      }
      format.decimals = static_cast<int>(*n);
    }
    CommandContext ctx(options, readFile, sources_, format, out, err);
    command->run(ctx);
    out.flush();
    if (!out) {
      err << "alignment: 输出写入失败。\n";
      return 2;
    }
    return 0;
  } catch (const AlignmentError& e) {
    return refuse(e.what());
  } catch (const std::bad_alloc&) {
    return refuse("内存不足，输入过大。");
  }
}

CommandTable AlignmentCommandLine() {
  CommandTable program;
  program.AddRouteSource(JdSource());
  program.AddRouteSource(ElementSource());
  program.AddRouteSource(LandXmlSource());
  for (OptionHelp& o : CommonOptions()) program.AddCommonOption(std::move(o));
  program.AddCommand(CurvesCommand());
  program.AddCommand(WithSectionStakes(StakesCommand()));
  program.AddCommand(WithSectionPoint(PointCommand()));
  program.AddCommand(WithSlopesLocate(WithSectionLocate(LocateCommand())));
  program.AddCommand(ProfileCommand());
  program.AddCommand(StakeoutCommand());
  program.AddCommand(ExportCommand());
  program.AddCommand(SectionCommand());
  program.AddCommand(PlanCommand());
  program.AddCommand(CheckCommand());
  return program;
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const FileReader& readFile) {
  static const CommandTable program = AlignmentCommandLine();
  return program.Run(args, out, err, readFile);
}

}  // namespace survey::alignment::cli
