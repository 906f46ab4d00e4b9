#include "alignment/cli/csv_writer.h"
#include "alignment/cli/plan_output.h"
#include "alignment/cli/point_output.h"
#include "alignment/cli/section_columns.h"
#include "alignment/cli/section_setup.h"
#include "alignment/stake_list.h"
#include "exchange/station_names.h"


namespace survey::alignment::cli {
namespace {

// A break point's name in a point file: the stake's name ("JD3 HY") or station ("K10+020"), for
// the design line alone, then the side and the part ("K10+020左 行车道"). An instrument's ids
// hold no Chinese, so there the part is its place counted outward from the design line
// ("K10+020L2": the second part on the left).
std::string BreakPointName(const Stake& stake, const section::SectionRow& row, int partNumber = 0) {
  const std::string stakeName = stake.name.empty() ? exchange::StakeName(stake.station) : stake.name;
  if (row.designLine) return stakeName;
  if (partNumber > 0) return stakeName + section::SideText(row.side) + std::to_string(partNumber);
  return stakeName + section::SideText(row.side) + " " + row.part->name;
}

}  // namespace

Command SectionCommand() {
  Command c;
  c.name = "section";
  c.usage = "--section FILE [--superelevation FILE] [--widening FILE] [--interval D] [--from S] [--to S]";
  c.description =
      "The cross-section at every stake of the stake list, one row per break point: "
      "name,station,side,part,offset,width,slope,elevation,x,y: the design line first (offset 0), then the "
      "outer edge of each part outward, left side then right side; width and slope (percent) as the part is "
      "there, widening and superelevation included. Without a profile the column is relative_elevation, "
      "relative to the design line.";
  c.AddOptions(StakeRangeOptions());
  c.AddOptions(SectionOptionHelp());
  AddPointFileOptions(c);
  c.example = "alignment section --jd route.csv --profile profile.csv --section section.csv --superelevation super.csv";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    const StakeOptions range = StakeRange(ctx);
    const RouteDesign& design = ctx.DesignWithProfile();
    const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
    if (!model) Refuse("section 命令需要 --section。");
    const PointOutput output = ChosenPointOutput(ctx);
    const Profile* profile = design.profile ? &design.profile->profile : nullptr;
    std::vector<section::SectionRow> rows;
    const auto forEachBreakPoint = [&](const auto& sink) {
      ForEachStake(route, range, [&](const Stake& stake) {
        rows.clear();
        section::AppendSectionRows(route, section::SectionAt(*model, profile, stake.chainage), stake.chainage, rows);
        for (const section::SectionRow& row : rows) sink(stake, row);
      });
    };
    if (output == PointOutput::Cass || output == PointOutput::Gsi16) {
      // Without a profile the elevations are relative to the design line: no point's height.
      PointFileOutput file(ctx, output);
      // Rows run outward from the design line, the left side, then the right.
      int partNumber = 0;
      section::Side side = section::Side::Left;
      forEachBreakPoint([&](const Stake& stake, const section::SectionRow& row) {
        partNumber = row.designLine || row.side != side ? 0 : partNumber;
        side = row.side;
        if (!row.designLine) ++partNumber;
        file.Add(BreakPointName(stake, row, output == PointOutput::Gsi16 ? partNumber : 0), row.x, row.y,
                 profile ? row.elevation : std::nullopt);
      });
      return file.Save();
    }
    if (output == PointOutput::Dxf) {
      // The route and its stakes as the plan command draws them, the break points beside the
      // side stakes, named as in the point files.
      std::vector<exchange::PlanLabel> points;
      forEachBreakPoint([&](const Stake& stake, const section::SectionRow& row) {
        if (!row.designLine) points.push_back({{row.x, row.y}, BreakPointName(stake, row)});
      });
      StakeQuery query;
      query.range = range;
      return SavePlanDrawing(ctx, query, std::move(points));
    }
    WriteCsvOutput(ctx, output, [&](CsvWriter& csv) {
      csv.Keys({"name", "station", "side", "part", "offset", "width", "slope",
                profile ? "elevation" : "relative_elevation", "x", "y"});
      forEachBreakPoint([&](const Stake& stake, const section::SectionRow& row) {
        csv.Text(stake.name);
        csv.Number(stake.station);
        if (row.designLine) {
          csv.Empty();
          csv.Text("设计线");
          csv.Number(0.0);
          csv.Empty();
          csv.Empty();
        } else {
          csv.Text(section::SideText(row.side));
          csv.Text(row.part->name);
          csv.Number(row.offset);
          csv.Number(row.width);
          csv.Percent(row.slope / 100);
        }
        csv.Number(row.elevation);
        csv.Number(row.x);
        csv.Number(row.y);
        csv.EndRow();
      });
    });
  };
  return c;
}

}  // namespace survey::alignment::cli
