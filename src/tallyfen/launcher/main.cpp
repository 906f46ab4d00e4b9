// Tallyfen: the launcher menu of the suite. With options it runs without a window (see
// launcher_batch.h).
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <iostream>

#include "platform/paths.h"
#include "platform/program_main.h"
#include "platform/qt_host.h"
#include "tallyfen/launcher/about_box.h"
#include "tallyfen/launcher/launcher_batch.h"
#include "tallyfen/launcher/launcher_window.h"
#include "tallyfen/launcher/program_start.h"

#ifdef TALLYFEN_HAS_CURVE_WINDOW
#include "tallyfen/curve/curve_batch.h"
#endif

namespace {

// Calculators are started from the launcher's own folder.
class StarterBesideLauncher : public tallyfen::ProgramStarter {
 public:
  survey::Outcome Start(std::string_view name) override {
    return tallyfen::StartProgramFrom(platform::ProgramDir(), platform::ToQString(name));
  }
};

int RunBatch(const std::vector<std::string>& args) {
  StarterBesideLauncher starter;
  tallyfen::LauncherBatchServices services{starter};
#ifdef TALLYFEN_HAS_CURVE_WINDOW
  services.curveBatch = [](const std::vector<std::string>& curveArgs, std::ostream& out, std::ostream& err) {
    return tallyfen::RunCurveBatch(curveArgs, out, err);
  };
#endif
  return tallyfen::RunLauncherBatch(args, std::cout, std::cerr, services);
}

int RunWindow(QApplication& app) {
  app.setWindowIcon(QIcon(tallyfen::ProgramIcon()));
  tallyfen::LauncherWindow menu;
  menu.show();
  if (qEnvironmentVariable("TALLYFEN_SELF_CHECK") == QLatin1String("1")) {
    // Checked once the window is up, so the check sees what a user would see.
    int status = 1;
    QTimer::singleShot(0, &menu, [&] {
      const QStringList problems = menu.SelfCheckProblems();
      if (problems.isEmpty()) {
        std::printf("tallyfen: 主菜单已打开，数据齐全 (menu open, data found): %s\n",
                    tallyfen::LauncherWindow::PicturePath().toUtf8().constData());
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
