#include "alignment/landxml_batch.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <utility>

#include "alignment/alignment_error.h"
#include "alignment/landxml_reader.h"
#include "alignment/landxml_writer.h"
#include "alignment/profile_table.h"
#include "alignment/stake_list.h"
#include "alignment/stakeout.h"
#include "alignment/table_reader.h"
#include "alignment/text_format.h"

namespace survey::alignment {

namespace {

[[noreturn]] void Refuse(const std::string& message) { throw AlignmentError(message); }

LandXmlImport ImportFromOptions(const CommandContext& ctx) {
  const std::string path = ctx.options.Value("landxml");
  const LandXmlDocument document = ParseLandXml(ctx.readFile(path));
  LandXmlImportOptions options;
  options.name = ctx.options.Value("name");
  options.trustPoints = ctx.options.Has("trust-points");
  options.noProfile = ctx.options.Has("no-profile");
  options.profileName = ctx.options.Value("profile-name");
  return ImportLandXml(document, options);
}

RouteSource LandXmlSource(std::ostream& notes) {
  RouteSource source;
  source.trigger = "landxml";
  source.options = {
      {{"landxml"},
       "--landxml FILE",
       "LandXML 1.2 file: the alignment's Line, Curve and Spiral (clothoid) elements, its staStart and "
       "StaEquations, and its Profile (used when no --profile is given; PVI stations are internal, as LandXML "
       "counts them). The chain is rebuilt from the first element's Start; an element that leaves the previous "
       "one at an angle its own points fix starts there with its own direction (an angle point, listed in the "
       "notes); an element whose stored End is more than 1 mm off is refused. Only the alignment asked for is "
       "checked."},
      {{"name"}, "--name NAME", "the alignment of that name (default: the first one), with --landxml."},
      {{"trust-points", false},
       "--trust-points",
       "each element starts at its own stored Start instead of the previous element's end, with --landxml; the "
       "largest gap between elements and the largest disagreement of an element's length with its points are "
       "reported, and either beyond 1 m is refused."},
      {{"no-profile", false}, "--no-profile", "the plan alone: the file's profile is not read, with --landxml."},
      {{"profile-name"},
       "--profile-name NAME",
       "the ProfAlign of that name (default: the first one), with --landxml."}};
  source.build = [&notes](CommandContext& ctx) {
    LandXmlImport imported = ImportFromOptions(ctx);
    notes << "alignment: LandXML 各线元推算终点与文件 End 的最大差 " << FixedText(imported.largestEndDifference * 1000, 3)
          << " mm";
    if (imported.largestEndDifferenceElement > 0) notes << "（第 " << imported.largestEndDifferenceElement << " 个线元）";
    notes << "。\n";
    if (ctx.options.Has("trust-points")) {
      notes << "alignment: 线元起点与上一线元终点的最大间隙 " << FixedText(imported.largestGap * 1000, 3) << " mm";
      if (imported.largestGapElement > 0) notes << "（第 " << imported.largestGapElement << " 个线元）";
      notes << "。\n";
    }
    for (const std::string& note : imported.notes) notes << "alignment: " << note << "\n";
    return std::move(imported.route);
  };
  return source;
}

// A percentage with four decimals.
std::string Percent(double ratio) { return FixedText(ratio * 100, 4); }

Command ProfileCommand() {
  Command c;
  c.name = "profile";
  c.description =
      "One row per grade change point: name,station,elevation,r,t,e,grade_in,grade_out,curve_start,curve_end "
      "(grades in percent; r, t, e and the curve's stations empty where there is no vertical curve); with an "
      "asymmetric curve also length_in,length_out, the lengths of its halves (its r and t empty). Needs "
      "--profile or a LandXML file with a profile.";
  c.example = "alignment profile --jd route.csv --profile profile.csv";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    const std::optional<LoadedProfile> loaded = LoadProfile(ctx);
    if (!loaded) Refuse("profile 命令需要纵断面：--profile 文件，或带纵断面的 LandXML 文件。");
    CsvWriter csv(ctx.out, ctx.format);
    for (const char* name : {"name", "station", "elevation", "r", "t", "e", "grade_in", "grade_out", "curve_start",
                             "curve_end"}) {
      csv.Text(name);
    }
    const std::vector<ProfileRow>& rows = loaded->profile.Rows();
    // Asymmetric curves add the lengths of their halves; other profiles keep their columns.
    const bool asymmetric = std::any_of(rows.begin(), rows.end(), [](const ProfileRow& r) { return r.asymmetric; });
    if (asymmetric) {
      csv.Text("length_in");
      csv.Text("length_out");
    }
    csv.EndRow();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const ProfileRow& row = rows[i];
      csv.Text(row.name);
      csv.Number(loaded->stations[i]);
      csv.Number(row.elevation);
      if (row.radius > 0) csv.Number(row.radius); else csv.Empty();
      if (row.hasCurve) {
        if (row.asymmetric) csv.Empty(); else csv.Number(row.t);
        csv.Number(row.e);
      } else {
        csv.Empty();
        csv.Empty();
      }
      if (row.hasGradeIn) csv.Text(Percent(row.gradeIn)); else csv.Empty();
      if (row.hasGradeOut) csv.Text(Percent(row.gradeOut)); else csv.Empty();
      if (row.hasCurve) {
        csv.Number(StationAtMeasure(route.Stations(), row.curveStart));
        csv.Number(StationAtMeasure(route.Stations(), row.curveEnd));
      } else {
        csv.Empty();
        csv.Empty();
      }
      if (asymmetric) {
        if (row.asymmetric) {
          csv.Number(row.lengthIn);
          csv.Number(row.lengthOut);
        } else {
          csv.Empty();
          csv.Empty();
        }
      }
      csv.EndRow();
    }
    csv.Flush();
  };
  return c;
}

