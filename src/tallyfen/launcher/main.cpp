// Tallyfen: the launcher menu of the suite. With options it runs without a window: the curve
// coordinate computation (--curve ...), starting a calculator (--start NAME) or the help.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <iostream>

#include "common/batch_cli.h"
#include "platform/paths.h"
#include "platform/program_main.h"
#include "platform/qt_host.h"
#include "tallyfen/launcher/form1.h"
#include "tallyfen/launcher/guanyu.h"
#include "tallyfen/launcher/menu_model.h"
#include "tallyfen/launcher/program_start.h"

#ifdef TALLYFEN_HAS_CURVE_WINDOW
#include "tallyfen/curve/curve_batch.h"
#endif

namespace {

constexpr const char* kUsage =
    "用法 / usage:\n"
    "  tallyfen                  打开主菜单 (opens the menu window)\n"
    "  tallyfen --curve ...      曲线坐标计算，不开窗口 (curve stake coordinates; tallyfen --curve --help)\n"
    "  tallyfen --start NAME     启动计算程序 (starts rillford, quenby, brannock, dovetree or marlowby)\n"
    "  tallyfen --help           本说明 (this help)\n"
    "Every calculator has a batch mode of its own; run it with --help, e.g. rillford --help.\n"
    "Environment: TALLYFEN_SELF_CHECK=1 opens the menu, checks that its data and buttons are in\n"
    "place, prints the result and quits (status 0 when all is found).\n";

void PrintMessage(const survey::Message& m) { std::cerr << m.title << ": " << survey::CrLfToLf(m.text) << '\n'; }

int RunBatch(const std::vector<std::string>& args) {
  if (!args.empty() && args.front() == "--curve") {
#ifdef TALLYFEN_HAS_CURVE_WINDOW
    return tallyfen::RunCurveBatch(std::vector<std::string>(args.begin() + 1, args.end()));
#else
    PrintMessage(tallyfen::CurveWindowMissingMessage());
    return 2;
#endif
  }
  const survey::ParsedOptions options = survey::ParseOptions(args, {{"start", true, false}, {"help", false, false}});
  if (!options.error.empty()) {
    std::cerr << "tallyfen: " << options.error << '\n' << kUsage;
    return 2;
  }
  if (options.Has("help")) {
    std::cout << kUsage;
    return 0;
  }
  if (options.Has("start")) {
    const std::string name = options.Value("start");
    if (!tallyfen::IsMenuProgram(name)) {
      PrintMessage(tallyfen::ProgramStartFailedMessage(name, "不是本系统的计算程序 (not a program of the suite)."));
      return 2;
    }
    const tallyfen::StartOutcome outcome = tallyfen::StartProgramFrom(platform::ProgramDir(), QString::fromStdString(name));
    if (!outcome.started) {
      PrintMessage(tallyfen::ProgramStartFailedMessage(name, platform::ToUtf8(outcome.reason)));
      return 2;
    }
    return 0;
  }
  std::cerr << kUsage;
  return 2;
}

int RunWindow(QApplication& app) {
  app.setWindowIcon(QIcon(tallyfen::ProgramIcon()));
  tallyfen::Form1 menu;
  menu.show();
  if (qEnvironmentVariable("TALLYFEN_SELF_CHECK") == QLatin1String("1")) {
    // Checked once the window is up, so the check sees what a user would see.
    int status = 1;
    QTimer::singleShot(0, &menu, [&] {
      const QStringList problems = menu.SelfCheckProblems();
      if (problems.isEmpty()) {
        std::printf("tallyfen: 主菜单已打开，数据齐全 (menu open, data found): %s\n",
                    tallyfen::Form1::PicturePath().toUtf8().constData());
        status = 0;
      } else {
        for (const QString& p : problems) std::fprintf(stderr, "tallyfen: %s\n", p.toUtf8().constData());
      }
      std::fflush(stdout);
      app.exit(status);
    });
    app.exec();
    return status;
  }
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) { return platform::RunProgram(argc, argv, "tallyfen", RunBatch, RunWindow); }
