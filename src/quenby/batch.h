// Quenby without a window: the vertical-curve form driven from the command line.
//
//   quenby --radius R --i1 G1 --i2 G2 --jd STATION --elevation H [--spacing S] [--extra STATION]... [--pdf FILE]
//
// prints the listing, and with --pdf one printed copy of it into FILE. Returns the exit status:
// 0 done, 2 refused (message on `err`).
#pragma once

#include "common/services.h"

#include <ostream>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace quenby {

// Uses the PDF writer of `services` for --pdf.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const survey::BatchServices& services = {});

}  // namespace quenby
