#include "brannock/batch.h"
#include "brannock/qxjs_form1.h"
#include "platform/program_main.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "brannock", [](const std::vector<std::string>& args) { return brannock::RunBatch(args); },
      [](QApplication& app) { return brannock::RunWindow(app); });
}
