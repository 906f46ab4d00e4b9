// Batch mode: the window's handlers driven from the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace brannock {

// brannock --jd T --alpha T --radius T [--ls T] [--date T] [--extra T]... [--save FILE]
int RunBatch(const std::vector<std::string>& args);
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace brannock
