#include "alignment/cli/commands.h"
#include "alignment/cli/csv_writer.h"

namespace survey::alignment::cli {

Command CurvesCommand() {
  Command c;
  c.name = "curves";
  c.description =
      "One row per JD: name,x,y,turn,alpha,r,ls1,ls2,t1,t2,l,e,j,zh,hy,qz,yh,hz,straight_after. zh and hz hold "
      "the curve's start and end (ZY and YZ on a side without transition, where hy or yh is empty); "
      "straight_after is the straight to the next curve, empty on the last JD. Needs --jd.";
  c.example = "alignment curves --jd route.csv --start K10+000";
  c.run = [](CommandContext& ctx) {
    if (!ctx.options.Has("jd")) Refuse("curves 命令需要 JD 表（--jd）；线元法的路线没有交点。");
    const std::vector<CurveTableRow> rows = CurveRows(ctx.GetRoute());
    CsvWriter csv(ctx.out, ctx.format);
    csv.CurveHeader();
    for (const CurveTableRow& row : rows) csv.Row(row);
    csv.Flush();
  };
  return c;
}

}  // namespace survey::alignment::cli
