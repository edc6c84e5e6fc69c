#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/files/folder_lock.h"
#include "support/temp_folder.h"

namespace kestrova::files {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

LockOptions Short() {
  LockOptions options;
  options.wait = std::chrono::milliseconds(150);
  options.staleAfter = std::chrono::milliseconds(30000);
  return options;
}

// A process id that is certainly not running: a child that has ended.
long DeadProcessId() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return pid;
}

TEST(FolderLock, RecordsItsHolderAndIsExclusive) {
  TempFolder folder;
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(lock.ok()) << lock.message();
  const std::string content = ReadFileBytes(folder / "Kestrova.Lock");
  EXPECT_NE(content.find("host=" + ThisHostName() + "\n"), std::string::npos);
  EXPECT_NE(content.find("pid=" + std::to_string(ThisProcessId()) + "\n"), std::string::npos);

  auto second = FolderLock::Acquire(folder.path(), Short());
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(second.error().kind, Error::Kind::Busy);
  lock->Release();
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
  EXPECT_TRUE(FolderLock::Acquire(folder.path(), Short()).ok());
}

TEST(FolderLock, ALockLeftByADeadProcessOnThisComputerIsBrokenAtOnce) {
  TempFolder folder;
  WriteFileBytes(folder / "Kestrova.Lock",
                 "host=" + ThisHostName() + "\npid=" + std::to_string(DeadProcessId()) + "\ntoken=1\n");
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_NE(ReadFileBytes(folder / "Kestrova.Lock").find("pid=" + std::to_string(ThisProcessId())),
            std::string::npos);
}

TEST(FolderLock, ALockFromAnotherComputerIsBrokenOnlyWhenItIsOld) {
  TempFolder folder;
  const fs::path path = folder / "Kestrova.Lock";
  WriteFileBytes(path, "host=elsewhere\npid=1\ntoken=7\n");
  EXPECT_FALSE(FolderLock::Acquire(folder.path(), Short()).ok()) << "a live lock is respected";

  // Make it a minute old.
  struct timespec times[2];
  ::clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= 60;
  times[1] = times[0];
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_EQ(ReadFileBytes(path).find("elsewhere"), std::string::npos);
}

TEST(FolderLock, AHolderNeverRemovesALockThatPassedToSomeoneElse) {
  TempFolder folder;
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(lock.ok());
  // Another workstation broke our lock as stale and holds its own now.
  WriteFileBytes(folder / "Kestrova.Lock", "host=elsewhere\npid=5\ntoken=9\n");
  lock->Release();
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Lock"), "host=elsewhere\npid=5\ntoken=9\n");
}

TEST(FolderLock, AFolderThatCannotHoldTheLockIsAnErrorNotAWait) {
  TempFolder folder;
  auto lock = FolderLock::Acquire(folder / "missing", Short());
  ASSERT_FALSE(lock.ok());
  EXPECT_EQ(lock.error().kind, Error::Kind::Io);
}

}  // namespace
}  // namespace kestrova::files
