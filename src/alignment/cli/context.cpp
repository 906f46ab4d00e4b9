#include <cmath>
#include <filesystem>
#include <iterator>
#include <numbers>

#include "alignment/alignment_error.h"
#include "alignment/cli/commands.h"
#include "alignment/table_reader.h"
#include "common/bounded_file.h"
#include "common/message_text.h"
#include "common/text_blanks.h"

namespace survey::alignment::cli {

void Refuse(const std::string& message) { throw AlignmentError(message); }

std::string Quote(std::string_view text) {
  constexpr std::size_t kShown = 60;
  return "“" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "…" : "") + "”";
}

std::string ReadFileFromDisk(const std::string& path) {
  ReadOutcome read = ReadBoundedFile(path, kMaxInputBytes);
  if (!read.ok) Refuse("无法打开文件" + Quote(path) + "：" + read.reason + "。");
  return std::move(read.bytes);
}

CommandContext::CommandContext(const ParsedOptions& options_, const FileReader& readFile_,
                               const std::vector<RouteSource>& sources, OutputFormat format_, std::ostream& out_,
                               std::ostream& err_)
    : options(options_), readFile(readFile_), format(format_), out(out_), err(err_), sources_(sources) {}

const RouteDesign& CommandContext::Design() {
  if (!design_) {
    const RouteSource* chosen = nullptr;
    for (const RouteSource& source : sources_) {
      if (options.Has(source.trigger)) chosen = &source;
    }
    if (!chosen) {
      std::string list;
      for (const RouteSource& source : sources_) list += (list.empty() ? "--" : " 或 --") + source.trigger;
      Refuse("没有给出路线：需要 " + list + "。");
    }
    design_.emplace(chosen->build(*this));
    for (const std::string& note : design_->notes) err << "alignment: " << EscapeControls(note) << '\n';
  }
  return *design_;
}

const RouteDesign& CommandContext::DesignWithProfile() {
  Design();
  if (!profileTableRead_ && options.Has("profile")) {
    SetProfileTable(*design_, readFile(options.Value("profile")));
    design_->profileName = std::filesystem::path(options.Value("profile")).stem().string();
    profileTableRead_ = true;
  }
  return *design_;
}

double CommandContext::NumberValue(const std::string& option, const std::string& text) const {
  const std::optional<double> v = ReadNumber(text);
  if (!v) Refuse("--" + option + " 不是数字：" + Quote(text) + "。");
  if (std::fabs(*v) > kMaxMagnitude) Refuse("--" + option + " 超出范围（绝对值不得超过 1e9）：" + Quote(text) + "。");
  return *v;
}

double CommandContext::StationValue(const std::string& option, const std::string& text) const {
  const std::optional<double> v = ReadStation(text);
  if (!v) Refuse("--" + option + " 不是桩号（如 K12+345.678 或 12345.678）：" + Quote(text) + "。");
  if (std::fabs(*v) > kMaxMagnitude) Refuse("--" + option + " 超出范围：" + Quote(text) + "。");
  return *v;
}

double CommandContext::AngleValue(const std::string& option, const std::string& text) const {
  const std::optional<double> v = ReadAngle(text, format.angles);
  if (!v || std::fabs(*v) > 1e6) {
    Refuse("--" + option + " 不是角度（" +
           (format.angles == AngleUnit::Degrees ? std::string("十进制度") : std::string("度.分秒，如 30.1530")) +
           "）：" + Quote(text) + "。");
  }
  return *v;
}

std::optional<double> CommandContext::Number(const std::string& option) const {
  if (!options.Has(option)) return std::nullopt;
  return NumberValue(option, options.Value(option));
}

std::optional<double> CommandContext::Station(const std::string& option) const {
  if (!options.Has(option)) return std::nullopt;
  return StationValue(option, options.Value(option));
}

std::optional<double> CommandContext::Angle(const std::string& option) const {
  if (!options.Has(option)) return std::nullopt;
  return AngleValue(option, options.Value(option));
}

void Command::AddOptions(std::vector<OptionHelp> more) {
  options.insert(options.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

std::vector<OptionHelp> StakeRangeOptions() {
  return {{{"interval"}, "--interval D", "stake interval in metres (default 20)."},
          {{"from"}, "--from S", "first station of the stakes (limits them, adds no stake)."},
          {{"to"}, "--to S", "last station of the stakes (limits them, adds no stake)."}};
}

std::vector<OptionHelp> SideStakeOptions() {
  return {{{"offset", true, true}, "--offset D", "side stakes D metres right of the centre line (negative: left); repeatable."},
          {{"skew"}, "--skew A", "side stakes on the line at azimuth + 90° + A, at distance D / cos A (default 0)."}};
}

StakeOptions StakeRange(const CommandContext& ctx) {
  StakeOptions range;
  range.interval = ctx.Number("interval").value_or(20);
  range.stationDecimals = ctx.format.decimals;
  range.fromStation = ctx.Station("from");
  range.toStation = ctx.Station("to");
  return range;
}

StakeQuery StakeQueryFromOptions(const CommandContext& ctx, std::vector<std::string>* offsetTexts) {
  StakeQuery query;
  query.range = StakeRange(ctx);
  for (const std::string& text : ctx.options.Values("offset")) {
    query.offsets.push_back(ctx.NumberValue("offset", text));
    if (offsetTexts) offsetTexts->emplace_back(TrimBlanks(text));
  }
  query.skew = Skew(ctx);
  return query;
}

// The line of side stakes runs at azimuth + 90° + skew, so a skew of ±90° would run along the
// route.
double Skew(const CommandContext& ctx) {
  const double skew = ctx.Angle("skew").value_or(0);
  if (!(std::fabs(skew) < std::numbers::pi / 2)) Refuse("--skew 的绝对值必须小于 90°：" + Quote(ctx.options.Value("skew")) + "。");
  // Near 90° the side stake runs off along the centre line: D / cos A metres away. Beyond the
  // magnitude the program accepts for any coordinate it is no stake but round-off.
  for (const std::string& text : ctx.options.Values("offset")) {
    const double distance = std::fabs(ctx.NumberValue("offset", text) / std::cos(skew));
    if (!(distance <= kMaxMagnitude)) {
      Refuse("--skew " + Quote(ctx.options.Value("skew")) + "与 --offset " + Quote(text) +
             "的边桩离中桩太远（D / cos A 超过 1e9 m）；斜交角应离 90° 远些。");
    }
  }
  return skew;
}

}  // namespace survey::alignment::cli
