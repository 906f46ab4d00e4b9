#include "alignment/cli/csv_writer.h"
#include "alignment/cli/section_columns.h"
#include "alignment/cli/section_setup.h"
#include "alignment/stake_list.h"

namespace survey::alignment::cli {

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
  c.options = {{{"interval"}, "--interval D", "stake interval in metres (default 20)."},
               {{"from"}, "--from S", "first station listed (limits the list, adds no stake)."},
               {{"to"}, "--to S", "last station listed (limits the list, adds no stake)."}};
  for (OptionHelp& o : SectionOptionHelp()) c.options.push_back(std::move(o));
  c.example = "alignment section --jd route.csv --profile profile.csv --section section.csv --superelevation super.csv";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    const StakeOptions range = StakeRange(ctx);
    const RouteDesign& design = ctx.DesignWithProfile();
    const std::optional<section::SectionModel> model = SectionFromOptions(ctx);
    if (!model) Refuse("section 命令需要 --section。");
    const Profile* profile = design.profile ? &design.profile->profile : nullptr;
    CsvWriter csv(ctx.out, ctx.format);
    csv.Keys({"name", "station", "side", "part", "offset", "width", "slope",
              profile ? "elevation" : "relative_elevation", "x", "y"});
    std::vector<section::SectionRow> rows;
    ForEachStake(route, range, [&](const Stake& stake) {
      rows.clear();
      section::AppendSectionRows(route, section::SectionAt(*model, profile, stake.chainage), stake.chainage, rows);
      for (const section::SectionRow& row : rows) {
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
      }
    });
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
