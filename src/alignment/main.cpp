// The alignment program. Batch mode only for now: without a command it prints its help.
#include <iostream>
#include <string>
#include <vector>

#include "alignment/batch.h"

int main(int argc, char** argv) {
  // The CSV goes out in large blocks; the C stdio buffer in between would only copy them.
  std::ios::sync_with_stdio(false);
  // Further commands and inputs register here.
  const survey::alignment::BatchProgram program = survey::alignment::StandardProgram();
  const std::vector<std::string> args(argv + 1, argv + argc);
  return program.Run(args, std::cout, std::cerr);
}
