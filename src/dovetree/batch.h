// Batch mode: the handlers of hhForm1 driven from the command line.
//
//   dovetree --jd T --alpha T --radius T --ls T --station T [--extra T]...
//
// fills Text1 to Text5, runs the main calculation, then the extra stake once per --extra in
// order (Text6 = that value), and writes the report with LF line ends. A refusal writes its
// message to `err` and returns 2.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace dovetree {

int RunDovetreeBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace dovetree
