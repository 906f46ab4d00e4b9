#include "alignment/cli/plan_output.h"

#include "alignment/cli/point_output.h"
#include "exchange/dxf_plan.h"
#include "exchange/exchange_error.h"
#include "exchange/route_plan.h"

#include <iterator>

namespace survey::alignment::cli {

std::vector<OptionHelp> DrawingOptions() {
  return {{{"text-height"}, "--text-height H", "text height in drawing metres (default 2.5: 2.5 mm at 1:1000)."},
          {{"label-every"}, "--label-every D", "a station label every D metres of station (default 100)."}};
}

exchange::PlanOptions PlanOptionsFor(const StakeQuery& query) {
  exchange::PlanOptions options;
  options.interval = query.range.interval;
  options.fromStation = query.range.fromStation;
  options.toStation = query.range.toStation;
  options.offsets = query.offsets;
  options.skew = query.skew;
  return options;
}

void AddPointFileOptions(Command& command) {
  command.AddOptions(PointOutputOptions());
  command.AddOptions(DrawingOptions());
  command.usage += " [--out FILE [--format csv|cass|gsi16|dxf] [--code TEXT]]";
}

void SavePlanDrawing(CommandContext& ctx, const StakeQuery& query, std::vector<exchange::PlanLabel> morePoints) {
  exchange::PlanOptions options = PlanOptionsFor(query);
  options.textHeight = ctx.Number("text-height").value_or(2.5);
  if (!(options.textHeight > 0)) Refuse("--text-height 必须大于 0。");
  options.labelEvery = ctx.Number("label-every").value_or(100);
  if (!(options.labelEvery > 0)) Refuse("--label-every 必须大于 0。");
  std::string bytes;
  try {
    exchange::PlanDrawing drawing = exchange::RoutePlan(ctx.GetRoute(), options);
    drawing.sideStakes.insert(drawing.sideStakes.end(), std::make_move_iterator(morePoints.begin()),
                              std::make_move_iterator(morePoints.end()));
    bytes = exchange::WritePlanDxf(drawing);
  } catch (const exchange::ExchangeError& e) {
    Refuse(e.what());
  }
  SaveOutputFile(ctx, bytes);
}

}  // namespace survey::alignment::cli
