#include <iostream>

#include "platform/program_main.h"
#include "rillford/batch.h"
#include "rillford/forward_inverse_window.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "rillford",
      [](const std::vector<std::string>& args) { return rillford::RunBatch(args, std::cout, std::cerr); },
      rillford::RunWindow);
}
