// One running copy per program and user: the first copy holds a lock file in the user's
// runtime folder; a second copy sees it and ends. A lock left by a crashed copy is stale
// (its process is gone) and is taken over.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

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

}  // namespace platform
