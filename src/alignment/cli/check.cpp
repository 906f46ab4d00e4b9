// The check command: the tolerances of its options, the points of --points (a table or a CASS
// / GSI-16 file), the design with its section, and the rows of the core as CSV.
#include "alignment/cli/check.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/field_check.h"
#include "alignment/cli/point_input.h"
#include "alignment/cli/section_setup.h"
#include "alignment/table_reader.h"

namespace survey::alignment::cli {

namespace {

// The points with what keeps their names alive.
struct ReadCheck {
  check::CheckPoints points;
  std::shared_ptr<const void> keep;
};

// name,x,y,z with optional station,offset (the position each point was meant to mark), or a
// CASS / GSI-16 file; every point needs a z.
ReadCheck ReadCheckPoints(CommandContext& ctx) {
  if (!ctx.options.Has("points")) Refuse("check 命令需要 --points（点名,X,Y,Z 的实测点表）。");
  ReadCheck out;
  check::CheckPoints& read = out.points;
  std::string bytes = ctx.readFile(ctx.options.Value("points"));
  if (std::shared_ptr<const exchange::PointFile> field = ReadFieldPoints(ctx, bytes)) {
    read.points.reserve(field->points.size());
    for (const exchange::PointRecord& p : field->points) {
      if (!p.z) Refuse(LinePrefix(p.line) + "点“" + p.name + "”没有高程：偏差报表需要每个点的高程。");
      read.points.push_back({p.name, p.x, p.y, p.z});
      read.lines.push_back(p.line);
    }
    out.keep = std::move(field);
    return out;
  }
  static const std::vector<ColumnHeading> columns = {
      {"name", {"name", "点名"}}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"z", {"z", "Z", "高程"}},
      {"station", {"station", "桩号"}, false}, {"offset", {"offset", "偏距"}, false}};
  auto table = std::make_shared<const Table>(ReadTable(std::move(bytes), columns, {kMaxPointRows, "点表"}));
  if (table->HasColumn(4) != table->HasColumn(5)) Refuse("点表的设计位置需要 station 和 offset 两列（桩号,偏距）。");
  const bool intended = table->HasColumn(4);
  read.points.reserve(table->RowCount());
  read.lines.reserve(table->RowCount());
  if (intended) {
    read.station.reserve(table->RowCount());
    read.offset.reserve(table->RowCount());
  }
  for (std::size_t i = 0; i < table->RowCount(); ++i) {
    const int line = table->LineNumber(i);
    SurveyedPoint p{table->Cell(i, 0), table->Number(i, 1), table->Number(i, 2), table->Number(i, 3)};
    if (p.name.empty()) Refuse(LinePrefix(line) + "点名 不能为空。");
    read.points.push_back(p);
    read.lines.push_back(line);
    if (!intended) continue;
    const bool hasStation = !table->Cell(i, 4).empty(), hasOffset = !table->Cell(i, 5).empty();
    if (hasStation != hasOffset) Refuse(LinePrefix(line) + "设计位置需要桩号和偏距两者（或都空）。");
    read.station.push_back(hasStation ? table->Station(i, 4) : std::nan(""));
    read.offset.push_back(hasOffset ? table->Number(i, 5) : std::nan(""));
  }
  out.keep = std::move(table);
  return out;
}

}  // namespace

