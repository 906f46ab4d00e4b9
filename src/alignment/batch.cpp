#include "alignment/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <iostream>
#include <numbers>
#include <thread>

#include "alignment/alignment_error.h"
#include "alignment/curve_listing.h"
#include "alignment/landxml_batch.h"
#include "alignment/stake_list.h"
#include "alignment/table_reader.h"
#include "common/notation.h"

namespace survey::alignment {

namespace {

// Blocks of this size go to the stream at once.
constexpr std::size_t kFlushBytes = 1 << 16;
constexpr int kMaxDecimals = 9;

[[noreturn]] void Refuse(const std::string& message) { throw AlignmentError(message); }

std::string Quote(std::string_view text) {
  constexpr std::size_t kShown = 60;
  return "“" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "…" : "") + "”";
}

}  // namespace

// --- Files ----------------------------------------------------------------------------------

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

// --- CSV ------------------------------------------------------------------------------------

CsvWriter::CsvWriter(std::ostream& out, OutputFormat format) : out_(out), format_(format) {
  buffer_.reserve(kFlushBytes + 4096);
}

// Nothing is written here: a command that refuses must leave the output empty, and one that
// finishes calls Flush().
CsvWriter::~CsvWriter() = default;

void CsvWriter::Separate() {
  if (!rowStart_) buffer_.push_back(',');
  rowStart_ = false;
}

void CsvWriter::Text(std::string_view text) {
  Separate();
  AppendCsvField(buffer_, text);
}

void CsvWriter::Number(double value) {
  Separate();
  AppendFixed(buffer_, value, format_.decimals);
}

void CsvWriter::Angle(double radians, AngleKind kind) {
  Separate();
  AppendAngle(buffer_, radians, format_.angles, kind);
}

void CsvWriter::Empty() { Separate(); }

void CsvWriter::EndRow() {
  buffer_.push_back('\n');
  rowStart_ = true;
  if (buffer_.size() >= kFlushBytes) Flush();
}

void CsvWriter::Flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

// --- Context --------------------------------------------------------------------------------

CommandContext::CommandContext(const ParsedOptions& options_, const FileReader& readFile_,
                               const std::vector<RouteSource>& sources, OutputFormat format_, std::ostream& out_)
    : options(options_), readFile(readFile_), format(format_), out(out_), sources_(sources) {}

const Route& CommandContext::GetRoute() {
  if (!route_) {
    const RouteSource* chosen = nullptr;
    for (const RouteSource& source : sources_) {
      if (options.Has(source.trigger)) chosen = &source;
    }
    if (!chosen) {
      std::string list;
      for (const RouteSource& source : sources_) list += (list.empty() ? "--" : " 或 --") + source.trigger;
      Refuse("没有给出路线：需要 " + list + "。");
    }
    route_.emplace(chosen->build(*this));
  }
  return *route_;
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

// --- Route sources --------------------------------------------------------------------------

namespace {

std::vector<StationEquation> Equations(const CommandContext& ctx) {
  std::vector<StationEquation> equations;
  for (const std::string& text : ctx.options.Values("equation")) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos) Refuse("--equation 应写成 BACK=AHEAD（如 1200=1180.5）：" + Quote(text) + "。");
    equations.push_back(
        {ctx.StationValue("equation", text.substr(0, eq)), ctx.StationValue("equation", text.substr(eq + 1))});
  }
  return equations;
}

double StartStation(const CommandContext& ctx) { return ctx.Station("start").value_or(0); }

RouteSource JdSource() {
  RouteSource source;
  source.trigger = "jd";
  source.options = {{{"jd"},
                     "--jd FILE",
                     "JD table name,x,y,r,ls1,ls2 (点名,X,Y,R,Ls1,Ls2): first row the start point QD, last row "
                     "the end point ZD, rows between the JDs with radius R and transitions Ls1 (entry) and Ls2 "
                     "(exit; blank = Ls1; 0 = none, a plain circle)."}};
  source.build = [](CommandContext& ctx) {
    std::vector<JdInput> points = ReadJdTable(ctx.readFile(ctx.options.Value("jd")));
    return BuildRouteFromJd(points, StartStation(ctx), Equations(ctx));
  };
  return source;
}

