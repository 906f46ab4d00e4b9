// A stand-in calculator for the launcher tests. Copied next to the launcher under a
// calculator's name, it appends "running NAME args=N" to the file named by LAUNCHER_PROBE_LOG
// instead of opening a window, runs until "<log>.stop" exists (at most 30 s), then appends
// "ended NAME".
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  QFile log(qEnvironmentVariable("LAUNCHER_PROBE_LOG"));
  if (!log.open(QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered)) return 1;
  log.write(QStringLiteral("running %1 args=%2\n").arg(name).arg(argc - 1).toUtf8());
  for (int i = 0; i < 600 && !QFile::exists(log.fileName() + QStringLiteral(".stop")); ++i) QThread::msleep(50);
  log.write(QStringLiteral("ended %1\n").arg(name).toUtf8());
  return 0;
}
