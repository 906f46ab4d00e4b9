#include "tallyfen/launcher/program_start.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "platform/qt_host.h"

namespace tallyfen {

namespace {

survey::Outcome Failed(const QString& reason) { return survey::Outcome::Failed(platform::ToUtf8(reason)); }

}  // namespace

survey::Outcome StartProgramFrom(const QString& folder, const QString& name) {
  // A bare name only: the program must be the one beside the launcher, never one found
  // elsewhere on the search path.
  if (name.isEmpty() || name.contains(QLatin1Char('/'))) return Failed(QStringLiteral("程序名“%1”无效。").arg(name));
  const QString path = QDir(folder).filePath(name);
  const QFileInfo info(path);
  if (!info.exists()) return Failed(QStringLiteral("在文件夹 %1 中找不到程序文件。").arg(QDir::toNativeSeparators(folder)));
  if (!info.isFile() || !info.isExecutable())
    return Failed(QStringLiteral("文件 %1 不是可执行的程序。").arg(QDir::toNativeSeparators(path)));
  QProcess process;
  process.setProgram(path);
  process.setArguments({});
  // startDetached reports a failed exec too, so a broken file is told apart from a started one.
  if (!process.startDetached()) return Failed(QStringLiteral("系统无法启动文件 %1。").arg(QDir::toNativeSeparators(path)));
  return survey::Outcome::Done();
}

}  // namespace tallyfen
