#include <cmath>

#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/point_input.h"
#include "alignment/table_reader.h"

namespace survey::alignment::cli {

// With a profile a points table may give z (name,x,y,z / 点名,X,Y,Z), for dz; without one the
// table is name,x,y and a z column is refused as unknown, as it always was.
PointsRead ReadPoints(CommandContext& ctx, bool withProfile) {
  PointsRead read;
  std::string bytes = ctx.readFile(ctx.options.Value("points"));
  if (std::shared_ptr<const exchange::PointFile> field = ReadFieldPoints(ctx, bytes)) {
    // A CASS list or GSI-16 blocks: names and z as read (z used with a profile, for dz).
    read.points.reserve(field->points.size());
    for (const exchange::PointRecord& p : field->points) {
      read.points.push_back({p.name, p.x, p.y, withProfile ? p.z : std::nullopt});
      read.withZ = read.withZ || read.points.back().z.has_value();
    }
    read.keep = std::move(field);
    return read;
  }
  if (!withProfile) {
    PointTable table = ReadPointTable(std::move(bytes));
    read.points.reserve(table.rows.size());
    for (const PointRow& row : table.rows) read.points.push_back({row.name, row.x, row.y, std::nullopt});
    read.keep = std::move(table.text);
    return read;
  }
  static const std::vector<ColumnHeading> columns = {
      {"name", {"name", "点名"}, false}, {"x", {"x", "X"}}, {"y", {"y", "Y"}}, {"z", {"z", "Z", "高程"}, false}};
  auto table = std::make_shared<const Table>(ReadTable(std::move(bytes), columns, {kMaxPointRows, "点表"}));
  read.withZ = table->HasColumn(3);
  read.points.reserve(table->RowCount());
  for (std::size_t i = 0; i < table->RowCount(); ++i) {
    SurveyedPoint p{table->Cell(i, 0), table->Number(i, 1), table->Number(i, 2), std::nullopt};
    if (read.withZ && !table->Cell(i, 3).empty()) p.z = table->Number(i, 3);
    for (double v : {p.x, p.y, p.z.value_or(0)}) {
      if (std::fabs(v) > kMaxMagnitude) Refuse(LinePrefix(table->LineNumber(i)) + "坐标或高程超出范围。");
    }
    read.points.push_back(p);
  }
  read.keep = std::move(table);
  return read;
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
               {{"points"}, "--points FILE", "points: a table name,x,y (点名,X,Y), a CASS list or GSI-16 blocks."},
               PointsFormatOption()};
  c.example = "alignment locate --jd route.csv --points surveyed.csv";
  c.run = [](CommandContext& ctx) {
    const bool single = ctx.options.Has("x") || ctx.options.Has("y");
    if (single == ctx.options.Has("points")) Refuse("locate 命令需要 --x 和 --y，或 --points（二者取一）。");
    if (single && !(ctx.options.Has("x") && ctx.options.Has("y"))) Refuse("locate 命令需要 --x 和 --y 两者。");
    const RouteDesign& design = ctx.DesignWithProfile();
    const bool withProfile = design.profile.has_value();
    PointsRead read;
    if (single) {
      const double x = *ctx.Number("x");
      const double y = *ctx.Number("y");
      read.points.push_back({"", x, y, std::nullopt});
    } else {
      read = ReadPoints(ctx, withProfile);
    }
    CsvWriter csv(ctx.out, ctx.format);
    csv.Keys(layout::LocateKeys(withProfile, read.withZ));
    ForEachLocateRow(design, read.points, withProfile,
                     [&](const LocateRow& row) { csv.Row(row, withProfile, read.withZ); });
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
