// Points files of the field for --points: the suite's CSV table, a CASS point list (east before
// north!) or GSI-16 blocks, told by content or named by --points-format.
#pragma once

#include <memory>
#include <string>

#include "alignment/cli/command.h"
#include "exchange/point_record.h"

namespace survey::alignment::cli {

// --points-format.
OptionHelp PointsFormatOption();

// The points of a CASS or GSI-16 file (notes on skipped words go to ctx.err), or nullptr when
// the file is a CSV table for the command's own reader. Refuses a line that cannot be read
// with its number.
std::shared_ptr<const exchange::PointFile> ReadFieldPoints(const CommandContext& ctx, const std::string& bytes);

}  // namespace survey::alignment::cli
