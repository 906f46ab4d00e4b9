#include "platform/single_instance.h"

#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace platform {

SingleInstanceGuard::SingleInstanceGuard(const QString& programName) {
  QString dir = qEnvironmentVariable("SURVEY_LOCK_DIR");
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  QDir().mkpath(dir);
  // The user id keeps users of a shared temporary folder apart.
  path_ = QDir(dir).filePath(QStringLiteral("%1-%2.lock").arg(programName).arg(static_cast<qulonglong>(getuid())));
  lock_ = std::make_unique<QLockFile>(path_);
  lock_->setStaleLockTime(0);  // only a dead owner makes a lock stale, never its age
}

bool SingleInstanceGuard::IsFirst() {
  if (!held_) held_ = lock_->tryLock(0);
  return held_;
}

}  // namespace platform
