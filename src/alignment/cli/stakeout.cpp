#include <cmath>

#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/point_input.h"
#include "alignment/cli/stakeout_points.h"

namespace survey::alignment::cli {

namespace {

struct PlanePoint {
  double x = 0, y = 0;
};

// "X,Y" of --setup and --backsight.
PlanePoint PointOption(const CommandContext& ctx, const std::string& option) {
  if (!ctx.options.Has(option)) Refuse("stakeout 命令需要 --" + option + " X,Y。");
  const std::string text = ctx.options.Value(option);
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) Refuse("--" + option + " 应写成 X,Y（如 3000100.5,500200.25）。");
  const double x = ctx.NumberValue(option, text.substr(0, comma));
  const double y = ctx.NumberValue(option, text.substr(comma + 1));
  return {x, y};
}

}  // namespace

Command StakeoutCommand() {
  Command c;
  c.name = "stakeout";
  c.usage = "--setup X,Y --backsight X,Y [--interval D] [--from S] [--to S] [--offset D]... [--skew A]";
  c.description =
      "Setting-out data from an instrument station for the stake list: name,station,x,y,azimuth,angle,distance; "
      "azimuth from the station to the stake, angle clockwise from the backsight direction (0 to 360°), "
      "horizontal distance. With --offset each centre row is followed by one row per offset, named after the "
      "stake and the signed offset (\"JD3 HY +5.000\").";
  c.options = {{{"setup"}, "--setup X,Y", "the instrument station."},
               {{"backsight"}, "--backsight X,Y", "the backsight point the instrument is oriented on."}};
  c.AddOptions(StakeRangeOptions());
  c.AddOptions(SideStakeOptions());
  c.AddOptions({{{"points"},
                 "--points FILE",
                 "set out the points of FILE (name,x,y table, CASS list or GSI-16) instead of the stakes; the station "
                 "is the foot point's, empty beyond the ends."},
                PointsFormatOption()});
  c.example = "alignment stakeout --jd route.csv --setup 3000120.5,500080.2 --backsight 3000400,500010 --offset=-5";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    const PlanePoint setup = PointOption(ctx, "setup");
    const PlanePoint backsight = PointOption(ctx, "backsight");
    const StakeoutStation instrument(setup.x, setup.y, backsight.x, backsight.y);
    if (ctx.options.Has("points")) {
      for (const char* stakeOption : {"interval", "from", "to", "offset", "skew"}) {
        if (ctx.options.Has(stakeOption)) Refuse(std::string("--points 不与 --") + stakeOption + " 一起使用。");
      }
      return WritePointsStakeout(ctx, instrument);
    }
    const StakeQuery query = StakeQueryFromOptions(ctx);
    CsvWriter csv(ctx.out, ctx.format);
    csv.Keys(layout::StakeoutKeys());
    ForEachStakeoutRow(route, instrument, query, [&](const StakeoutRow& row) { csv.Row(row); });
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
