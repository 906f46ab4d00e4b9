// The route's plan drawing (DXF) to --out: the `plan` command, and `stakes --format dxf`.
#pragma once

#include <vector>

#include "alignment/cli/command.h"
#include "alignment/route_rows.h"
#include "exchange/plan_geometry.h"
#include "exchange/route_plan.h"

namespace survey::alignment::cli {

// --text-height and --label-every.
std::vector<OptionHelp> DrawingOptions();

// The options of a command whose rows may go to a point file or a drawing (--out, --format,
// --code and the drawing's), with their usage.
void AddPointFileOptions(Command& command);

// The drawing's stakes and side stakes as the stake list of `query` has them.
exchange::PlanOptions PlanOptionsFor(const StakeQuery& query);

// Draws the route with the stakes and side stakes of `query`, and `morePoints` on the side
// stakes' layer, and writes it to --out; refuses (AlignmentError) what cannot be drawn or written.
void SavePlanDrawing(CommandContext& ctx, const StakeQuery& query, std::vector<exchange::PlanLabel> morePoints = {});

}  // namespace survey::alignment::cli
