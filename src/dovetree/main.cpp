#include <iostream>

#include "dovetree/batch.h"
#include "dovetree/deflection_window.h"
#include "platform/program_main.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "dovetree",
      [](const std::vector<std::string>& args) {
        platform::PdfTextFileWriter pdf(dovetree::DeflectionWindow::PrintFont());
        return dovetree::RunBatch(args, std::cout, std::cerr, survey::BatchServices::Printing(&pdf));
      },
      dovetree::RunWindow);
}
