#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <numbers>

#include "alignment/alignment_error.h"
#include "alignment/cli/command.h"
#include "alignment/table_reader.h"

namespace survey::alignment::cli {

void Refuse(const std::string& message) { throw AlignmentError(message); }

std::string Quote(std::string_view text) {
  constexpr std::size_t kShown = 60;
  return "“" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "…" : "") + "”";
}

std::string ReadFileFromDisk(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Refuse("无法打开文件" + Quote(path) + "：" + std::strerror(errno) + "。");
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) Refuse(Quote(path) + "是文件夹，不是文件。");
  std::string bytes;
  if (S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) <= kMaxInputBytes) {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  char buf[1 << 16];
  while (true) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      Refuse("无法读取文件" + Quote(path) + "：" + std::strerror(errno) + "。");
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxInputBytes) {
      Refuse("文件" + Quote(path) + "超过 " + std::to_string(kMaxInputBytes / (1024 * 1024)) + " MB，不是本程序的表格。");
    }
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  return bytes;
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
    for (const std::string& note : design_->notes) err << "alignment: " << note << '\n';
  }
  return *design_;
}

const RouteDesign& CommandContext::DesignWithProfile() {
  Design();
  if (!profileTableRead_ && options.Has("profile")) {
    SetProfileTable(*design_, readFile(options.Value("profile")));
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

StakeOptions StakeRange(const CommandContext& ctx) {
  StakeOptions range;
  range.interval = ctx.Number("interval").value_or(20);
  range.fromStation = ctx.Station("from");
  range.toStation = ctx.Station("to");
  return range;
}

// The line of side stakes runs at azimuth + 90° + skew, so a skew of ±90° would run along the
// route.
double Skew(const CommandContext& ctx) {
  const double skew = ctx.Angle("skew").value_or(0);
  if (!(std::fabs(skew) < std::numbers::pi / 2)) Refuse("--skew 的绝对值必须小于 90°：" + Quote(ctx.options.Value("skew")) + "。");
  return skew;
}

}  // namespace survey::alignment::cli
