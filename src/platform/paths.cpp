#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString ProgramDir() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

QString SharedDataDir() {
  const QString fromEnv = qEnvironmentVariable("SURVEY_SHARE_DIR");
  if (!fromEnv.isEmpty()) return fromEnv;
  return QDir::cleanPath(ProgramDir() + QStringLiteral("/../share/route-survey"));
}

QString SharedDataFile(const QString& relative) { return QDir(SharedDataDir()).filePath(relative); }

QString UserDataDir() {
  QString dir = qEnvironmentVariable("SURVEY_DATA_HOME");
  if (dir.isEmpty()) {
    dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.local/share");
    dir += QStringLiteral("/route-survey");
  }
  QDir().mkpath(dir);
  return dir;
}

bool HasDisplay() {
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
  // A platform named without its display would abort inside Qt instead of saying so.
  if (platform.startsWith(QLatin1String("xcb"))) return x11;
  if (platform.startsWith(QLatin1String("wayland"))) return wayland;
  return x11 || wayland || !platform.isEmpty();
}

}  // namespace platform