RouteSource ElementSource() {
  RouteSource source;
  source.trigger = "elements";
  source.options = {
      {{"elements"},
       "--elements FILE",
       "element table type,length,r_start,r_end,turn (线元,长度,起点半径,终点半径,转向): type line, arc "
       "or spiral (直线, 圆曲线, 缓和曲线); a radius blank, 0 or inf is a straight end; turn left or right "
       "(左, 右). Needs the three start options below."},
      {{"start-x"}, "--start-x X", "X (north) of the route's start, with --elements."},
      {{"start-y"}, "--start-y Y", "Y (east) of the route's start, with --elements."},
      {{"start-azimuth"}, "--start-azimuth A", "azimuth of the first element at the start, with --elements."}};
  source.build = [](CommandContext& ctx) {
    for (const char* name : {"start-x", "start-y", "start-azimuth"}) {
      if (!ctx.options.Has(name)) Refuse(std::string("--elements 需要 --") + name + "。");
    }
    std::vector<ElementShape> accepted = ReadElementTable(ctx.readFile(ctx.options.Value("elements")));
    const Pose start{*ctx.Number("start-x"), *ctx.Number("start-y"), NormalizeAzimuth(*ctx.Angle("start-azimuth"))};
    return BuildRouteFromElements(start, StartStation(ctx), accepted, Equations(ctx));
  };
  return source;
}

// --- Commands -------------------------------------------------------------------------------

// An element the curve table cannot read as part of a JD, in the columns it shares with JD
// rows: start point, turn, radius at the start (empty: straight end), length, stations of its
// ends, and its kind and end radius in the two columns only element routes have.
void ElementListingRow(CsvWriter& csv, const Route& route, const ElementListing& e) {
  const char* kinds[] = {"line", "arc", "spiral"};
  const Element& element = route.Elements()[e.index - 1];
  csv.Text("E" + std::to_string(e.index));
  csv.Number(element.start.x);
  csv.Number(element.start.y);
  if (e.kind == ElementKind::Line) csv.Empty(); else csv.Text(e.turnRight ? "right" : "left");
  csv.Empty();
  if (e.startRadius > 0) csv.Number(e.startRadius); else csv.Empty();
  for (int i = 0; i < 4; ++i) csv.Empty();
  csv.Number(e.length);
  csv.Empty();
  csv.Empty();
  csv.Number(route.StationAt(e.startChainage));
  for (int i = 0; i < 3; ++i) csv.Empty();
  csv.Number(route.StationAt(e.endChainage));
  csv.Empty();
  csv.Text(kinds[static_cast<int>(e.kind)]);
  if (e.endRadius > 0) csv.Number(e.endRadius); else csv.Empty();
}

