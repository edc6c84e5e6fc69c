#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace kestrova::platform {

// Tells a second start of the program on the same computer, for the same
// user, from the first.
class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  // True when this is the only running instance; it stays so until the
  // guard is destroyed.
  virtual bool TryAcquire() = 0;
};

// A lock file in the user's runtime folder. The lock records the process,
// so a lock left by a crashed instance is recognised as stale at once.
class LockFileInstanceGuard : public InstanceGuard {
 public:
  // An empty path uses the user's temporary folder.
  explicit LockFileInstanceGuard(QString path = {});
  bool TryAcquire() override;
  const QString& path() const { return path_; }

 private:
  QString path_;
  std::unique_ptr<QLockFile> lock_;
};

class FakeInstanceGuard : public InstanceGuard {
 public:
  bool TryAcquire() override { return !alreadyRunning; }
  bool alreadyRunning = false;
};

}  // namespace kestrova::platform
