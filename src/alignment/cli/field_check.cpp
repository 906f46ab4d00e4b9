// Slope staking on locate: the design elevation of a measured point is the cross-section's
// surface at its offset, or beyond the edge the side slope (with --slopes).
#include "alignment/cli/field_check.h"

#include <string>
#include <vector>

#include "alignment/check/locate_design.h"
#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/section_setup.h"
#include "alignment/row_layout.h"

namespace survey::alignment::cli {

void RunLocateOnSection(CommandContext& ctx) {
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
  std::vector<std::string> keys = layout::LocateKeys(true, read.withZ);
  for (std::string& k : layout::PointDesignKeys(read.withZ, slopes.has_value())) keys.push_back(std::move(k));
  CsvWriter csv(ctx.out, ctx.format);
  csv.Keys(keys);
  check::ForEachLocateOnSection(design, read.points, *model, slopes ? &*slopes : nullptr,
                                [&](const LocateRow& row, const PointDesign& d) {
                                  layout::Cells(csv, row, true, read.withZ);
                                  layout::Cells(csv, d, read.withZ, slopes.has_value());
                                  csv.EndRow();
                                });
  csv.Flush();
}

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
    if (!ctx.options.Has("section") && ctx.options.Has("slopes")) Refuse("--slopes 只与 --section 同用。");
    run(ctx);
  };
  return locate;
}

}  // namespace survey::alignment::cli
