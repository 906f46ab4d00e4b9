#include <iostream>

#include "platform/program_main.h"
#include "quenby/batch.h"
#include "quenby/window.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "quenby",
      [](const std::vector<std::string>& args) {
        return quenby::RunBatch(args, std::cout, std::cerr, &quenby::PrintTextToPdf);
      },
      [](QApplication& app) {
        quenby::SqxForm1Window window;
        window.show();
        return app.exec();
      });
}
