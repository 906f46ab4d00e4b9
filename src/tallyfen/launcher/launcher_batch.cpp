#include "tallyfen/launcher/launcher_batch.h"

#include "common/batch_cli.h"
#include "tallyfen/launcher/menu_model.h"

namespace tallyfen {

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

// A message box's title and text as one line of stderr.
void PrintMessage(std::ostream& err, const survey::Message& m) {
  err << m.title << ": " << survey::CrLfToLf(m.text) << '\n';
}

}  // namespace

int RunLauncherBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const LauncherBatchServices& services) {
  if (!args.empty() && args.front() == "--curve") {
    if (services.curveBatch) return services.curveBatch(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    PrintMessage(err, CurveWindowMissingMessage());
    return 2;
  }
  const survey::BatchProgram program{"tallyfen", kUsage, {{"start", true, false}, {"help", false, false}}};
  survey::ParsedOptions options;
  if (const auto status = survey::StartBatch(program, args, options, out, err)) return *status;
  if (options.Has("start")) {
    const std::string name = options.Value("start");
    if (!IsMenuProgram(name)) {
      PrintMessage(err, ProgramStartFailedMessage(name, "不是本系统的计算程序 (not a program of the suite)."));
      return 2;
    }
    const survey::Outcome outcome = services.starter.Start(name);
    if (!outcome.ok()) {
      PrintMessage(err, ProgramStartFailedMessage(name, outcome.error));
      return 2;
    }
    return 0;
  }
  err << kUsage;
  return 2;
}

}  // namespace tallyfen
