#include "platform/single_instance.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

#include "platform/qt_host.h"

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

std::unique_ptr<QWidget> OpenSingleWindow(SingleInstanceGuard& guard,
                                          const std::function<std::unique_ptr<QWidget>()>& open) {
  if (!guard.IsFirst()) {
    QtHost(nullptr).ShowMessage(survey::AlreadyRunningMessage());
    return nullptr;
  }
  return open();
}

int RunWindow(QApplication& app, const QString& programName, Instances instances,
              const std::function<std::unique_ptr<QWidget>()>& open) {
  SingleInstanceGuard guard(programName);
  const std::unique_ptr<QWidget> window = instances == Instances::OnePerUser ? OpenSingleWindow(guard, open) : open();
  if (!window) return 0;
  window->show();
  return app.exec();
}

}  // namespace platform
