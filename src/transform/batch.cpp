#include "transform/batch.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "alignment/alignment_error.h"
#include "common/bounded_file.h"
#include "alignment/table_reader.h"
#include "common/atomic_file.h"
#include "common/number_reading.h"
#include "transform/fit.h"
#include "transform/projection.h"
#include "transform/transform_error.h"

namespace survey::transform {

namespace {

using alignment::ColumnHeading;
using alignment::LinePrefix;
using alignment::Table;

// Printed places: 0.1 mm for lengths, 1e-5″ (0.3 mm) for packed angles, 1e-10° (0.01 mm) for
// decimal degrees, 1e-10 for the point scale.
constexpr int kLengthDecimals = 4;
constexpr int kSecondDecimals = 5;
constexpr int kDegreeDecimals = 10;
constexpr int kScaleDecimals = 10;
constexpr double kZonePrefixUnit = 1.0e6;

std::string Quote(const std::string& s) { return "“" + s + "”"; }

// A run's way through its table: each loop over the rows is a stage covering a share of the
// progress; every kCheckRows rows the cancel flag is looked at and the progress told.
class Progress {
 public:
  static constexpr std::size_t kCheckRows = 4096;

  explicit Progress(const RunControl& control) : control_(control) {}

  // The rows of the next loop take the progress from where the last stage ended up to `to`.
  void Stage(double to) {
    Report(to_);
    from_ = to_;
    to_ = to;
  }
  void Row(std::size_t i, std::size_t rows) {
    if (i % kCheckRows != 0) return;
    Check();
    Report(from_ + (to_ - from_) * static_cast<double>(i) / static_cast<double>(rows));
  }
  void Check() const {
    if (control_.cancel && control_.cancel->load(std::memory_order_relaxed)) throw RunCancelled();
  }
  void Finish() { Report(1.0); }

 private:
  void Report(double done) {
    Check();
    if (control_.progress) control_.progress(done);
  }

