// The program's batch mode on the desktop: the saved report goes to disk in GBK, --pdf prints
// in the print face, and the date defaults to today. Needs a QApplication (PDF output).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "brannock/deflection_batch.h"

namespace brannock {

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace brannock
