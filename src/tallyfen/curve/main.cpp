// A stand-alone start of the curve coordinate window and its batch mode, until the launcher
// offers both as "tallyfen" and "tallyfen --curve".
#include <QApplication>

#include "platform/program_main.h"
#include "tallyfen/curve/curve_batch.h"
#include "tallyfen/curve/qx_form1.h"

int main(int argc, char** argv) {
  return platform::RunProgram(
      argc, argv, "tallyfen_curve",
      [](const std::vector<std::string>& args) {
        std::vector<std::string> rest = args;
        if (!rest.empty() && rest.front() == "--curve") rest.erase(rest.begin());
        return tallyfen::RunCurveBatch(rest);
      },
      [](QApplication& app) {
        tallyfen::QxForm1 window;
        window.show();
        return app.exec();
      });
}
