#include "platform/instance_guard.h"

#include <QDir>
#include <QStandardPaths>

namespace kestrova::platform {

LockFileInstanceGuard::LockFileInstanceGuard(QString path) : path_(std::move(path)) {
  if (path_.isEmpty()) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    path_ = QDir(folder).filePath(QStringLiteral("kestrova-%1.lock").arg(user));
  }
}

bool LockFileInstanceGuard::TryAcquire() {
  if (lock_ && lock_->isLocked()) return true;
  lock_ = std::make_unique<QLockFile>(path_);
  // Never stale by age: only a lock whose process is gone is taken over.
  lock_->setStaleLockTime(0);
  return lock_->tryLock(0);
}

}  // namespace kestrova::platform
