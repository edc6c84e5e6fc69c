#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/instance_guard.h"

namespace kestrova::platform {
namespace {

// Runs fn in a child process and returns its exit status.
template <class Fn>
int InChild(Fn fn) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(fn());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstanceGuard, ASecondStartIsDetectedWhileTheFirstRuns) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(QStringLiteral("kestrova.lock"));
  LockFileInstanceGuard first(path);
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_EQ(InChild([&] {
              LockFileInstanceGuard second(path);
              return second.TryAcquire() ? 0 : 7;
            }),
            7);
  EXPECT_TRUE(first.TryAcquire()) << "asking again keeps the lock";
}

TEST(InstanceGuard, AStartAfterTheFirstCrashedGoesAhead) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(QStringLiteral("kestrova.lock"));
  // The first instance takes the lock and dies without letting it go.
  ASSERT_EQ(InChild([&] {
              auto* leaked = new LockFileInstanceGuard(path);
              return leaked->TryAcquire() ? 0 : 1;
            }),
            0);
  ASSERT_TRUE(QFile::exists(path)) << "the crashed instance left its lock behind";
  LockFileInstanceGuard next(path);
  EXPECT_TRUE(next.TryAcquire());
}

TEST(InstanceGuard, TheLockGoesWithTheInstance) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(QStringLiteral("kestrova.lock"));
  {
    LockFileInstanceGuard first(path);
    ASSERT_TRUE(first.TryAcquire());
  }
  LockFileInstanceGuard second(path);
  EXPECT_TRUE(second.TryAcquire());
}

}  // namespace
}  // namespace kestrova::platform