  const RunControl& control_;
  double from_ = 0, to_ = 0;
};

// Shares of a run: reading the table text, reading its cells, computing (measured on a million
// grid rows; the reading of the text has no progress of its own).
constexpr double kTextShare = 0.25;
constexpr double kCellShare = 0.4;

const std::vector<std::string> kZoneOptions = {"ellipsoid", "meridian", "zone", "zone-width", "height", "scale", "prefix"};

bool IsFlag(const std::string& name) { return name == "prefix" || name == "degrees" || name == "no-factors"; }

std::vector<std::string> OptionNames(const std::string& command) {
  std::vector<std::string> names;
  const auto add = [&](const std::vector<std::string>& more) { names.insert(names.end(), more.begin(), more.end()); };
  if (command == "forward" || command == "inverse") {
    add(kZoneOptions);
    add({"points", "degrees"});
    if (command == "forward") add({"no-factors"});
  } else if (command == "rezone") {
    add(kZoneOptions);
    add({"points", "to-meridian", "to-zone", "to-zone-width", "to-height", "to-scale"});
  } else if (command == "fit4") {
    add({"points", "out", "max-residual"});
  } else if (command == "fit7") {
    add({"points", "out", "max-residual", "ellipsoid", "to-ellipsoid", "degrees"});
  } else if (command == "apply4") {
    add({"param", "points"});
  } else if (command == "apply7") {
    add(kZoneOptions);
    add({"param", "points", "to-ellipsoid", "degrees"});
  }
  return names;
}

double OptionNumber(const ParsedOptions& o, const std::string& name, double fallback) {
  if (!o.Has(name)) return fallback;
  const std::optional<double> v = ReadStrictNumber(NormaliseFullWidth(o.Value(name)));
  if (!v) Refuse("--" + name + " 不是数字：" + Quote(o.Value(name)) + "。");
  return *v;
}

// The zone of a set of options ("" for the source, "to-" for the target of rezone). The
// meridian may stay unknown (NaN) when the coordinates carry the zone number.
struct Zone {
  GaussKruger gk;
  bool meridianKnown = false;
  int width = 3;
  bool widthGiven = false;
};

Zone ReadZone(const ParsedOptions& o, const std::string& p, Ellipsoid ellipsoid) {
  Zone z;
  z.gk.ellipsoid = ellipsoid;
  if (o.Has(p + "zone-width")) {
    const double w = OptionNumber(o, p + "zone-width", 3);
    if (w != 3 && w != 6) Refuse("--" + p + "zone-width 应为 3 或 6：" + Quote(o.Value(p + "zone-width")) + "。");
    z.width = static_cast<int>(w);
    z.widthGiven = true;
  }
  if (o.Has(p + "meridian") && o.Has(p + "zone")) Refuse("--" + p + "meridian 与 --" + p + "zone 只能给出一个。");
  if (o.Has(p + "zone")) {
    const double n = OptionNumber(o, p + "zone", 0);
    const int maxZone = z.width == 3 ? 120 : 60;
    if (n != std::trunc(n) || n < 1 || n > maxZone) {
      Refuse("--" + p + "zone 应为 1 到 " + std::to_string(maxZone) + " 的整数：" + Quote(o.Value(p + "zone")) + "。");
    }
    z.gk.zone = static_cast<int>(n);
    double cm = z.width == 3 ? 3.0 * n : 6.0 * n - 3.0;
    if (cm > 180) cm -= 360;
    z.gk.centralMeridian = cm;
    z.meridianKnown = true;
  } else if (o.Has(p + "meridian")) {
    const std::optional<double> cm = ReadPackedDegrees(o.Value(p + "meridian"));
    if (!cm || std::abs(*cm) > 180) {
      Refuse("--" + p + "meridian 应为 −180° 到 180° 的度.分秒（如 111.3000）：" + Quote(o.Value(p + "meridian")) + "。");
    }
    z.gk.centralMeridian = *cm;
    z.meridianKnown = true;
    // The zone number, for --prefix, when the meridian is a zone's own.
    const double east = *cm < 0 ? *cm + 360 : *cm;
    if ((!z.widthGiven || z.width == 3) && std::fmod(east, 3.0) == 0 && east > 0) {
      z.gk.zone = static_cast<int>(east / 3);
    } else if ((!z.widthGiven || z.width == 6) && std::fmod(east + 3, 6.0) == 0) {
      z.gk.zone = static_cast<int>((east + 3) / 6);
      z.width = 6;
    }
  }
  z.gk.height = OptionNumber(o, p + "height", 0);
  if (!(std::abs(z.gk.height) <= 10000)) Refuse("--" + p + "height 应在 −10000 到 10000 m 之间：" + Quote(o.Value(p + "height")) + "。");
  z.gk.scale = OptionNumber(o, p + "scale", 1);
  if (!(z.gk.scale > 0.9 && z.gk.scale < 1.1)) Refuse("--" + p + "scale 应在 0.9 到 1.1 之间：" + Quote(o.Value(p + "scale")) + "。");
  return z;
}

// The central meridian of zone n.
double ZoneMeridian(int n, int width) {
  double cm = width == 3 ? 3.0 * n : 6.0 * n - 3.0;
  return cm > 180 ? cm - 360 : cm;
}

// y as read: a value of a million or more carries the zone number before the 500 km easting.
// Fixes the zone's meridian from the first prefixed y when no option gave it; refuses a zone
// number that contradicts the zone.
double ReadPrefixedY(double y, int line, Zone& z) {
  if (y < kZonePrefixUnit) return y;
  const int n = static_cast<int>(std::floor(y / kZonePrefixUnit));
  if (!z.meridianKnown) {
    if (n > (z.width == 3 ? 120 : 60)) Refuse(LinePrefix(line) + "y 的带号 " + std::to_string(n) + " 超出范围。");
    z.gk.zone = n;
    z.gk.centralMeridian = ZoneMeridian(n, z.width);
    z.meridianKnown = true;
  } else if (n != z.gk.zone) {
    const bool fits = (!z.widthGiven || z.width == 3 ? ZoneMeridian(n, 3) == z.gk.centralMeridian : false) ||
                      (!z.widthGiven || z.width == 6 ? ZoneMeridian(n, 6) == z.gk.centralMeridian : false);
    if (!fits) {
      Refuse(LinePrefix(line) + "y 的带号 " + std::to_string(n) + " 与中央子午线 " +
             PackedDegreesText(z.gk.centralMeridian, 0) + " 不符。");
    }
  }
  return y - n * kZonePrefixUnit;
}

void RequireMeridian(const Zone& z, const std::string& p) {
  if (!z.meridianKnown) Refuse("需要 --" + p + "meridian 或 --" + p + "zone（y 不带带号时）。");
}

double WithPrefix(double y, const Zone& z, bool prefix) {
  if (!prefix) return y;
  if (z.gk.zone <= 0) Refuse("--prefix 需要带号：请用 --zone，或给出 3° / 6° 带的中央子午线。");
  return z.gk.zone * kZonePrefixUnit + y;
}

// The angle of a cell: D.MMSS, or decimal degrees with --degrees.
double AngleCell(const Table& t, std::size_t row, std::size_t column, const char* what, bool degrees) {
  const std::string_view cell = t.Cell(row, column);
  if (cell.empty()) Refuse(LinePrefix(t.LineNumber(row)) + what + " 不能为空。");
  const std::optional<double> v = degrees ? ReadDecimalDegrees(cell) : ReadPackedDegrees(cell);
  if (!v) {
    Refuse(LinePrefix(t.LineNumber(row)) + what + (degrees ? " 不是十进制度数：" : " 不是度.分秒（分、秒小于 60）：") +
           Quote(std::string(cell)) + "。");
  }
  return *v;
}

std::string AngleText(double degrees, bool decimal) {
  return decimal ? FixedText(degrees, kDegreeDecimals) : PackedDegreesText(degrees, kSecondDecimals);
}

// A name cell for CSV: quoted when it holds a comma, quote or line break.
void AppendName(std::string& out, std::string_view name) {
  if (name.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += name;
    return;
  }
  out += '"';
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string HeightText(const Table& t, std::size_t row, std::size_t column) {
  if (!t.HasColumn(column) || t.Cell(row, column).empty()) return "";
  return FixedText(t.Number(row, column), kLengthDecimals);
}

// Refuses a table reader's error as ours (the message already names the line).
template <typename F>
auto Reading(F&& f) {
  try {
    return f();
  } catch (const alignment::AlignmentError& e) {
    throw TransformError(e.what());
  }
}

Table ReadPoints(const ParsedOptions& o, const FileReader& readFile, const std::vector<ColumnHeading>& columns) {
  if (!o.Has("points")) Refuse("需要 --points 点表文件。");
  return Reading([&] { return alignment::ReadTable(readFile(o.Value("points")), columns); });
}

const std::vector<ColumnHeading>& GeodeticColumns() {
  static const std::vector<ColumnHeading> c = {{"name", {"name", "点名"}, false},
                                               {"B", {"B", "纬度"}},
                                               {"L", {"L", "经度"}},
                                               {"H", {"H", "h", "高程", "大地高"}, false}};
  return c;
}
const std::vector<ColumnHeading>& GridColumns() {
  static const std::vector<ColumnHeading> c = {
      {"name", {"name", "点名"}, false}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"h", {"h", "H", "z", "高程"}, false}};
  return c;
}

std::string RowName(const Table& t, std::size_t row) {
  const std::string_view n = t.Cell(row, 0);
  return n.empty() ? "P" + std::to_string(row + 1) : std::string(n);
}

CommandResult Forward(const ParsedOptions& o, const FileReader& readFile, Progress& progress) {
  Zone z = ReadZone(o, "", ParseEllipsoid(o.Value("ellipsoid", "cgcs2000")));
  RequireMeridian(z, "");
  const bool degrees = o.Has("degrees"), prefix = o.Has("prefix");
  WithPrefix(0, z, prefix);  // refuses --prefix without a zone number before any row is read
  const TransverseMercator tm(z.gk.Definition());
  progress.Stage(kTextShare);
  const Table t = ReadPoints(o, readFile, GeodeticColumns());
  progress.Stage(1);
  // Without γ and k the rows are an alignment points table (name,x,y,h).
  const bool factors = !o.Has("no-factors");
  CommandResult r;
  r.csv = factors ? "name,x,y,h,convergence,scale\n" : "name,x,y,h\n";
  for (std::size_t i = 0; i < t.RowCount(); ++i) {
    progress.Row(i, t.RowCount());
    const GeodeticPoint g{AngleCell(t, i, 1, "B", degrees), AngleCell(t, i, 2, "L", degrees)};
    if (const std::string reason = CheckGeodetic(g, z.gk.centralMeridian); !reason.empty()) {
      Refuse(LinePrefix(t.LineNumber(i)) + reason);
    }
    const GridPoint p = tm.Forward(g);
    AppendName(r.csv, RowName(t, i));
    r.csv += ',' + FixedText(p.x, kLengthDecimals) + ',' + FixedText(WithPrefix(p.y, z, prefix), kLengthDecimals) + ',' +
             HeightText(t, i, 3);
    if (factors) {
      const PointFactors f = tm.Factors(g);
      r.csv += ',' + AngleText(f.convergence, degrees) + ',' + FixedText(f.scale, kScaleDecimals);
    }
    r.csv += '\n';
  }
  return r;
}

// Grid rows with the prefix taken off y; fixes the zone from the rows when needed.
struct GridRows {
  Table table;
  std::vector<GridPoint> points;
};
GridRows ReadGridRows(const ParsedOptions& o, const FileReader& readFile, Zone* z, Progress& progress) {
  progress.Stage(kTextShare);
  GridRows rows{ReadPoints(o, readFile, GridColumns()), {}};
  progress.Stage(kCellShare);
  const Table& t = rows.table;
  rows.points.reserve(t.RowCount());
  for (std::size_t i = 0; i < t.RowCount(); ++i) {
    progress.Row(i, t.RowCount());
    const double x = Reading([&] { return t.Number(i, 1); });
    double y = Reading([&] { return t.Number(i, 2); });
    if (z) y = ReadPrefixedY(y, t.LineNumber(i), *z);
    Reading([&] { return HeightText(t, i, 3); });  // a bad height is refused before anything is computed
    rows.points.push_back({x, y});
  }
  progress.Stage(1);
  return rows;
}

GeodeticPoint InverseRow(const TransverseMercator& tm, GridPoint p, int line) {
  try {
    return tm.Inverse(p);
  } catch (const TransformError& e) {
    throw TransformError(LinePrefix(line) + e.what());
  }
}

CommandResult Inverse(const ParsedOptions& o, const FileReader& readFile, Progress& progress) {
  Zone z = ReadZone(o, "", ParseEllipsoid(o.Value("ellipsoid", "cgcs2000")));
  if (o.Has("prefix")) Refuse("--prefix 只用于输出 y；inverse 的输入 y 带带号时自动识别。");
  const bool degrees = o.Has("degrees");
  const GridRows rows = ReadGridRows(o, readFile, &z, progress);
  RequireMeridian(z, "");
  const TransverseMercator tm(z.gk.Definition());
  CommandResult r;
  r.csv = "name,B,L,h\n";
  for (std::size_t i = 0; i < rows.points.size(); ++i) {
    progress.Row(i, rows.points.size());
    const GeodeticPoint g = InverseRow(tm, rows.points[i], rows.table.LineNumber(i));
    AppendName(r.csv, RowName(rows.table, i));
    r.csv += ',' + AngleText(g.B, degrees) + ',' + AngleText(g.L, degrees) + ',' + HeightText(rows.table, i, 3) + '\n';
  }
  return r;
}

CommandResult Rezone(const ParsedOptions& o, const FileReader& readFile, Progress& progress) {
  const Ellipsoid e = ParseEllipsoid(o.Value("ellipsoid", "cgcs2000"));
  Zone from = ReadZone(o, "", e);
  Zone to = ReadZone(o, "to-", e);
  if (!o.Has("to-meridian") && !o.Has("to-zone")) Refuse("rezone 需要目标带：--to-meridian 或 --to-zone。");
  const bool prefix = o.Has("prefix");
  WithPrefix(0, to, prefix);
  const GridRows rows = ReadGridRows(o, readFile, &from, progress);
  RequireMeridian(from, "");
  const TransverseMercator source(from.gk.Definition());
  const TransverseMercator target(to.gk.Definition());
  CommandResult r;
  r.csv = "name,x,y,h\n";
  for (std::size_t i = 0; i < rows.points.size(); ++i) {
    progress.Row(i, rows.points.size());
    const int line = rows.table.LineNumber(i);
    const GeodeticPoint g = InverseRow(source, rows.points[i], line);
    if (const std::string reason = CheckGeodetic(g, to.gk.centralMeridian); !reason.empty()) {
      Refuse(LinePrefix(line) + "目标带：" + reason);
    }
    const GridPoint p = target.Forward(g);
    AppendName(r.csv, RowName(rows.table, i));
    r.csv += ',' + FixedText(p.x, kLengthDecimals) + ',' + FixedText(WithPrefix(p.y, to, prefix), kLengthDecimals) + ',' +
             HeightText(rows.table, i, 3) + '\n';
  }
  return r;
}

double MaxResidual(const ParsedOptions& o) {
  const double v = OptionNumber(o, "max-residual", 0.05);
  if (!(v > 0)) Refuse("--max-residual 应为正数：" + Quote(o.Value("max-residual")) + "。");
  return v;
}

// The residual rows and the summary's list of points over the limit.
void WriteResiduals(const std::vector<Residual>& residuals, int axes, double rms, double limit, CommandResult& r) {
  r.csv = axes == 2 ? "name,vx,vy,v\n" : "name,vX,vY,vZ,v\n";
  std::string over;
  for (const Residual& v : residuals) {
    AppendName(r.csv, v.name);
    for (int k = 0; k < axes; ++k) r.csv += ',' + FixedText(v.v[k], kLengthDecimals);
    r.csv += ',' + FixedText(v.length, kLengthDecimals) + '\n';
    if (v.length > limit) over += (over.empty() ? "" : "、") + v.name + "（" + FixedText(v.length, kLengthDecimals) + " m）";
  }
  r.summary += "公共点 " + std::to_string(residuals.size()) + " 个，RMS = " + FixedText(rms, kLengthDecimals) + " m。\n";
  if (!over.empty()) r.summary += "残差超过 " + FixedText(limit, kLengthDecimals) + " m 的点：" + over + "。\n";
}

CommandResult Fit4(const ParsedOptions& o, const FileReader& readFile, Progress& progress) {
  const double limit = MaxResidual(o);
  static const std::vector<ColumnHeading> columns = {{"name", {"name", "点名"}, false}, {"x_from", {"x_from", "原X"}},
                                                     {"y_from", {"y_from", "原Y"}},      {"x_to", {"x_to", "新X"}},
                                                     {"y_to", {"y_to", "新Y"}}};
  progress.Stage(kTextShare);
  const Table t = ReadPoints(o, readFile, columns);
  progress.Stage(1);  // the least squares take little beside reading the cells
  std::vector<CommonPoint<Plane>> points;
  for (std::size_t i = 0; i < t.RowCount(); ++i) {
    progress.Row(i, t.RowCount());
    Reading([&] {
      points.push_back({RowName(t, i), {t.Number(i, 1), t.Number(i, 2)}, {t.Number(i, 3), t.Number(i, 4)}, t.LineNumber(i)});
      return 0;
    });
  }
  const FitResult<FourParameters> fit = FitFour(points);
  CommandResult r;
  const FourParameters& p = fit.parameters;
  r.summary = "四参数：dx = " + FixedText(p.dx, kLengthDecimals) + " m，dy = " + FixedText(p.dy, kLengthDecimals) +
              " m，旋转 = " + FixedText(p.rotation, 6) + "″，尺度 = " + FixedText(p.scale, 12) + "。\n";
  WriteResiduals(fit.residuals, 2, fit.rms, limit, r);
  r.parameterFile = FourParameterFile(p, fit.rms, points.size());
  return r;
}

// Geocentric or geodetic points of a table whose columns are all optional: which of the two
// sets is present decides how the row is read.
struct SpaceColumns {
  std::size_t X, Y, Z, B, L, H;
};
Space SpaceCell(const Table& t, std::size_t i, SpaceColumns c, bool geodetic, bool degrees, const GeocentricConverter* conv) {
  if (!geodetic) return Reading([&] { return Space{t.Number(i, c.X), t.Number(i, c.Y), t.Number(i, c.Z)}; });
  const GeodeticPoint g{AngleCell(t, i, c.B, "B", degrees), AngleCell(t, i, c.L, "L", degrees)};
  const double h = Reading([&] { return t.NumberOr(i, c.H, 0); });
  try {
    const Geocentric x = conv->ToGeocentric(g, h);
    return {x.X, x.Y, x.Z};
  } catch (const TransformError& e) {
    throw TransformError(LinePrefix(t.LineNumber(i)) + e.what());
  }
}

// Refuses a table that mixes the geocentric and geodetic columns or lacks some of them.
bool GeodeticLayout(const Table& t, const std::vector<std::size_t>& xyz, const std::vector<std::size_t>& blh,
                    const std::string& expected) {
  const auto all = [&](const std::vector<std::size_t>& cs) {
    return std::all_of(cs.begin(), cs.end(), [&](std::size_t c) { return t.HasColumn(c); });
  };
  const auto any = [&](const std::vector<std::size_t>& cs) {
    return std::any_of(cs.begin(), cs.end(), [&](std::size_t c) { return t.HasColumn(c); });
  };
  if (all(xyz) && !any(blh)) return false;
  if (all(blh) && !any(xyz)) return true;
  Refuse("点表的列应为 " + expected + "。");
}

CommandResult Fit7(const ParsedOptions& o, const FileReader& readFile, Progress& progress) {
  const double limit = MaxResidual(o);
  static const std::vector<ColumnHeading> columns = {
      {"name", {"name", "点名"}, false},   {"X_from", {"X_from", "原X"}, false}, {"Y_from", {"Y_from", "原Y"}, false},
      {"Z_from", {"Z_from", "原Z"}, false}, {"X_to", {"X_to", "新X"}, false},     {"Y_to", {"Y_to", "新Y"}, false},
      {"Z_to", {"Z_to", "新Z"}, false},     {"B_from", {"B_from", "原B"}, false}, {"L_from", {"L_from", "原L"}, false},
      {"H_from", {"H_from", "原H"}, false}, {"B_to", {"B_to", "新B"}, false},     {"L_to", {"L_to", "新L"}, false},
      {"H_to", {"H_to", "新H"}, false}};
  progress.Stage(kTextShare);
  const Table t = ReadPoints(o, readFile, columns);
  progress.Stage(1);  // the least squares take little beside reading the cells
  const bool geodetic = GeodeticLayout(t, {1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12},
                                       "name,X_from,Y_from,Z_from,X_to,Y_to,Z_to 或 name,B_from,L_from,H_from,B_to,L_to,H_to");
  if (!geodetic && (o.Has("ellipsoid") || o.Has("to-ellipsoid") || o.Has("degrees"))) {
    Refuse("--ellipsoid、--to-ellipsoid、--degrees 只用于 B、L、H 公共点。");
  }
  std::optional<GeocentricConverter> from, to;
  if (geodetic) {
    if (!o.Has("ellipsoid") || !o.Has("to-ellipsoid")) Refuse("B、L、H 公共点需要 --ellipsoid 与 --to-ellipsoid。");
    from.emplace(ParseEllipsoid(o.Value("ellipsoid")));
    to.emplace(ParseEllipsoid(o.Value("to-ellipsoid")));
  }
  const bool degrees = o.Has("degrees");
  std::vector<CommonPoint<Space>> points;
  for (std::size_t i = 0; i < t.RowCount(); ++i) {
    progress.Row(i, t.RowCount());
    CommonPoint<Space> p{RowName(t, i), {}, {}, t.LineNumber(i)};
    p.from = SpaceCell(t, i, {1, 2, 3, 7, 8, 9}, geodetic, degrees, from ? &*from : nullptr);
    p.to = SpaceCell(t, i, {4, 5, 6, 10, 11, 12}, geodetic, degrees, to ? &*to : nullptr);
    points.push_back(std::move(p));
  }
  const FitResult<SevenParameters> fit = FitSeven(points);
  CommandResult r;
  const SevenParameters& p = fit.parameters;
  r.summary = "七参数：dX = " + FixedText(p.dX, kLengthDecimals) + " m，dY = " + FixedText(p.dY, kLengthDecimals) +
              " m，dZ = " + FixedText(p.dZ, kLengthDecimals) + " m，εx = " + FixedText(p.rx, 6) + "″，εy = " +
              FixedText(p.ry, 6) + "″，εz = " + FixedText(p.rz, 6) + "″，m = " + FixedText(p.ppm, 6) + " ppm。\n";
  WriteResiduals(fit.residuals, 3, fit.rms, limit, r);
  r.parameterFile = SevenParameterFile(p, fit.rms, points.size());
  return r;
}

std::string ReadParameterText(const ParsedOptions& o, const FileReader& readFile) {
  if (!o.Has("param")) Refuse("需要 --param 参数文件（.tparam）。");
  return Reading([&] { return readFile(o.Value("param")); });
}

CommandResult Apply4(const ParsedOptions& o, const FileReader& readFile, Progress& progress) {
  const FourParameters p = ReadFourParameterFile(ReadParameterText(o, readFile));
  const GridRows rows = ReadGridRows(o, readFile, nullptr, progress);
  CommandResult r;
  r.csv = "name,x,y,h\n";
  for (std::size_t i = 0; i < rows.points.size(); ++i) {
    progress.Row(i, rows.points.size());
    const Plane q = Apply(p, {rows.points[i].x, rows.points[i].y});
    AppendName(r.csv, RowName(rows.table, i));
    r.csv += ',' + FixedText(q.x, kLengthDecimals) + ',' + FixedText(q.y, kLengthDecimals) + ',' +
             HeightText(rows.table, i, 3) + '\n';
  }
  return r;
}

CommandResult Apply7(const ParsedOptions& o, const FileReader& readFile, Progress& progress) {
  const SevenParameters p = ReadSevenParameterFile(ReadParameterText(o, readFile));
  static const std::vector<ColumnHeading> columns = {
      {"name", {"name", "点名"}, false}, {"X", {"X"}, false}, {"Y", {"Y"}, false}, {"Z", {"Z"}, false},
      {"B", {"B", "纬度"}, false},       {"L", {"L", "经度"}, false}, {"H", {"H", "大地高"}, false}};
  progress.Stage(kTextShare);
  const Table t = ReadPoints(o, readFile, columns);
  progress.Stage(1);
  const bool geodetic = GeodeticLayout(t, {1, 2, 3}, {4, 5, 6}, "name,X,Y,Z 或 name,B,L,H");
  const bool degrees = o.Has("degrees");
  const bool project = o.Has("meridian") || o.Has("zone");
  if (!geodetic) {
    for (const std::string& n : kZoneOptions) {
      if (o.Has(n)) Refuse("--" + n + " 只用于 B、L、H 点表。");
    }
    if (o.Has("to-ellipsoid") || degrees) Refuse("--to-ellipsoid、--degrees 只用于 B、L、H 点表。");
  } else if (!o.Has("ellipsoid") || !o.Has("to-ellipsoid")) {
    Refuse("B、L、H 点表需要 --ellipsoid 与 --to-ellipsoid。");
  }
  std::optional<GeocentricConverter> from, to;
  std::optional<TransverseMercator> tm;
  Zone z;
  if (geodetic) {
    from.emplace(ParseEllipsoid(o.Value("ellipsoid")));
    const Ellipsoid target = ParseEllipsoid(o.Value("to-ellipsoid"));
    to.emplace(target);
    z = ReadZone(o, "", target);
    if (project) {
      WithPrefix(0, z, o.Has("prefix"));
      tm.emplace(z.gk.Definition());
    } else if (o.Has("prefix") || o.Has("height") || o.Has("scale") || o.Has("zone-width")) {
      Refuse("--prefix、--height、--scale、--zone-width 只在给出 --meridian 或 --zone 时使用。");
    }
  }
  CommandResult r;
  r.csv = !geodetic ? "name,X,Y,Z\n" : project ? "name,x,y,h\n" : "name,B,L,H\n";
  for (std::size_t i = 0; i < t.RowCount(); ++i) {
    progress.Row(i, t.RowCount());
    const Space a = SpaceCell(t, i, {1, 2, 3, 4, 5, 6}, geodetic, degrees, from ? &*from : nullptr);
    const Space b = Apply(p, a);
    AppendName(r.csv, RowName(t, i));
    if (!geodetic) {
      r.csv += ',' + FixedText(b.X, kLengthDecimals) + ',' + FixedText(b.Y, kLengthDecimals) + ',' +
               FixedText(b.Z, kLengthDecimals) + '\n';
      continue;
    }
    const int line = t.LineNumber(i);
    std::pair<GeodeticPoint, double> g;
    try {
      g = to->ToGeodetic({b.X, b.Y, b.Z});
    } catch (const TransformError& e) {
      throw TransformError(LinePrefix(line) + e.what());
    }
    if (project) {
      if (const std::string reason = CheckGeodetic(g.first, z.gk.centralMeridian); !reason.empty()) {
        Refuse(LinePrefix(line) + reason);
      }
      const GridPoint q = tm->Forward(g.first);
      r.csv += ',' + FixedText(q.x, kLengthDecimals) + ',' + FixedText(WithPrefix(q.y, z, o.Has("prefix")), kLengthDecimals);
    } else {
      r.csv += ',' + AngleText(g.first.B, degrees) + ',' + AngleText(g.first.L, degrees);
    }
    r.csv += ',' + FixedText(g.second, kLengthDecimals) + '\n';
  }
  return r;
}

}  // namespace

// The same bound as the alignment program's tables: a point list of a million rows is far
// below it, and a device or FIFO given by mistake is refused instead of read without end.
std::string ReadFileFromDisk(const std::string& path) {
  constexpr std::size_t kMaxPointFileBytes = 64u << 20;
  ReadOutcome read = ReadBoundedFile(path, kMaxPointFileBytes);
  if (!read.ok) Refuse("无法打开文件“" + path + "”：" + read.reason + "。");
  return std::move(read.bytes);
}

void WriteFileToDisk(const std::string& path, const std::string& text) {
  const WriteOutcome outcome = WriteFileAtomically(path, text);
  if (!outcome.ok) Refuse("无法写入文件：" + outcome.error);
}

const std::vector<std::string>& CommandNames() {
  static const std::vector<std::string> names = {"forward", "inverse", "rezone", "fit4", "fit7", "apply4", "apply7"};
  return names;
}

std::vector<AcceptedOption> CommandOptions(const std::string& command) {
  std::vector<AcceptedOption> accepted;
  for (const std::string& n : OptionNames(command)) accepted.push_back({n, !IsFlag(n), false});
  return accepted;
}

CommandResult RunCommand(const std::string& command, const ParsedOptions& options, const FileReader& readFile,
                         const RunControl& control) {
  using Command = CommandResult (*)(const ParsedOptions&, const FileReader&, Progress&);
  static const std::vector<std::pair<std::string, Command>> commands = {
      {"forward", Forward}, {"inverse", Inverse}, {"rezone", Rezone}, {"fit4", Fit4},
      {"fit7", Fit7},       {"apply4", Apply4},   {"apply7", Apply7}};
  for (const auto& [name, run] : commands) {
    if (name != command) continue;
    Progress progress(control);
    CommandResult r = run(options, readFile, progress);
    progress.Finish();
    return r;
  }
  Refuse("未知的命令：" + Quote(command) + "。");
}

std::string RefusalMessage(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const TransformError& e) {
    return e.what();
  } catch (const alignment::AlignmentError& e) {
    return e.what();
  }
}