Command CurvesCommand() {
  Command c;
  c.name = "curves";
  c.description =
      "One row per JD: name,x,y,turn,alpha,r,ls1,ls2,t1,t2,l,e,j,zh,hy,qz,yh,hz,straight_after. zh and hz hold "
      "the curve's start and end (ZY and YZ on a side without transition, where hy or yh is empty); "
      "straight_after is the straight to the next curve, empty on the last JD. On a route of elements "
      "(--elements, --landxml) the JDs are read back from the elements: each group of a transition, an arc and "
      "a transition between straights is the JD where its tangents meet, a straight meeting a straight at an "
      "angle a JD without curve; a group that is no JD (an egg transition, a compound curve, an angle point "
      "inside it) is listed one row per element (name E<n>, its start point, turn, start radius, length l and "
      "the stations of its ends in zh and hz), and two more columns give kind (jd, line, arc, spiral) and r_end.";
  c.example = "alignment curves --jd route.csv --start K10+000";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    // A JD route keeps its columns; a route of elements adds kind and r_end.
    const bool fromElements = route.Curves().empty();
    const std::vector<CurveListingRow> rows = ListCurves(route);
    CsvWriter csv(ctx.out, ctx.format);
    for (const char* name : {"name", "x", "y", "turn", "alpha", "r", "ls1", "ls2", "t1", "t2", "l", "e", "j", "zh",
                             "hy", "qz", "yh", "hz", "straight_after"}) {
      csv.Text(name);
    }
    if (fromElements) {
      csv.Text("kind");
      csv.Text("r_end");
    }
    csv.EndRow();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i].jd) {
        ElementListingRow(csv, route, rows[i].element);
        csv.EndRow();
        continue;
      }
      const CurveRow& row = *rows[i].jd;
      csv.Text(row.name);
      csv.Number(row.x);
      csv.Number(row.y);
      csv.Text(row.turnRight ? "right" : "left");
      csv.Angle(row.alpha);
      for (double v : {row.r, row.ls1, row.ls2, row.t1, row.t2, row.l, row.e, row.j}) csv.Number(v);
      csv.Number(route.StationAt(row.zh));
      if (row.hasEntryTransition) {
        csv.Number(route.StationAt(row.hy));
      } else {
        csv.Empty();
      }
      csv.Number(route.StationAt(row.qz));
      if (row.hasExitTransition) {
        csv.Number(route.StationAt(row.yh));
      } else {
        csv.Empty();
      }
      csv.Number(route.StationAt(row.hz));
      const bool lastJd = std::none_of(rows.begin() + static_cast<std::ptrdiff_t>(i) + 1, rows.end(),
                                       [](const CurveListingRow& r) { return r.jd.has_value(); });
      if (!lastJd && row.straightAfter) {
        csv.Number(*row.straightAfter);
      } else {
        csv.Empty();
      }
      if (fromElements) {
        csv.Text("jd");
        csv.Empty();
      }
      csv.EndRow();
    }
    csv.Flush();
  };
  return c;
}

// The skew of side stakes: the line through the centre stake at azimuth + 90° + skew, so a
// skew of ±90° would run along the route.
double Skew(CommandContext& ctx) {
  const double skew = ctx.Angle("skew").value_or(0);
  if (!(std::fabs(skew) < std::numbers::pi / 2)) Refuse("--skew 的绝对值必须小于 90°：" + Quote(ctx.options.Value("skew")) + "。");
  return skew;
}

Command StakesCommand() {
  Command c;
  c.name = "stakes";
  c.usage = "[--interval D] [--from S] [--to S] [--offset D]... [--skew A]";
  c.description =
      "The stake list: the start (QD) and end (ZD), every station that is a whole multiple of the interval, "
      "and every main point, in order along the route: name,station,x,y,azimuth, then x_D,y_D for each "
      "offset D. The name is empty for a regular stake, \"QD\", \"ZD\" or e.g. \"JD3 HY\" for a main point.";
  c.options = {{{"interval"}, "--interval D", "stake interval in metres (default 20)."},
               {{"from"}, "--from S", "first station listed (limits the list, adds no stake)."},
               {{"to"}, "--to S", "last station listed (limits the list, adds no stake)."},
               {{"offset", true, true},
                "--offset D",
                "side stakes D metres right of the centre line (negative: left); repeatable."},
               {{"skew"},
                "--skew A",
                "side stakes on the line at azimuth + 90° + A, at distance D / cos A (default 0)."}};
  c.example = "alignment stakes --jd route.csv --interval 10 --offset=-5 --offset 5";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    StakeOptions stakes;
    stakes.interval = ctx.Number("interval").value_or(20);
    stakes.fromStation = ctx.Station("from");
    stakes.toStation = ctx.Station("to");
    std::vector<double> offsets;
    std::vector<std::string> offsetTexts;
    for (const std::string& text : ctx.options.Values("offset")) {
      offsets.push_back(ctx.NumberValue("offset", text));
      const std::size_t first = text.find_first_not_of(" \t");
      const std::size_t last = text.find_last_not_of(" \t");
      offsetTexts.push_back(text.substr(first, last - first + 1));
    }
    const double skew = Skew(ctx);
    const ElevationColumns elevations(ctx);
    CsvWriter csv(ctx.out, ctx.format);
    for (const char* name : {"name", "station", "x", "y", "azimuth"}) csv.Text(name);
    for (const std::string& text : offsetTexts) {
      csv.Text("x_" + text);
      csv.Text("y_" + text);
    }
    elevations.Header(csv);
    csv.EndRow();
    // Every refusal of the stake list comes before its first row, so nothing has reached the
    // stream when one is thrown.
    ForEachStake(route, stakes, [&](const Stake& stake) {
      const Pose centre = route.PointAt(stake.chainage);
      csv.Text(stake.name);
      csv.Number(stake.station);
      csv.Number(centre.x);
      csv.Number(centre.y);
      csv.Angle(centre.azimuth, AngleKind::Azimuth);
      for (double offset : offsets) {
        const Pose side = route.PointAt(stake.chainage, offset, skew);
        csv.Number(side.x);
        csv.Number(side.y);
      }
      elevations.Cells(csv, stake.chainage);
      csv.EndRow();
    });
    csv.Flush();
  };
  return c;
}

