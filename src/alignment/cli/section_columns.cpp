// The design elevations of side stakes on the stake, point and locate commands, with --section:
// each command keeps its rows and gains the elevation of the design surface at its offsets.
#include "alignment/cli/section_columns.h"

#include <utility>

#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/section_setup.h"

namespace survey::alignment::cli {

namespace {

// The offset as the line typed it, blanks around it dropped.
std::string Label(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  const std::size_t last = text.find_last_not_of(" \t");
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

void ProfileColumns(CsvWriter& csv, const std::optional<DesignElevation>& elevation) {
  if (!elevation) {
    csv.Empty();
    csv.Empty();
    csv.Empty();
    return;
  }
  csv.Number(elevation->gradeElevation);
  csv.Number(elevation->elevation);
  csv.Percent(elevation->grade);
}

const Profile* ProfileOf(const RouteDesign& design) { return design.profile ? &design.profile->profile : nullptr; }

void RunStakes(CommandContext& ctx, const section::SectionModel& model) {
  ctx.Design();
  StakeQuery query;
  query.range = StakeRange(ctx);
  std::vector<std::string> labels;
  for (const std::string& text : ctx.options.Values("offset")) {
    query.offsets.push_back(ctx.NumberValue("offset", text));
    labels.push_back(Label(text));
  }
  if (ctx.options.Has("skew")) Refuse("--section 不与 --skew 同用：斜向边桩不在本桩号的横断面上。");
  const bool edges = ctx.options.Has("edges");
  const RouteDesign& design = ctx.DesignWithProfile();
  const bool withProfile = design.profile.has_value();
  const Profile* profile = ProfileOf(design);
  CheckSides(model, query.offsets);
  const std::vector<std::string> edgeNames = edges ? section::EdgeNames(model.Template()) : std::vector<std::string>();

  CsvWriter csv(ctx.out, ctx.format);
  csv.Header({"name", "station", "x", "y", "azimuth"});
  const auto sideHeader = [&](const std::string& name) {
    csv.Text("x_" + name);
    csv.Text("y_" + name);
    csv.Text(ElevationColumn(name, withProfile));
  };
  for (const std::string& label : labels) sideHeader(label);
  for (const std::string& name : edgeNames) sideHeader(name);
  if (withProfile) csv.Header({"grade_elevation", "elevation", "grade"});
  csv.EndRow();

  std::vector<double> edgeOffsets;
  ForEachStakeRow(design, query, [&](const StakeRow& row) {
    const section::SectionAtStation at = section::SectionAt(model, profile, row.chainage);
    csv.Text(row.name);
    csv.Number(row.station);
    csv.Number(row.x);
    csv.Number(row.y);
    csv.Angle(row.azimuth, AngleKind::Azimuth);
    for (std::size_t i = 0; i < row.sides.size(); ++i) {
      csv.Number(row.sides[i].x);
      csv.Number(row.sides[i].y);
      csv.Number(at.ElevationAt(query.offsets[i]));
    }
    if (edges) {
      section::EdgeOffsets(at.section, edgeOffsets);
      for (const double offset : edgeOffsets) {
        const Pose p = design.route.PointAt(row.chainage, offset);
        csv.Number(p.x);
        csv.Number(p.y);
        csv.Number(at.ElevationAt(offset));
      }
    }
    if (withProfile) ProfileColumns(csv, row.elevation);
    csv.EndRow();
  });
  csv.Flush();
}

void RunPoint(CommandContext& ctx, const section::SectionModel& model) {
  const Route& route = ctx.GetRoute();
  if (!ctx.options.Has("station")) Refuse("point 命令需要 --station。");
  if (ctx.options.Has("skew")) Refuse("--section 不与 --skew 同用：斜向边桩不在本桩号的横断面上。");
  const double station = *ctx.Station("station");
  const double offset = ctx.Number("offset").value_or(0);
  StationPoint point = PointAtStation(route, station, offset, 0);
  const RouteDesign& design = ctx.DesignWithProfile();
  if (design.profile) point.elevation = ElevationAt(*design.profile, point.chainage);
  const bool withProfile = design.profile.has_value();
  CheckSides(model, {offset});
  const section::SectionAtStation at = section::SectionAt(model, ProfileOf(design), point.chainage);
  CsvWriter csv(ctx.out, ctx.format);
  csv.Header({"station", "x", "y", "azimuth"});
  if (withProfile) csv.Header({"grade_elevation", "elevation", "grade"});
  csv.Text(ElevationColumn(ctx.options.Has("offset") ? Label(ctx.options.Value("offset")) : "0", withProfile));
  csv.EndRow();
  csv.Number(point.station);
  csv.Number(point.x);
  csv.Number(point.y);
  csv.Angle(point.azimuth, AngleKind::Azimuth);
  if (withProfile) ProfileColumns(csv, point.elevation);
  csv.Number(at.ElevationAt(offset));
  csv.EndRow();
  csv.Flush();
}

// locate with --section: the design surface at each point's offset (section_elevation) and, where
// the table gives z, z minus it (section_dz); empty outside the route, beyond the surface and on
// a side the template lacks.
void RunLocate(CommandContext& ctx, const section::SectionModel& model) {
  const bool single = ctx.options.Has("x") || ctx.options.Has("y");
  if (single == ctx.options.Has("points")) Refuse("locate 命令需要 --x 和 --y，或 --points（二者取一）。");
  if (single && !(ctx.options.Has("x") && ctx.options.Has("y"))) Refuse("locate 命令需要 --x 和 --y 两者。");
  const RouteDesign& design = ctx.DesignWithProfile();
  if (!design.profile) Refuse("locate 的 --section 需要纵断面（--profile 或带纵断面的 LandXML）。");
  PointsRead read;
  if (single) {
    read.points.push_back({"", *ctx.Number("x"), *ctx.Number("y"), std::nullopt});
  } else {
    read = ReadPoints(ctx, true);
  }
  const Profile* profile = ProfileOf(design);
  CsvWriter csv(ctx.out, ctx.format);
  csv.Header({"name", "x", "y", "station", "offset", "status", "grade_elevation", "elevation", "grade"});
  if (read.withZ) csv.Text("dz");
  csv.Text("section_elevation");
  if (read.withZ) csv.Text("section_dz");
  csv.EndRow();
  std::size_t next = 0;  // the rows come in the points' order
  ForEachLocateRow(design, read.points, true, [&](const LocateRow& row) {
    const std::optional<double> z = read.points[next++].z;
    csv.Text(row.name);
    csv.Number(row.x);
    csv.Number(row.y);
    std::optional<double> surface;
    if (row.inside) {
      csv.Number(row.station);
      csv.Number(row.offset);
      csv.Text("ok");
      const section::Side side = row.offset < 0 ? section::Side::Left : section::Side::Right;
      if (row.offset == 0 || !model.Template().Parts(side).empty()) {
        surface = section::SectionAt(model, profile, row.chainage).ElevationAt(row.offset);
      }
    } else {
      csv.Empty();
      csv.Empty();
      csv.Text("outside");
    }
    ProfileColumns(csv, row.elevation);
    if (read.withZ) csv.Number(row.dz);
    csv.Number(surface);
    if (read.withZ) csv.Number(surface && z ? std::optional<double>(*z - *surface) : std::nullopt);
    csv.EndRow();
  });
  csv.Flush();
}

// The base command's run unless --section is given; then `withSection`.
Command Wrap(Command base, bool withEdges, void (*withSection)(CommandContext&, const section::SectionModel&)) {
  for (OptionHelp& o : SectionOptionHelp()) base.options.push_back(std::move(o));
  if (withEdges) {
    base.options.push_back({{"edges", false},
                            "--edges",
                            "with --section: side stakes at the outer edge of every part of each side (widening "
                            "included), named by side and part (\"左 行车道\")."});
  }
  base.run = [run = base.run, withSection](CommandContext& ctx) {
    ctx.Design();  // the route's own refusals come first
    if (ctx.options.Has("section")) {
      withSection(ctx, *SectionFromOptions(ctx));
      return;
    }
    if (ctx.options.Has("edges")) Refuse("--edges 只与 --section 同用。");
    SectionFromOptions(ctx);  // refuses the options that only go with --section
    run(ctx);
  };
  return base;
}

}  // namespace

Command WithSectionStakes(Command stakes) { return Wrap(std::move(stakes), true, RunStakes); }
Command WithSectionPoint(Command point) { return Wrap(std::move(point), false, RunPoint); }
Command WithSectionLocate(Command locate) { return Wrap(std::move(locate), false, RunLocate); }

}  // namespace survey::alignment::cli
