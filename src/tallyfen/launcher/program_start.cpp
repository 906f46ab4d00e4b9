#include "tallyfen/launcher/program_start.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace tallyfen {

StartOutcome StartProgramFrom(const QString& folder, const QString& name) {
  // A bare name only: the program must be the one beside the launcher, never one found
  // elsewhere on the search path.
  if (name.isEmpty() || name.contains(QLatin1Char('/')))
    return {false, QStringLiteral("程序名“%1”无效。").arg(name)};
  const QString path = QDir(folder).filePath(name);
  const QFileInfo info(path);
  if (!info.exists()) return {false, QStringLiteral("在文件夹 %1 中找不到程序文件。").arg(QDir::toNativeSeparators(folder))};
  if (!info.isFile() || !info.isExecutable())
    return {false, QStringLiteral("文件 %1 不是可执行的程序。").arg(QDir::toNativeSeparators(path))};
  QProcess process;
  process.setProgram(path);
  process.setArguments({});
  // startDetached reports a failed exec too, so a broken file is told apart from a started one.
  if (!process.startDetached()) return {false, QStringLiteral("系统无法启动文件 %1。").arg(QDir::toNativeSeparators(path))};
  return {true, {}};
}

}  // namespace tallyfen
