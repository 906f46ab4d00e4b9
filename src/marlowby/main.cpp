#include <QApplication>

#include "marlowby/batch.h"
#include "marlowby/straight_line_window.h"
#include "platform/program_main.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "marlowby", [](const std::vector<std::string>& args) { return marlowby::RunBatch(args); },
      marlowby::RunWindow);
}
