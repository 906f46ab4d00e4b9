#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"

namespace survey::alignment::cli {

Command StakesCommand() {
  Command c;
  c.name = "stakes";
  c.usage = "[--interval D] [--from S] [--to S] [--offset D]... [--skew A]";
  c.description =
      "The stake list: the start (QD) and end (ZD), every station that is a whole multiple of the interval, "
      "and every main point, in order along the route: name,station,x,y,azimuth, then x_D,y_D for each "
      "offset D. The name is empty for a regular stake, \"QD\", \"ZD\" or e.g. \"JD3 HY\" for a main point.";
  c.options = {{{"interval"}, "--interval D", "stake interval in metres (default 20)."},
               {{"from"}, "--from S", "first station listed (limits the list, adds no stake)."},
               {{"to"}, "--to S", "last station listed (limits the list, adds no stake)."},
               {{"offset", true, true},
                "--offset D",
                "side stakes D metres right of the centre line (negative: left); repeatable."},
               {{"skew"},
                "--skew A",
                "side stakes on the line at azimuth + 90° + A, at distance D / cos A (default 0)."}};
  c.example = "alignment stakes --jd route.csv --interval 10 --offset=-5 --offset 5";
  c.run = [](CommandContext& ctx) {
    ctx.Design();
    StakeQuery query;
    query.range = StakeRange(ctx);
    // The columns are named after the offsets as typed (blanks around them dropped).
    std::vector<std::string> labels;
    for (const std::string& text : ctx.options.Values("offset")) {
      query.offsets.push_back(ctx.NumberValue("offset", text));
      const std::size_t first = text.find_first_not_of(" \t");
      const std::size_t last = text.find_last_not_of(" \t");
      labels.push_back(text.substr(first, last - first + 1));
    }
    query.skew = Skew(ctx);
    const RouteDesign& design = ctx.DesignWithProfile();
    const bool withProfile = design.profile.has_value();
    CsvWriter csv(ctx.out, ctx.format);
    csv.StakeHeader(labels, withProfile);
    // Every refusal of the stake list comes before its first row, so nothing has reached the
    // stream when one is thrown.
    ForEachStakeRow(design, query, [&](const StakeRow& row) { csv.Row(row, withProfile); });
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
