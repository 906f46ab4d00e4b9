// The options that bring the cross-section tables to a command (--section FILE with
// --superelevation, --widening and how they apply), read into the design surface on the
// route's stations.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alignment/cli/command.h"
#include "alignment/section/section_rows.h"

namespace survey::alignment::cli {

std::vector<OptionHelp> SectionOptionHelp();

// The design surface of --section on the route; absent without --section, where the options
// that only go with it are refused.
std::optional<section::SectionModel> SectionFromOptions(CommandContext& ctx);

// An elevation column: "z_5" with a profile, "relative_z_5" (relative to the design line) without.
std::string ElevationColumn(const std::string& name, bool withProfile);

// Refuses, before any row, offsets on a side the template lacks.
void CheckSides(const section::SectionModel& model, const std::vector<double>& offsets);

}  // namespace survey::alignment::cli
