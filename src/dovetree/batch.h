// Batch mode: the deflection form driven from the command line.
//
//   dovetree --jd T --alpha T --radius T --ls T --station T [--extra T]... [--pdf FILE]
//
// fills JD to M, computes the deflections, then adds the extra stakes in order (one per
// --extra), prints the report into FILE when asked, and writes the report with LF line ends. A
// refusal writes its message to `err` and returns 2.
#pragma once

#include "common/services.h"

#include <ostream>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace dovetree {

// Uses the PDF writer of `services` for --pdf.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const survey::BatchServices& services = {});

}  // namespace dovetree
