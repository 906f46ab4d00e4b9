// Slope staking on locate: the design elevation of a measured point is the cross-section's
// surface at its offset, or beyond the edge the side slope (with --slopes).
#include "alignment/cli/field_check.h"

#include <string>
#include <vector>

#include "alignment/check/check_rows.h"
#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/section_setup.h"
#include "alignment/row_layout.h"

namespace survey::alignment::cli {

namespace {

const Profile* ProfileOf(const RouteDesign& design) { return design.profile ? &design.profile->profile : nullptr; }

std::optional<double> Minus(const std::optional<double>& a, const std::optional<double>& b) {
  return a && b ? std::optional<double>(*a - *b) : std::nullopt;
}

void RunLocateWithSlopes(CommandContext& ctx) {
  if (ctx.options.Has("out")) Refuse("--out 不能与 --section 同用；请把输出重定向到文件。");
  ctx.Design();  // the route's own refusals come first
  const bool single = ctx.options.Has("x") || ctx.options.Has("y");
  if (single == ctx.options.Has("points")) Refuse("locate 命令需要 --x 和 --y，或 --points（二者取一）。");
  if (single && !(ctx.options.Has("x") && ctx.options.Has("y"))) Refuse("locate 命令需要 --x 和 --y 两者。");
  const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
  const std::optional<section::SideSlopes> slopes = SlopesFromOptions(ctx);
  const RouteDesign& design = ctx.DesignWithProfile();
  if (!design.profile) Refuse("locate 的 --section 需要纵断面（--profile 或带纵断面的 LandXML）。");
  PointsRead read;
  if (single) {
    read.points.push_back({"", *ctx.Number("x"), *ctx.Number("y"), std::nullopt});
  } else {
    read = ReadPoints(ctx, true);
  }
  if (slopes && !read.withZ) Refuse("边坡放样（--slopes）需要点的高程：点表应有 z（高程）列。");
  const Profile* profile = ProfileOf(design);
  std::vector<std::string> keys = layout::LocateKeys(true, read.withZ);
  keys.push_back("section_elevation");
  if (read.withZ) keys.push_back("section_dz");
  if (slopes) {
    for (const char* k : {"kind", "catch_offset", "move", "slope_elevation", "slope_dz", "slope_status"}) keys.push_back(k);
  }
  if (read.withZ) keys.push_back("fill_cut");
  CsvWriter csv(ctx.out, ctx.format);
  csv.Keys(keys);
  std::size_t next = 0;  // the rows come in the points' order
  ForEachLocateRow(design, read.points, true, [&](const LocateRow& row) {
    const std::optional<double> z = read.points[next++].z;
    check::DesignAt d;
    if (row.inside) d = check::DesignAtPoint(*model, profile, slopes ? &*slopes : nullptr, row.chainage, row.offset, z);
    layout::Cells(csv, row, true, read.withZ);
    csv.Number(d.surface);
    if (read.withZ) csv.Number(Minus(z, d.surface));
    if (slopes) {
      if (d.slope) {
        csv.Text(d.slope->kind == section::SlopeKind::Fill ? "fill" : "cut");
        csv.Number(d.slope->catchOffset);
        csv.Number(d.slope->move);
        csv.Number(d.slope->slopeElevation);
        csv.Number(d.slope->slopeDz);
        csv.Text(d.slope->atCatch ? "catch" : "move");
      } else {
        for (int i = 0; i < 6; ++i) csv.Empty();
      }
    }
    // 填挖高度: design − measured, fill positive.
    if (read.withZ) csv.Number(Minus(d.Elevation(), z));
    csv.EndRow();
  });
  csv.Flush();
}

}  // namespace

std::optional<section::SideSlopes> SlopesFromOptions(CommandContext& ctx) {
  if (!ctx.options.Has("slopes")) return std::nullopt;
  const std::string file = ctx.options.Value("slopes");
  return section::ReadSideSlopes(ctx.readFile(file), file);
}

OptionHelp SlopesOption() {
  return {{"slopes"},
          "--slopes FILE",
          "side slopes side,kind,ratio (侧,类型,坡率): for each side (left/right, 左/右) a fill and a cut slope "
          "(fill/cut, 填/挖) as 1:m, m > 0, from the outermost edge of the section. With --section."};
}

Command WithSlopesLocate(Command locate) {
  locate.options.push_back(SlopesOption());
  locate.run = [run = locate.run](CommandContext& ctx) {
    if (!ctx.options.Has("section")) {
      if (ctx.options.Has("slopes")) Refuse("--slopes 只与 --section 同用。");
      run(ctx);
      return;
    }
    RunLocateWithSlopes(ctx);
  };
  return locate;
}

}  // namespace survey::alignment::cli
