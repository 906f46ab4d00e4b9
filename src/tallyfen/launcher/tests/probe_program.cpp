// A stand-in calculator for the launcher tests. Copied next to the launcher under a
// calculator's name, it behaves like that calculator at start: the first copy runs, a second
// copy gets the already-running warning and ends. Instead of windows it appends lines to the
// file named by LAUNCHER_PROBE_LOG; it runs until "<log>.stop" exists (at most 30 s).
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <chrono>

#include "common/host.h"
#include "platform/qt_host.h"
#include "platform/single_instance.h"

namespace {

void Log(const QString& path, const QString& line) {
  QFile f(path);
  if (f.open(QIODevice::Append | QIODevice::Text)) f.write((line + QLatin1Char('\n')).toUtf8());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  const QString log = qEnvironmentVariable("LAUNCHER_PROBE_LOG");
  if (log.isEmpty()) return 1;
  platform::SingleInstanceGuard guard(name);
  if (!guard.IsFirst()) {
    const survey::Message m = survey::AlreadyRunningMessage();
    Log(log, QStringLiteral("refused %1 %2 %3").arg(name, platform::ToQString(m.title), platform::ToQString(m.text)));
    return 0;
  }
  Log(log, QStringLiteral("running %1 args=%2").arg(name).arg(argc - 1));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!QFile::exists(log + QStringLiteral(".stop")) && std::chrono::steady_clock::now() < deadline)
    QThread::msleep(50);
  Log(log, QStringLiteral("ended %1").arg(name));
  return 0;
}
