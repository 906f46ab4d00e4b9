#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/plan_output.h"
#include "alignment/cli/point_output.h"


namespace survey::alignment::cli {

StakeRun ReadStakeRun(CommandContext& ctx) {
  ctx.Design();
  StakeRun run;
  // The columns are named after the offsets as typed.
  run.query = StakeQueryFromOptions(ctx, &run.offsetLabels);
  run.design = &ctx.DesignWithProfile();
  return run;
}

Command StakesCommand() {
  Command c;
  c.name = "stakes";
  c.usage = "[--interval D] [--from S] [--to S] [--offset D]... [--skew A]";
  c.description =
      "The stake list: the start (QD) and end (ZD), every station that is a whole multiple of the interval, "
      "and every main point, in order along the route: name,station,x,y,azimuth, then x_D,y_D for each "
      "offset D. The name is empty for a regular stake, \"QD\", \"ZD\" or e.g. \"JD3 HY\" for a main point.";
  c.AddOptions(StakeRangeOptions());
  c.AddOptions(SideStakeOptions());
  AddPointFileOptions(c);
  c.example = "alignment stakes --jd route.csv --interval 10 --offset=-5 --offset 5";
  c.run = [](CommandContext& ctx) {
    const StakeRun run = ReadStakeRun(ctx);
    const PointOutput output = ChosenPointOutput(ctx);
    if (output == PointOutput::Dxf) return SavePlanDrawing(ctx, run.query);
    const RouteDesign& design = *run.design;
    const bool withProfile = design.profile.has_value();
    if (output == PointOutput::Cass || output == PointOutput::Gsi16) {
      PointFileOutput file(ctx, output);
      const PointSink add = [&file](const std::string& name, double x, double y, std::optional<double> z) {
        file.Add(name, x, y, z);
      };
      ForEachStakeRow(design, run.query, [&](const StakeRow& row) { ForEachStakePoint(row, run.query.offsets, add); });
      return file.Save();
    }
    WriteCsvOutput(ctx, output, [&](CsvWriter& csv) {
      csv.Keys(layout::StakeKeys(run.offsetLabels, withProfile));
      // Every refusal of the stake list comes before its first row, so nothing has reached the
      // stream when one is thrown.
      ForEachStakeRow(design, run.query, [&](const StakeRow& row) { csv.Row(row, withProfile); });
    });
  };
  return c;
}

}  // namespace survey::alignment::cli
