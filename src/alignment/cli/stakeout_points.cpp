#include "alignment/cli/stakeout_points.h"

#include "alignment/cli/csv_writer.h"
#include "alignment/cli/point_input.h"
#include "alignment/route_rows.h"
#include "alignment/table_reader.h"

namespace survey::alignment::cli {

void WritePointsStakeout(CommandContext& ctx, const StakeoutStation& instrument) {
  const std::string bytes = ctx.readFile(ctx.options.Value("points"));
  std::vector<SurveyedPoint> points;
  std::shared_ptr<const void> keep;
  if (std::shared_ptr<const exchange::PointFile> field = ReadFieldPoints(ctx, bytes)) {
    for (const exchange::PointRecord& p : field->points) points.push_back({p.name, p.x, p.y, std::nullopt});
    keep = std::move(field);
  } else {
    auto table = std::make_shared<const PointTable>(ReadPointTable(bytes));
    for (const PointRow& row : table->rows) points.push_back({row.name, row.x, row.y, std::nullopt});
    keep = std::move(table);
  }
  const RouteDesign& design = ctx.Design();
  CsvWriter csv(ctx.out, ctx.format);
  csv.Keys(layout::StakeoutKeys());
  ForEachLocateRow(design, points, false, [&](const LocateRow& row) {
    const StakeoutAim aim = instrument.Aim(row.x, row.y);
    csv.Text(row.name);
    if (row.inside) {
      csv.Number(row.station);
    } else {
      csv.Empty();
    }
    csv.Number(row.x);
    csv.Number(row.y);
    csv.Angle(aim.azimuth, AngleKind::Azimuth);
    csv.Angle(aim.angle, AngleKind::Azimuth);
    csv.Number(aim.distance);
    csv.EndRow();
  });
  csv.Flush();
}

}  // namespace survey::alignment::cli
