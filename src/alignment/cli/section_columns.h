// --section on the commands that list side stakes: the command as it is, and with --section its
// rows gain the design elevation of each side stake (z_<offset>, relative_z_<offset> without a
// profile); stakes also takes --edges, side stakes at every part edge.
#pragma once

#include "alignment/cli/command.h"

namespace survey::alignment::cli {

Command WithSectionStakes(Command stakes);
Command WithSectionPoint(Command point);
// locate: with --section the columns of the design there (RunLocateOnSection; needs a profile).
Command WithSectionLocate(Command locate);

// section: the break points of the cross-section at every stake (section_command.cpp).
Command SectionCommand();

}  // namespace survey::alignment::cli