struct PlanePoint {
  double x = 0, y = 0;
};

// "X,Y" of --setup and --backsight.
PlanePoint PointOption(const CommandContext& ctx, const std::string& option) {
  if (!ctx.options.Has(option)) Refuse("stakeout 命令需要 --" + option + " X,Y。");
  const std::string text = ctx.options.Value(option);
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) Refuse("--" + option + " 应写成 X,Y（如 3000100.5,500200.25）。");
  return {ctx.NumberValue(option, text.substr(0, comma)), ctx.NumberValue(option, text.substr(comma + 1))};
}

Command StakeoutCommand() {
  Command c;
  c.name = "stakeout";
  c.usage = "--setup X,Y --backsight X,Y [--interval D] [--from S] [--to S] [--offset D]... [--skew A]";
  c.description =
      "Setting-out data from an instrument station for the stake list: name,station,x,y,azimuth,angle,distance; "
      "azimuth from the station to the stake, angle clockwise from the backsight direction (0 to 360°), "
      "horizontal distance. With --offset each centre row is followed by one row per offset, named after the "
      "stake and the signed offset (\"JD3 HY +5.000\").";
  c.options = {{{"setup"}, "--setup X,Y", "the instrument station."},
               {{"backsight"}, "--backsight X,Y", "the backsight point the instrument is oriented on."},
               {{"interval"}, "--interval D", "stake interval in metres (default 20)."},
               {{"from"}, "--from S", "first station listed."},
               {{"to"}, "--to S", "last station listed."},
               {{"offset", true, true}, "--offset D", "side stakes D metres right (negative: left); repeatable."},
               {{"skew"}, "--skew A", "side stakes on the line at azimuth + 90° + A (default 0)."}};
  c.example = "alignment stakeout --jd route.csv --setup 3000120.5,500080.2 --backsight 3000400,500010 --offset=-5";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    const PlanePoint setup = PointOption(ctx, "setup");
    const PlanePoint backsight = PointOption(ctx, "backsight");
    const StakeoutStation station(setup.x, setup.y, backsight.x, backsight.y);
    StakeOptions stakes;
    stakes.interval = ctx.Number("interval").value_or(20);
    stakes.fromStation = ctx.Station("from");
    stakes.toStation = ctx.Station("to");
    std::vector<double> offsets;
    for (const std::string& text : ctx.options.Values("offset")) offsets.push_back(ctx.NumberValue("offset", text));
    const double skew = ctx.Angle("skew").value_or(0);
    if (!(std::fabs(skew) < std::numbers::pi / 2)) Refuse("--skew 的绝对值必须小于 90°。");
    std::vector<std::string> suffixes;
    for (double offset : offsets) suffixes.push_back((offset >= 0 ? "+" : "") + FixedText(offset, ctx.format.decimals));

    CsvWriter csv(ctx.out, ctx.format);
    for (const char* name : {"name", "station", "x", "y", "azimuth", "angle", "distance"}) csv.Text(name);
    csv.EndRow();
    const auto row = [&](std::string_view name, double stationValue, double x, double y) {
      const StakeoutAim aim = station.Aim(x, y);
      csv.Text(name);
      csv.Number(stationValue);
      csv.Number(x);
      csv.Number(y);
      csv.Angle(aim.azimuth, AngleKind::Azimuth);
      csv.Angle(aim.angle, AngleKind::Azimuth);
      csv.Number(aim.distance);
      csv.EndRow();
    };
    ForEachStake(route, stakes, [&](const Stake& stake) {
      const Pose centre = route.PointAt(stake.chainage);
      row(stake.name, stake.station, centre.x, centre.y);
      for (std::size_t i = 0; i < offsets.size(); ++i) {
        const Pose side = route.PointAt(stake.chainage, offsets[i], skew);
        row(stake.name.empty() ? suffixes[i] : stake.name + " " + suffixes[i], stake.station, side.x, side.y);
      }
    });
    csv.Flush();
  };
  return c;
}

