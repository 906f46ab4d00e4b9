#include <iostream>

#include "brannock/batch.h"
#include "brannock/curve_deflection_window.h"
#include "platform/program_main.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "brannock",
      [](const std::vector<std::string>& args) { return brannock::RunBatch(args, std::cout, std::cerr); },
      brannock::RunWindow);
}
