// One running copy per program and user: the first copy holds a lock file in the user's
// runtime folder; a second copy sees it and ends. A lock left by a crashed copy is stale
// (its process is gone) and is taken over.
#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

class QApplication;
class QWidget;

namespace platform {

class SingleInstanceGuard {
 public:
  explicit SingleInstanceGuard(const QString& programName);
  // True when this process is the only running copy (and now holds the lock).
  bool IsFirst();
  QString LockPath() const { return path_; }

 private:
  QString path_;
  std::unique_ptr<QLockFile> lock_;
  bool held_ = false;
};

// The start of a window that runs once per user: the window `open` makes when this is the only
// running copy, otherwise nullptr once the already-running warning has been shown through the
// Host. The guard must outlive the window.
std::unique_ptr<QWidget> OpenSingleWindow(SingleInstanceGuard& guard,
                                          const std::function<std::unique_ptr<QWidget>()>& open);

// How many copies of a program may run at once.
enum class Instances {
  OnePerUser,  // a second copy warns (AlreadyRunningMessage) and ends with status 0
  Any,
};

// The window mode of every calculator: the window `open` makes, shown until the event loop
// ends, behind the single-instance guard when the program runs once per user.
int RunWindow(QApplication& app, const QString& programName, Instances instances,
              const std::function<std::unique_ptr<QWidget>()>& open);

}  // namespace platform