Command PointCommand() {
  Command c;
  c.name = "point";
  c.usage = "--station S [--offset D] [--skew A]";
  c.description = "The position at one station: station,x,y,azimuth (the azimuth of the centre line there).";
  c.options = {{{"station"}, "--station S", "the station (K notation or metres)."},
               {{"offset"}, "--offset D", "a point D metres right of the centre line (negative: left)."},
               {{"skew"}, "--skew A", "the offset taken on the line at azimuth + 90° + A (default 0)."}};
  c.example = "alignment point --jd route.csv --station K1+234.5 --offset=-3.75";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    if (!ctx.options.Has("station")) Refuse("point 命令需要 --station。");
    const double station = *ctx.Station("station");
    const double offset = ctx.Number("offset").value_or(0);
    const double skew = Skew(ctx);
    const double chainage = route.ChainageAtStation(station);
    const Pose pose = route.PointAt(chainage, offset, skew);
    const ElevationColumns elevations(ctx);
    CsvWriter csv(ctx.out, ctx.format);
    for (const char* name : {"station", "x", "y", "azimuth"}) csv.Text(name);
    elevations.Header(csv);
    csv.EndRow();
    csv.Number(station);
    csv.Number(pose.x);
    csv.Number(pose.y);
    csv.Angle(pose.azimuth, AngleKind::Azimuth);
    elevations.Cells(csv, chainage);
    csv.EndRow();
    csv.Flush();
  };
  return c;
}

void WriteLocation(CsvWriter& csv, const Route& route, std::string_view name, double x, double y,
                   const Location& at) {
  csv.Text(name);
  csv.Number(x);
  csv.Number(y);
  if (at.inside) {
    csv.Number(route.StationAt(at.chainage));
    csv.Number(at.offset);
    csv.Text("ok");
  } else {
    csv.Empty();
    csv.Empty();
    csv.Text("outside");
  }
  csv.EndRow();
}

constexpr std::size_t kLocateBlock = 1 << 16;

// Calls range(lo, hi) on consecutive parts of [0, count), one per core, and waits for all.
void ParallelFor(std::size_t count, const std::function<void(std::size_t, std::size_t)>& range) {
  const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
  if (threads == 1 || count < 1024) {
    range(0, count);
    return;
  }
  std::vector<std::thread> workers;
  std::vector<std::exception_ptr> failures(threads);
  const std::size_t part = (count + threads - 1) / threads;
  for (std::size_t t = 1; t < threads; ++t) {
    workers.emplace_back([&, t] {
      try {
        range(std::min(count, t * part), std::min(count, (t + 1) * part));
      } catch (...) {
        failures[t] = std::current_exception();
      }
    });
  }
  try {
    range(0, std::min(count, part));
  } catch (...) {
    failures[0] = std::current_exception();
  }
  for (std::thread& w : workers) w.join();
  for (const std::exception_ptr& f : failures) {
    if (f) std::rethrow_exception(f);
  }
}

