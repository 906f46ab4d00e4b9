#include "platform/program_main.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "common/batch_cli.h"
#include "platform/paths.h"
#include "platform/program_setup.h"

namespace platform {

int RunProgram(int argc, char** argv, const char* programName, const BatchEntry& batch, const WindowEntry& window) {
  if (survey::WantsBatchMode(argc, argv)) {
    // Batch mode still uses Qt for files, databases and PDF output, never a screen: whatever
    // display platform the environment names is ignored, since a missing display would abort.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session there is no runtime folder; Qt would warn on stderr (which a
    // script reads for refusals) and then use this same folder anyway.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
      const QByteArray dir = QDir::tempPath().toUtf8() + "/runtime-" + QByteArray::number(static_cast<qulonglong>(getuid()));
      if (QDir().mkpath(QString::fromUtf8(dir))) {
        QFile::setPermissions(QString::fromUtf8(dir), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir);
      }
    }
    // Qt sees only the program name: its own options (--platform, -style, ...) are not batch
    // options, so the batch parser refuses them like any other unknown option.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    PrepareApplication(app, QString::fromUtf8(programName));
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return batch(args);
  }
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "%s: 没有可用的图形显示（DISPLAY 未设置），无法打开窗口。\n"
                 "%s: no display is available (DISPLAY is not set), so the window cannot open.\n"
                 "Run it with options to use the batch mode, for example: %s --help\n",
                 programName, programName, programName);
    return 1;
  }
  QApplication app(argc, argv);
  PrepareApplication(app, QString::fromUtf8(programName));
  return window(app);
}

}  // namespace platform
