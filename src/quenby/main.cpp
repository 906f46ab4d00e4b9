#include <iostream>

#include "platform/program_main.h"
#include "quenby/batch.h"
#include "quenby/vertical_curve_window.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "quenby",
      [](const std::vector<std::string>& args) {
        platform::PdfTextFileWriter pdf(quenby::ListingFont());
        return quenby::RunBatch(args, std::cout, std::cerr, survey::BatchServices::Printing(&pdf));
      },
      quenby::RunWindow);
}
