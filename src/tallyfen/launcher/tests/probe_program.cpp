// A stand-in calculator for the launcher tests. Copied next to the launcher under a
// calculator's name, it behaves like that calculator at start: the first copy runs, a second
// copy gets the already-running warning and ends. Instead of windows it appends lines to the
// file named by LAUNCHER_PROBE_LOG; it runs until "<log>.stop" exists (at most 30 s).
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "common/host.h"
#include "platform/qt_host.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  QFile log(qEnvironmentVariable("LAUNCHER_PROBE_LOG"));
  if (!log.open(QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered)) return 1;
  platform::SingleInstanceGuard guard(name);
  if (!guard.IsFirst()) {
    const survey::Message m = survey::AlreadyRunningMessage();
    log.write(QStringLiteral("refused %1 %2 %3\n").arg(name, platform::ToQString(m.title), platform::ToQString(m.text)).toUtf8());
    return 0;
  }
  log.write(QStringLiteral("running %1 args=%2\n").arg(name).arg(argc - 1).toUtf8());
  for (int i = 0; i < 600 && !QFile::exists(log.fileName() + QStringLiteral(".stop")); ++i) QThread::msleep(50);
  log.write(QStringLiteral("ended %1\n").arg(name).toUtf8());
  return 0;
}
