#include <iostream>

#include "dovetree/batch.h"
#include "dovetree/hh_form1.h"
#include "platform/program_main.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "dovetree",
      [](const std::vector<std::string>& args) {
        return dovetree::RunDovetreeBatch(args, std::cout, std::cerr, &dovetree::PrintReportToPdf);
      },
      [](QApplication& app) { return dovetree::RunWindow(app); });
}