std::string HelpText() {
  return "usage: transform COMMAND [OPTIONS]        坐标转换：高斯投影正反算、换带、四参数与七参数\n"
         "\n"
         "commands:\n"
         "  forward  --points FILE (name,B,L[,H]) ZONE  -> name,x,y,h,convergence,scale\n"
         "           [--no-factors]  -> name,x,y,h (an alignment points table: locate --points)\n"
         "  inverse  --points FILE (name,x,y[,h]) ZONE  -> name,B,L,h\n"
         "  rezone   --points FILE (name,x,y[,h]) ZONE --to-meridian D.MMSS|--to-zone N\n"
         "           [--to-zone-width 3|6] [--to-height H] [--to-scale K]  -> name,x,y,h\n"
         "  fit4     --points FILE (name,x_from,y_from,x_to,y_to) [--out FILE.tparam] [--max-residual M]\n"
         "           -> name,vx,vy,v (parameters and RMS on stderr)\n"
         "  fit7     --points FILE (name,X_from,Y_from,Z_from,X_to,Y_to,Z_to, or name,B_from,L_from,H_from,\n"
         "           B_to,L_to,H_to with --ellipsoid E --to-ellipsoid E) [--out FILE.tparam] [--max-residual M]\n"
         "           -> name,vX,vY,vZ,v\n"
         "  apply4   --param FILE.tparam --points FILE (name,x,y[,h])  -> name,x,y,h\n"
         "  apply7   --param FILE.tparam --points FILE (name,X,Y,Z)  -> name,X,Y,Z\n"
         "           or (name,B,L,H) --ellipsoid E --to-ellipsoid E  -> name,B,L,H, or name,x,y,h with ZONE\n"
         "\n"
         "ZONE options:\n"
         "  --ellipsoid cgcs2000|wgs84|bj54|xian80|A,INVF   default cgcs2000\n"
         "  --meridian D.MMSS | --zone N [--zone-width 3|6] central meridian (3° zones 3·N, 6° zones 6·N−3;\n"
         "                                                 --zone-width defaults to 3)\n"
         "  --height H      projection height in metres (ellipsoid a+H, same flattening), default 0\n"
         "  --scale K       scale on the central meridian, default 1\n"
         "  --prefix        write y with the zone number (y = N·1000000 + 500000 + E); an input y of\n"
         "                  1000000 or more is read as carrying it\n"
         "  --degrees       angles in and out in decimal degrees instead of D.MMSS\n"
         "\n"
         "x is the northing, y the easting. Tables: CSV or tab-separated, UTF-8 or GBK, header row\n"
         "(English or Chinese names: 点名,B,L,H / 点名,X,Y,H / 点名,原X,原Y,新X,新Y). A refusal names the\n"
         "line and ends with status 2.\n"
         "\n"
         "example: transform forward --zone 37 --points gnss.csv --prefix > grid.csv\n";
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const FileReader& readFile,
             const FileWriter& writeFile) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    out << HelpText();
    return 0;
  }
  const std::string& command = args[0];
  const auto& names = CommandNames();
  if (std::find(names.begin(), names.end(), command) == names.end()) {
    err << "transform: unknown command \"" << command << "\" (commands: forward, inverse, rezone, fit4, fit7, apply4, "
        << "apply7; see transform --help)\n";
    return 2;
  }
  std::vector<AcceptedOption> accepted = CommandOptions(command);
  accepted.push_back({"help", false, false});
  const ParsedOptions options = ParseOptions({args.begin() + 1, args.end()}, accepted);
  if (!options.error.empty()) {
    err << "transform: " << options.error << " (see transform --help)\n";
    return 2;
  }
  if (options.Has("help")) {
    out << HelpText();
    return 0;
  }
  try {
    const CommandResult r = RunCommand(command, options, readFile);
    if (options.Has("out")) writeFile(options.Value("out"), r.parameterFile);
    out << r.csv;
    out.flush();
    if (options.Has("out")) err << r.summary << "参数已写入 " << options.Value("out") << "。\n";
    else err << r.summary;
    return 0;
  } catch (...) {
    err << "transform: " << RefusalMessage(std::current_exception()) << '\n';
    return 2;
  }
}

}  // namespace survey::transform
