#include "alignment/cli/commands.h"
#include "alignment/cli/plan_output.h"

namespace survey::alignment::cli {

Command PlanCommand() {
  Command c;
  c.name = "plan";
  c.usage = "--out FILE.dxf [--interval D] [--from S] [--to S] [--offset D]... [--skew A] [--label-every D] "
            "[--text-height H]";
  c.description =
      "The plan drawing as DXF (X east, Y north, metres): layers 中线 (straights as LINE, arcs as ARC at their "
      "true centre and radius, clothoids as LWPOLYLINE within 0.5 mm), 交点 (tangent polygon, JD names), 主点 "
      "(main points with name and station), 桩号 (a tick per stake, a label every --label-every metres), 边桩 "
      "(side stakes of each --offset).";
  c.options = {{{"out"}, "--out FILE", "the drawing to write (replaced only once complete)."}};
  c.AddOptions(StakeRangeOptions());
  c.AddOptions(SideStakeOptions());
  c.AddOptions(DrawingOptions());
  c.example = "alignment plan --jd route.csv --out route.dxf --offset=-5 --offset 5 --label-every 100";
  c.run = [](CommandContext& ctx) {
    if (!ctx.options.Has("out")) Refuse("plan 命令需要 --out FILE.dxf。");
    SavePlanDrawing(ctx, StakeQueryFromOptions(ctx));
  };
  return c;
}

}  // namespace survey::alignment::cli
