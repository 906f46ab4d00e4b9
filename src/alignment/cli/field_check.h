// The field checks on the command line: slope staking on `locate` (--slopes, with --section)
// and cut and fill beside every measured z. The `check` command is in check.h.
#pragma once

#include <optional>

#include "alignment/cli/command.h"
#include "alignment/section/slopes.h"

namespace survey::alignment::cli {

// locate: --slopes, refused without --section (WithSectionLocate runs the section's locate).
Command WithSlopesLocate(Command locate);

// locate with --section: section_elevation, with z section_dz and fill_cut; with --slopes as
// well, the slope stake of every point beyond the outermost edge.
void RunLocateOnSection(CommandContext& ctx);

// --slopes FILE.
OptionHelp SlopesOption();

// The side slopes of --slopes FILE; absent without the option.
std::optional<section::SideSlopes> SlopesFromOptions(CommandContext& ctx);

}  // namespace survey::alignment::cli