check::CheckRun ForEachCheckRow(CommandContext& ctx, const std::function<void(const check::CheckRun&)>& start,
                                const std::function<void(const check::CheckRow&, const check::CheckRun&)>& sink) {
  check::CheckInputs in;
  if (ctx.options.Has("tolerance-z")) {
    const std::optional<check::ZTolerance> t = check::ParseZTolerance(ctx.options.Value("tolerance-z"));
    if (!t) {
      Refuse("--tolerance-z 应为高程限差（米），如 0.01 或 +0.010/-0.015（上限/下限）：" +
             Quote(ctx.options.Value("tolerance-z")) + "。");
    }
    in.toleranceZ = *t;
  }
  if (ctx.options.Has("tolerance-xy")) {
    const std::optional<double> t = check::ParseXyTolerance(ctx.options.Value("tolerance-xy"));
    if (!t) Refuse("--tolerance-xy 应为不小于 0 的平面限差（米），如 0.05：" + Quote(ctx.options.Value("tolerance-xy")) + "。");
    in.toleranceXy = *t;
  }
  ctx.Design();  // the route's own refusals come first
  if (ctx.options.Has("slopes") && !ctx.options.Has("section")) Refuse("--slopes 只与 --section 同用。");
  const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
  const std::optional<section::SideSlopes> slopes = SlopesFromOptions(ctx);
  const RouteDesign& design = ctx.DesignWithProfile();
  if (!design.profile) Refuse("check 命令需要纵断面（--profile 或带纵断面的 LandXML）：偏差是实测高程减设计高程。");
  const ReadCheck read = ReadCheckPoints(ctx);
  in.design = &design;
  in.section = model ? &*model : nullptr;
  in.slopes = slopes ? &*slopes : nullptr;
  in.points = &read.points;
  return check::ForEachCheckRow(in, start, sink);
}

Command CheckCommand() {
  Command c;
  c.name = "check";
  c.usage = "--points FILE [--tolerance-xy T] [--tolerance-z T]";
  c.description =
      "The deviation report (偏差报表) of measured points against the design: name,x,y,z,station,offset,design_z,"
      "dz,fill_cut[,d_along,d_across,d_xy],result. dz is measured − design, fill_cut design − measured (填挖高度, "
      "填正挖负); the design elevation is the profile's on the design line, or with --section the surface at the "
      "point's offset (with --slopes the side slope beyond the edge). result is pass, fail or outside (off the "
      "route or beyond the surface); a last line starting with # sums up.";
  c.options = {{{"points"},
                "--points FILE",
                "points name,x,y,z (点名,X,Y,Z), optionally station,offset (桩号,偏距) of the position each point "
                "was meant to mark; or a CASS list or GSI-16 blocks with heights. Names must differ."},
               PointsFormatOption(),
               {{"tolerance-xy"}, "--tolerance-xy T", "horizontal tolerance in m (default 0.05); a limit itself passes."},
               {{"tolerance-z"}, "--tolerance-z T",
                "height tolerance in m: 0.01 (±, the default) or +0.010/-0.015 (upper/lower limits of dz)."},
               SlopesOption()};
  for (OptionHelp& o : SectionOptionHelp()) c.options.push_back(std::move(o));
  c.example = "alignment check --jd route.csv --profile profile.csv --points asbuilt.csv --tolerance-z +0.010/-0.015";
  c.run = [](CommandContext& ctx) {
    CsvWriter csv(ctx.out, ctx.format);
    const check::CheckRun run = ForEachCheckRow(
        ctx,
        [&](const check::CheckRun& started) {
          csv.Keys(check::CheckKeys(started.withIntended));
        },
        [&](const check::CheckRow& row, const check::CheckRun& started) {
          csv.Text(row.name);
          csv.Number(row.x);
          csv.Number(row.y);
          csv.Number(row.z);
          if (row.inside) {
            csv.Number(row.station);
            csv.Number(row.offset);
          } else {
            csv.Empty();
            csv.Empty();
          }
          csv.Number(row.designZ);
          csv.Number(row.dz);
          csv.Number(row.dz ? std::optional<double>(-*row.dz) : std::nullopt);
          if (started.withIntended) {
            csv.Number(row.along);
            csv.Number(row.across);
            csv.Number(row.distance);
          }
          csv.Text(check::CheckResultKey(row.result));
          csv.EndRow();
        });
    csv.Flush();
    ctx.out << "# " << check::CheckSummaryText(run, ctx.format.decimals) << '\n';
  };
  return c;
}

}  // namespace survey::alignment::cli