Command ExportCommand() {
  Command c;
  c.name = "export";
  c.usage = "--out OUT.xml";
  c.description =
      "Writes the route as LandXML 1.2 (metres, radians): one Alignment with staStart, its StaEquations, every "
      "element with Start and End (arcs with Center, arcs and transitions with PI), and the Profile when one is "
      "loaded; element and PVI stations are internal. The alignment and profile keep the source's names (a "
      "LandXML file's, or a table's file name). The file is replaced only once it is completely written.";
  c.options = {{{"out"}, "--out FILE", "the LandXML file to write."}};
  c.example = "alignment export --jd route.csv --profile profile.csv --out route.xml";
  c.run = [](CommandContext& ctx) {
    if (!ctx.options.Has("out") || ctx.options.Value("out").empty()) Refuse("export 命令需要 --out 文件名。");
    const std::string out = ctx.options.Value("out");
    const Route& route = ctx.GetRoute();
    const std::optional<LoadedProfile> loaded = LoadProfile(ctx);
    LandXmlExport alignment;
    const auto stem = [&](const char* option) { return std::filesystem::path(ctx.options.Value(option)).stem().string(); };
    if (ctx.options.Has("landxml")) {
      const LandXmlImport source = ImportFromOptions(ctx);
      alignment.name = source.name;
      alignment.profileName = source.profileName;
    } else {
      alignment.name = stem(ctx.options.Has("jd") ? "jd" : "elements");
    }
    if (ctx.options.Has("profile")) alignment.profileName = stem("profile");
    if (alignment.name.empty()) alignment.name = std::filesystem::path(out).stem().string();
    alignment.startStation = route.Stations().StartStation();
    alignment.equations = route.Stations().Equations();
    alignment.elements = route.Elements();
    if (loaded) {
      alignment.profile = &loaded->profile;
    }
    WriteFileAtomically(out, LandXmlText(alignment));
  };
  return c;
}

}  // namespace

double StationAtMeasure(const StationLine& stations, double measure) {
  if (measure < 0) return stations.StartStation() + measure;
  if (measure > stations.Length()) return stations.EndStation() + (measure - stations.Length());
  return stations.StationAt(measure);
}

std::optional<LoadedProfile> LoadProfile(CommandContext& ctx) {
  const Route& route = ctx.GetRoute();
  if (ctx.options.Has("profile")) {
    const std::vector<ProfileTableRow> rows = ReadProfileTable(ctx.readFile(ctx.options.Value("profile")));
    std::vector<double> stations;
    Profile profile = ProfileOnRoute(rows, route.Stations(), stations);
    return LoadedProfile{std::move(profile), std::move(stations)};
  }
  if (ctx.options.Has("landxml")) {
    // The route came from the same file; reading it once more keeps the route sources
    // unaware of profiles, and costs milliseconds.
    LandXmlImport imported = ImportFromOptions(ctx);
    if (imported.profile) return LoadedProfile{std::move(*imported.profile), std::move(imported.profileStations)};
  }
  return std::nullopt;
}