Command LocateCommand() {
  Command c;
  c.name = "locate";
  c.usage = "(--x X --y Y | --points FILE)";
  c.description =
      "Station and offset (right positive) of the nearest foot point on the route: name,x,y,station,offset,"
      "status; status is \"outside\" (station and offset empty) when the foot point lies beyond either end.";
  c.options = {{{"x"}, "--x X", "X (north) of one point."},
               {{"y"}, "--y Y", "Y (east) of one point."},
               {{"points"}, "--points FILE", "points table name,x,y (点名,X,Y)."}};
  c.example = "alignment locate --jd route.csv --points surveyed.csv";
  c.run = [](CommandContext& ctx) {
    const bool single = ctx.options.Has("x") || ctx.options.Has("y");
    if (single == ctx.options.Has("points")) Refuse("locate 命令需要 --x 和 --y，或 --points（二者取一）。");
    if (single && !(ctx.options.Has("x") && ctx.options.Has("y"))) Refuse("locate 命令需要 --x 和 --y 两者。");
    if (RunLocateWithProfile(ctx)) return;
    const Route& route = ctx.GetRoute();
    std::optional<PointTable> points;
    double x = 0, y = 0;
    if (single) {
      x = *ctx.Number("x");
      y = *ctx.Number("y");
    } else {
      points = ReadPointTable(ctx.readFile(ctx.options.Value("points")));
    }
    CsvWriter csv(ctx.out, ctx.format);
    for (const char* name : {"name", "x", "y", "station", "offset", "status"}) csv.Text(name);
    csv.EndRow();
    if (single) {
      WriteLocation(csv, route, "", x, y, route.Locate(x, y));
    } else {
      // Blocks of points are located on all cores (the route is read-only), then written in
      // their order.
      const std::vector<PointRow>& rows = points->rows;
      std::vector<Location> found;
      for (std::size_t block = 0; block < rows.size(); block += kLocateBlock) {
        const std::size_t count = std::min(kLocateBlock, rows.size() - block);
        found.resize(count);
        ParallelFor(count, [&](std::size_t lo, std::size_t hi) {
          for (std::size_t i = lo; i < hi; ++i) found[i] = route.Locate(rows[block + i].x, rows[block + i].y);
        });
        for (std::size_t i = 0; i < count; ++i) {
          const PointRow& p = rows[block + i];
          WriteLocation(csv, route, p.name, p.x, p.y, found[i]);
        }
      }
    }
    csv.Flush();
  };
  return c;
}

const std::vector<OptionHelp>& BuiltInCommonOptions() {
  static const std::vector<OptionHelp> options = {
      {{"start"}, "--start S", "station of the route's start (default 0); K notation K12+345.678 or metres."},
      {{"equation", true, true},
       "--equation BACK=AHEAD",
       "station equation: the station BACK is read AHEAD from there on; repeatable, in order along the "
       "route. Where AHEAD < BACK a station occurring twice means the position after the equation."},
      {{"decimals"}, "--decimals N", "places of lengths, stations and coordinates (0 to 9, default 3)."},
      {{"degrees", false},
       "--degrees",
       "angles typed and printed in decimal degrees (8 places) instead of D.MMSS (123.453012 = "
       "123°45′30.12″)."},
      {{"help", false}, "--help", "this text."}};
  return options;
}

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

// --- The program ----------------------------------------------------------------------------

std::string BatchProgram::HelpText() const {
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

int BatchProgram::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const FileReader& readFile) const {
  const auto refuse = [&](const std::string& message) {
    err << "alignment: " << message << '\n';
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
    CommandContext ctx(options, readFile, sources_, format, out);
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

BatchProgram StandardProgram() {
  BatchProgram program;
  program.AddRouteSource(JdSource());
  program.AddRouteSource(ElementSource());
  for (const OptionHelp& o : BuiltInCommonOptions()) program.AddCommonOption(o);
  program.AddCommand(CurvesCommand());
  program.AddCommand(StakesCommand());
  program.AddCommand(PointCommand());
  program.AddCommand(LocateCommand());
  AddLandXmlCommands(program, std::cerr);
  return program;
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const FileReader& readFile) {
  static const BatchProgram program = StandardProgram();
  return program.Run(args, out, err, readFile);
}

}  // namespace survey::alignment
