#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"
#include "alignment/cli/point_output.h"
#include "exchange/station_names.h"


namespace survey::alignment::cli {

Command PointCommand() {
  Command c;
  c.name = "point";
  c.usage = "--station S [--offset D] [--skew A]";
  c.description = "The position at one station: station,x,y,azimuth (the azimuth of the centre line there).";
  c.options = {{{"station"}, "--station S", "the station (K notation or metres)."},
               {{"offset"}, "--offset D", "a point D metres right of the centre line (negative: left)."},
               {{"skew"}, "--skew A", "the offset taken on the line at azimuth + 90° + A (default 0)."}};
  c.AddOptions(PointOutputOptions(false));
  c.usage += " [--out FILE [--format csv|cass|gsi16] [--code TEXT]]";
  c.example = "alignment point --jd route.csv --station K1+234.5 --offset=-3.75";
  c.run = [](CommandContext& ctx) {
    const Route& route = ctx.GetRoute();
    if (!ctx.options.Has("station")) Refuse("point 命令需要 --station。");
    const PointOutput output = ChosenPointOutput(ctx, false);
    const double station = *ctx.Station("station");
    const double offset = ctx.Number("offset").value_or(0);
    const double skew = Skew(ctx);
    StationPoint point = PointAtStation(route, station, offset, skew);
    // The profile is read once the position is known: a station off the route is named first.
    const RouteDesign& design = ctx.DesignWithProfile();
    if (design.profile) point.elevation = ElevationAt(*design.profile, point.chainage);
    if (output == PointOutput::Cass || output == PointOutput::Gsi16) {
      const std::string name = exchange::StakeName(point.station);
      PointFileOutput file(ctx, output);
      file.Add(offset == 0 ? name : exchange::SideStakeName(name, offset), point.x, point.y,
               point.elevation && offset == 0 ? std::optional<double>(point.elevation->elevation) : std::nullopt);
      return file.Save();
    }
    WriteCsvOutput(ctx, output, [&](CsvWriter& csv) {
      csv.Keys(layout::PointKeys(design.profile.has_value()));
      csv.Row(point, design.profile.has_value());
    });
  };
  return c;
}

}  // namespace survey::alignment::cli