void ElevationColumns::Header(CsvWriter& csv) const {
  if (!loaded_) return;
  for (const char* name : {"grade_elevation", "elevation", "grade"}) csv.Text(name);
}

void ElevationColumns::Cells(CsvWriter& csv, double chainage) const {
  if (!loaded_) return;
  if (!loaded_->profile.Covers(chainage)) {
    csv.Empty();
    csv.Empty();
    csv.Empty();
    return;
  }
  const ProfileSample s = loaded_->profile.At(chainage);
  csv.Number(s.gradeElevation);
  csv.Number(s.elevation);
  csv.Text(Percent(s.grade));
}

bool RunLocateWithProfile(CommandContext& ctx) {
  const Route& route = ctx.GetRoute();
  const std::optional<LoadedProfile> loaded = LoadProfile(ctx);
  if (!loaded) return false;
  struct Row {
    std::string name;
    double x = 0, y = 0;
    std::optional<double> z;
  };
  std::vector<Row> rows;
  bool hasZ = false;
  if (ctx.options.Has("points")) {
    static const std::vector<ColumnHeading> columns = {
        {"name", {"name", "点名"}, false}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"z", {"z", "Z", "高程"}, false}};
    const Table table = ReadTable(ctx.readFile(ctx.options.Value("points")), columns);
    hasZ = table.HasColumn(3);
    rows.reserve(table.RowCount());
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
      Row row{std::string(table.Cell(i, 0)), table.Number(i, 1), table.Number(i, 2), std::nullopt};
      if (hasZ && !table.Cell(i, 3).empty()) row.z = table.Number(i, 3);
      for (double v : {row.x, row.y, row.z.value_or(0)}) {
        if (std::fabs(v) > kMaxMagnitude) Refuse(LinePrefix(table.LineNumber(i)) + "坐标或高程超出范围。");
      }
      rows.push_back(std::move(row));
    }
  } else {
    rows.push_back({"", *ctx.Number("x"), *ctx.Number("y"), std::nullopt});
  }
  CsvWriter csv(ctx.out, ctx.format);
  for (const char* name : {"name", "x", "y", "station", "offset", "status", "grade_elevation", "elevation", "grade"}) {
    csv.Text(name);
  }
  if (hasZ) csv.Text("dz");
  csv.EndRow();
  const Profile& profile = loaded->profile;
  for (const Row& row : rows) {
    const Location at = route.Locate(row.x, row.y);
    csv.Text(row.name);
    csv.Number(row.x);
    csv.Number(row.y);
    const bool designed = at.inside && profile.Covers(at.chainage);
    if (at.inside) {
      csv.Number(route.StationAt(at.chainage));
      csv.Number(at.offset);
      csv.Text("ok");
    } else {
      csv.Empty();
      csv.Empty();
      csv.Text("outside");
    }
    if (designed) {
      const ProfileSample s = profile.At(at.chainage);
      csv.Number(s.gradeElevation);
      csv.Number(s.elevation);
      csv.Text(Percent(s.grade));
      if (hasZ) {
        if (row.z) csv.Number(*row.z - s.elevation); else csv.Empty();
      }
    } else {
      csv.Empty();
      csv.Empty();
      csv.Empty();
      if (hasZ) csv.Empty();
    }
    csv.EndRow();
  }
  csv.Flush();
  return true;
}

void AddLandXmlCommands(BatchProgram& program, std::ostream& notes) {
  program.AddRouteSource(LandXmlSource(notes));
  program.AddCommonOption({{"profile"},
                           "--profile FILE",
                           "vertical profile station,elevation,r (桩号,高程,竖曲线半径): grade change points in "
                           "station order, r the vertical curve's radius (blank or 0: none). Adds "
                           "grade_elevation,elevation,grade (percent) to stakes, point and locate."});
  program.AddCommand(ProfileCommand());
  program.AddCommand(StakeoutCommand());
  program.AddCommand(ExportCommand());
}

}  // namespace survey::alignment
