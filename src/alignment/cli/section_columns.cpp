// The design elevations of side stakes on the stake, point and locate commands, with --section:
// each command keeps its rows and gains the elevation of the design surface at its offsets.
#include "alignment/cli/section_columns.h"

#include <utility>

#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/field_check.h"
#include "alignment/cli/section_setup.h"

namespace survey::alignment::cli {

namespace {

// The offset as the line typed it, blanks around it dropped.
std::string Label(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  const std::size_t last = text.find_last_not_of(" \t");
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

const Profile* ProfileOf(const RouteDesign& design) { return design.profile ? &design.profile->profile : nullptr; }

void Append(std::vector<std::string>& keys, std::vector<std::string> more) {
  for (std::string& k : more) keys.push_back(std::move(k));
}

// The stake rows as without --section, then z_D for each offset and, with --edges, x,y,z of
// every part edge.
void RunStakes(CommandContext& ctx, const section::SectionModel& model) {
  const StakeRun run = ReadStakeRun(ctx);
  if (run.query.skew != 0) Refuse("--section 不与 --skew 同用：斜向边桩不在本桩号的横断面上。");
  const bool edges = ctx.options.Has("edges");
  const RouteDesign& design = *run.design;
  const bool withProfile = design.profile.has_value();
  const Profile* profile = ProfileOf(design);
  CheckSides(model, run.query.offsets);

  std::vector<std::string> keys = layout::StakeKeys(run.offsetLabels, withProfile);
  for (const std::string& label : run.offsetLabels) keys.push_back(ElevationColumn(label, withProfile));
  if (edges) {
    for (const std::string& name : section::EdgeNames(model.Template())) {
      Append(keys, {"x_" + name, "y_" + name, ElevationColumn(name, withProfile)});
    }
  }
  CsvWriter csv(ctx.out, ctx.format);
  csv.Keys(keys);
  std::vector<double> edgeOffsets;
  ForEachStakeRow(design, run.query, [&](const StakeRow& row) {
    const section::SectionAtStation at = section::SectionAt(model, profile, row.chainage);
    layout::Cells(csv, row, withProfile);
    for (const double offset : run.query.offsets) csv.Number(at.ElevationAt(offset));
    if (edges) {
      section::EdgeOffsets(at.section, edgeOffsets);
      for (const double offset : edgeOffsets) {
        const Pose p = design.route.PointAt(row.chainage, offset);
        csv.Number(p.x);
        csv.Number(p.y);
        csv.Number(at.ElevationAt(offset));
      }
    }
    csv.EndRow();
  });
  csv.Flush();
}

// The point's row as without --section, then z_D.
void RunPoint(CommandContext& ctx, const section::SectionModel& model) {
  const Route& route = ctx.GetRoute();
  if (!ctx.options.Has("station")) Refuse("point 命令需要 --station。");
  if (ctx.Angle("skew").value_or(0) != 0) Refuse("--section 不与 --skew 同用：斜向边桩不在本桩号的横断面上。");
  const double station = *ctx.Station("station");
  const double offset = ctx.Number("offset").value_or(0);
  StationPoint point = PointAtStation(route, station, offset, 0);
  const RouteDesign& design = ctx.DesignWithProfile();
  if (design.profile) point.elevation = ElevationAt(*design.profile, point.chainage);
  const bool withProfile = design.profile.has_value();
  CheckSides(model, {offset});
  const section::SectionAtStation at = section::SectionAt(model, ProfileOf(design), point.chainage);
  std::vector<std::string> keys = layout::PointKeys(withProfile);
  keys.push_back(ElevationColumn(ctx.options.Has("offset") ? Label(ctx.options.Value("offset")) : "0", withProfile));
  CsvWriter csv(ctx.out, ctx.format);
  csv.Keys(keys);
  layout::Cells(csv, point, withProfile);
  csv.Number(at.ElevationAt(offset));
  csv.EndRow();
  csv.Flush();
}

// The base command's run unless --section is given; then `withSection`.
Command Wrap(Command base, bool withEdges, void (*withSection)(CommandContext&, const section::SectionModel&)) {
  base.AddOptions(SectionOptionHelp());
  if (withEdges) {
    base.options.push_back({{"edges", false},
                            "--edges",
                            "with --section: side stakes at the outer edge of every part of each side (widening "
                            "included), named by side and part (\"左 行车道\")."});
  }
  base.run = [run = base.run, withSection](CommandContext& ctx) {
    if (ctx.options.Has("section")) {
      // The section's columns are written to stdout only; a file asked for would stay unwritten.
      if (ctx.options.Has("out")) Refuse("--out 不能与 --section 同用；请把输出重定向到文件。");
      ctx.Design();  // the route's own refusals come first
      withSection(ctx, *SectionFromOptions(ctx));
      return;
    }
    // A line without the section's options runs exactly as the command alone.
    if (ctx.options.Has("edges")) Refuse("--edges 只与 --section 同用。");
    SectionFromOptions(ctx);  // refuses the options that only go with --section
    run(ctx);
  };
  return base;
}

}  // namespace

Command WithSectionStakes(Command stakes) { return Wrap(std::move(stakes), true, RunStakes); }
Command WithSectionPoint(Command point) { return Wrap(std::move(point), false, RunPoint); }
Command WithSectionLocate(Command locate) {
  // The section's locate (field_check.cpp) reads its own options in the order its refusals
  // come: the points before the section.
  locate.AddOptions(SectionOptionHelp());
  locate.run = [run = locate.run](CommandContext& ctx) {
    if (ctx.options.Has("section")) {
      RunLocateOnSection(ctx);
      return;
    }
    SectionFromOptions(ctx);  // refuses the options that only go with --section
    run(ctx);
  };
  return locate;
}

}  // namespace survey::alignment::cli
