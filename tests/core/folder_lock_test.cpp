#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>

#include "core/files/folder_lock.h"
#include "support/processes.h"
#include "support/temp_folder.h"

namespace kestrova::files {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

LockOptions Short() {
  LockOptions options;
  options.wait = milliseconds(150);
  options.staleAfter = milliseconds(30000);
  options.waiting = nullptr;
  return options;
}

// A monotonic clock that moves only when the test moves it.
struct FakeClock {
  std::atomic<long long> ms{0};
  MonotonicClock Reading() {
    return [this] { return std::chrono::steady_clock::time_point(milliseconds(ms.load())); };
  }
};

// Steps of one thread held until the test lets them go, to force an
// interleaving of several writers.
class Gate {
 public:
  void Close(LockStep step) {
    std::lock_guard<std::mutex> guard(mutex_);
    open_[static_cast<int>(step)] = false;
  }
  void Open(LockStep step) {
    std::lock_guard<std::mutex> guard(mutex_);
    open_[static_cast<int>(step)] = true;
    changed_.notify_all();
  }
  // Called by the held thread at each step.
  void Reach(LockStep step) {
    std::unique_lock<std::mutex> guard(mutex_);
    reached_[static_cast<int>(step)] = true;
    changed_.notify_all();
    changed_.wait(guard, [&] { return open_[static_cast<int>(step)]; });
  }
  void AwaitReached(LockStep step) {
    std::unique_lock<std::mutex> guard(mutex_);
    changed_.wait(guard, [&] { return reached_[static_cast<int>(step)]; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_[8] = {true, true, true, true, true, true, true, true};
  bool reached_[8] = {};
};

// A lock file left behind by a process of this computer that has ended.
void LeaveLockOfDeadProcess(const fs::path& folder) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    auto lock = FolderLock::Acquire(folder, Short());
    if (!lock.ok()) ::_exit(1);
    ::_exit(0);  // no destructors: the lock file stays
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(fs::exists(folder / "Kestrova.Lock"));
}

std::string ForeignLock(const std::string& token) {
  std::string text =
      "Kestrova lock: a workstation is writing to this folder.\nhost=elsewhere\n"
      "machine=another\npid=1\ntoken=" +
      token + "\nbeat=00000000000000000000\n";
  text.resize(255, ' ');
  return text + "\n";
}

void SetModified(const fs::path& path, long secondsFromNow) {
  struct timespec times[2];
  ::clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec += secondsFromNow;
  times[1] = times[0];
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(FolderLock, RecordsItsHolderIsExclusiveAndKnowsItIsStillHeld) {
  TempFolder folder;
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(lock.ok()) << lock.message();
  const std::string content = ReadFileBytes(folder / "Kestrova.Lock");
  EXPECT_NE(content.find("host=" + ThisHostName() + "\n"), std::string::npos);
  EXPECT_NE(content.find("pid=" + std::to_string(ThisProcessId()) + "\n"), std::string::npos);
  EXPECT_TRUE(lock->CheckStillOurs().ok());

  auto second = FolderLock::Acquire(folder.path(), Short());
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(second.error().kind, Error::Kind::Busy);
  lock->Release();
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
  EXPECT_TRUE(FolderLock::Acquire(folder.path(), Short()).ok());
}

TEST(FolderLock, ALockLeftByADeadProcessOnThisComputerIsBrokenAtOnce) {
  TempFolder folder;
  LeaveLockOfDeadProcess(folder.path());
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_NE(ReadFileBytes(folder / "Kestrova.Lock").find("pid=" + std::to_string(ThisProcessId())), std::string::npos);
}

// Staleness is watched on this computer's own monotonic clock: a lock is
// broken once it has stayed the same for the stale period, whatever its
// file time says (on a share that comes from another computer's clock).
TEST(FolderLock, AForeignLockIsBrokenOnlyAfterStayingUnchangedForTheStalePeriod) {
  for (const long skew : {-3600L, 0L, 3600L}) {
    TempFolder folder;
    const fs::path path = folder / "Kestrova.Lock";
    WriteFileBytes(path, ForeignLock("7"));
    SetModified(path, skew);
    FakeClock clock;
    LockOptions options = Short();
    options.now = clock.Reading();
    options.staleAfter = milliseconds(30000);
    options.wait = milliseconds(35000);
    options.noticeAfter = milliseconds(0);
    int calls = 0;
    bool seenBeforeStale = false;
    options.waiting = [&](const LockWait& w) {
      if (w.finished) return true;
      ++calls;
      if (calls == 3) {
        clock.ms = 29999;  // not yet
      } else if (calls == 6) {
        seenBeforeStale = ReadFileBytes(path) == ForeignLock("7");
        EXPECT_EQ(w.holder, "elsewhere");
        clock.ms = 30000;
      }
      return calls < 100;
    };
    auto lock = FolderLock::Acquire(folder.path(), options);
    ASSERT_TRUE(lock.ok()) << lock.message();
    EXPECT_TRUE(seenBeforeStale) << "the lock stood until it had been unchanged for 30 seconds";
    EXPECT_EQ(calls, 6);
    EXPECT_EQ(ReadFileBytes(path).find("elsewhere"), std::string::npos);
  }
}

TEST(FolderLock, ALockThatKeepsChangingIsNeverBrokenAndTheWaitIsBounded) {
  TempFolder folder;
  const fs::path path = folder / "Kestrova.Lock";
  WriteFileBytes(path, ForeignLock("0"));
  FakeClock clock;
  LockOptions options = Short();
  options.now = clock.Reading();
  options.staleAfter = milliseconds(30000);
  options.wait = milliseconds(35000);
  options.noticeAfter = milliseconds(0);
  int beats = 0;
  bool finished = false;
  options.waiting = [&](const LockWait& w) {
    if (w.finished) {
      finished = true;
      return true;
    }
    // The holder beats every 10 seconds, as a long rewrite does.
    clock.ms += 2500;
    if (clock.ms % 10000 == 0) WriteFileBytes(path, ForeignLock(std::to_string(++beats)));
    return true;
  };
  auto lock = FolderLock::Acquire(folder.path(), options);
  ASSERT_FALSE(lock.ok());
  EXPECT_EQ(lock.error().kind, Error::Kind::Busy);
  EXPECT_NE(lock.message().find("elsewhere"), std::string::npos) << lock.message();
  EXPECT_EQ(clock.ms, 35000) << "gave up at the end of the wait, not before";
  EXPECT_TRUE(finished) << "the waiting note is told the wait is over";
  EXPECT_NE(ReadFileBytes(path).find("elsewhere"), std::string::npos);
}

TEST(FolderLock, AWaitCanBeCancelled) {
  TempFolder folder;
  WriteFileBytes(folder / "Kestrova.Lock", ForeignLock("1"));
  LockOptions options = Short();
  options.wait = milliseconds(35000);
  options.noticeAfter = milliseconds(0);
  options.waiting = [](const LockWait& w) { return w.finished; };
  auto lock = FolderLock::Acquire(folder.path(), options);
  ASSERT_FALSE(lock.ok());
  EXPECT_NE(lock.message().find("stopped waiting"), std::string::npos);
}

TEST(FolderLock, AHolderNeverRemovesALockThatPassedToSomeoneElse) {
  TempFolder folder;
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(lock.ok());
  // Another workstation broke our lock as stale and holds its own now.
  ASSERT_EQ(::unlink((folder / "Kestrova.Lock").c_str()), 0);
  WriteFileBytes(folder / "Kestrova.Lock", ForeignLock("9"));
  Status ours = lock->CheckStillOurs();
  EXPECT_FALSE(ours.ok());
  EXPECT_EQ(ours.error().kind, Error::Kind::Busy);
  lock->Release();
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Lock"), ForeignLock("9"));
}

TEST(FolderLock, ALockNameHeldByAnythingButAFileIsRefusedAtOnce) {
  TempFolder folder;
  auto missing = FolderLock::Acquire(folder / "missing", Short());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().kind, Error::Kind::Io);

  fs::create_directory(folder / "Kestrova.Lock");
  LockOptions options = Short();
  options.wait = milliseconds(35000);
  auto lock = FolderLock::Acquire(folder.path(), options);
  ASSERT_FALSE(lock.ok());
  EXPECT_EQ(lock.error().kind, Error::Kind::Damaged);
  EXPECT_NE(lock.message().find("a folder"), std::string::npos) << lock.message();
}

TEST(FolderLock, AHugeLockFileIsReadOnlyInPart) {
  TempFolder folder;
  {
    std::ofstream out(folder / "Kestrova.Lock", std::ios::binary);
    out.seekp((1ll << 40) - 1);  // a terabyte, sparse
    out.put('x');
  }
  auto lock = FolderLock::Acquire(folder.path(), Short());
  ASSERT_FALSE(lock.ok());
  EXPECT_EQ(lock.error().kind, Error::Kind::Busy);
}

// Two waiters judge the same dead lock stale. The first breaks it and takes
// the lock; the second, held back just before it claims the stale lock,
// then finds a live lock under the name and leaves it: it waits instead.
TEST(FolderLock, ABreakerHeldBackBeforeItsClaimNeverTakesALiveLock) {
  TempFolder folder;
  LeaveLockOfDeadProcess(folder.path());
  Gate late;
  late.Close(LockStep::MovingAside);
  std::atomic<int> removed{0};
  LockOptions lateOptions = Short();
  lateOptions.wait = milliseconds(10000);
  lateOptions.onStep = [&](LockStep s) {
    if (s == LockStep::MovedAside) ++removed;
    late.Reach(s);
  };
  std::optional<Result<FolderLock>> second;
  std::thread waiter([&] { second.emplace(FolderLock::Acquire(folder.path(), lateOptions)); });
  late.AwaitReached(LockStep::MovingAside);

  auto first = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(first.ok()) << first.message();
  late.Open(LockStep::MovingAside);
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(first->CheckStillOurs().ok()) << "the live lock was taken";
    std::this_thread::sleep_for(milliseconds(2));
  }
  first->Release();
  waiter.join();
  ASSERT_TRUE(second->ok()) << second->message();
  EXPECT_EQ(removed, 0);
  (*second)->Release();
  EXPECT_TRUE(fs::is_empty(folder.path())) << "no lock and no claim is left";
}

// Where the share has no hard links the stale lock is renamed aside. A
// waiter held back just before its rename, while another broke the same
// lock and took its own, finds the lock it judged gone: it leaves the new
// holder alone and waits its turn.
TEST(FolderLock, WithoutLinksALateBreakerLeavesTheNewHolderAlone) {
  TempFolder folder;
  LeaveLockOfDeadProcess(folder.path());
  Gate late;
  late.Close(LockStep::MovingAside);
  LockOptions lateOptions = Short();
  lateOptions.useLinks = false;
  lateOptions.wait = milliseconds(10000);
  lateOptions.onStep = [&](LockStep s) { late.Reach(s); };
  std::optional<Result<FolderLock>> second;
  std::atomic<bool> lateDone{false};
  std::thread breaker([&] {
    second.emplace(FolderLock::Acquire(folder.path(), lateOptions));
    lateDone = true;
  });
  late.AwaitReached(LockStep::MovingAside);

  LockOptions firstOptions = Short();
  firstOptions.useLinks = false;
  firstOptions.wait = milliseconds(10000);
  auto first = FolderLock::Acquire(folder.path(), firstOptions);
  ASSERT_TRUE(first.ok()) << first.message();

  late.Open(LockStep::MovingAside);
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_TRUE(first->CheckStillOurs().ok()) << "the late breaker took over a live lock";
  EXPECT_FALSE(lateDone.load()) << "the late breaker waits for the new holder";
  first->Release();
  breaker.join();
  ASSERT_TRUE(second->ok()) << second->message();
  EXPECT_TRUE((*second)->CheckStillOurs().ok());
  (*second)->Release();
  EXPECT_TRUE(fs::is_empty(folder.path())) << "no lock, guard or file moved aside is left";
}

// A claim left by a waiter that died while breaking a lock does not keep
// the lock from being broken.
TEST(FolderLock, AClaimLeftByADeadWaiterIsClearedAfterAMoment) {
  TempFolder folder;
  LeaveLockOfDeadProcess(folder.path());
  const std::string dead = ReadFileBytes(folder / "Kestrova.Lock");
  // The claim a waiter makes, as a hard link named after the lock's contents.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : dead) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
  const fs::path claim = folder / (std::string("Kestrova.Lock.broken-") + name);
  ASSERT_EQ(::link((folder / "Kestrova.Lock").c_str(), claim.c_str()), 0);
  FakeClock clock;
  LockOptions options = Short();
  options.now = clock.Reading();
  options.wait = milliseconds(35000);
  options.noticeAfter = milliseconds(0);
  options.waiting = [&](const LockWait&) {
    clock.ms += 500;
    return true;
  };
  auto lock = FolderLock::Acquire(folder.path(), options);
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_GE(clock.ms, 2000) << "the claim was respected for a moment";
  EXPECT_FALSE(fs::exists(claim));
}

// A lock file left empty by a creator killed between creating and writing
// it (a share without links) stands for a moment only, not the stale
// period.
TEST(FolderLock, AnEmptyLockLeftByAKilledCreatorStandsForAMomentOnly) {
  TempFolder folder;
  WriteFileBytes(folder / "Kestrova.Lock", "");
  FakeClock clock;
  LockOptions options = Short();
  options.now = clock.Reading();
  options.wait = milliseconds(35000);
  options.noticeAfter = milliseconds(0);
  options.waiting = [&](const LockWait&) {
    clock.ms += 500;
    return true;
  };
  auto lock = FolderLock::Acquire(folder.path(), options);
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_GE(clock.ms, 2000);
  EXPECT_LT(clock.ms, 5000) << "not the whole stale period";
}

// A breaker that judged a lock stale and then sees it replaced before its
// rename leaves the new lock alone and keeps waiting.
TEST(FolderLock, ABreakerWhoseStaleLockWasReplacedMeanwhileLeavesTheNewOneAlone) {
  TempFolder folder;
  LeaveLockOfDeadProcess(folder.path());
  Gate late;
  late.Close(LockStep::JudgedStale);
  LockOptions lateOptions = Short();
  lateOptions.wait = milliseconds(10000);
  std::atomic<int> breaks{0};
  lateOptions.onStep = [&](LockStep s) {
    if (s == LockStep::MovedAside) ++breaks;
    late.Reach(s);
  };
  std::optional<Result<FolderLock>> second;
  std::thread waiter([&] { second.emplace(FolderLock::Acquire(folder.path(), lateOptions)); });
  late.AwaitReached(LockStep::JudgedStale);

  auto first = FolderLock::Acquire(folder.path(), Short());
  ASSERT_TRUE(first.ok()) << first.message();
  late.Open(LockStep::JudgedStale);
  // The waiter reads the lock again, finds it is not the one it judged,
  // and waits for it instead of breaking it.
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(first->CheckStillOurs().ok());
    std::this_thread::sleep_for(milliseconds(2));
  }
  first->Release();
  waiter.join();
  ASSERT_TRUE(second->ok()) << second->message();
  EXPECT_EQ(breaks, 0) << "the live lock was never moved aside";
}

// A holder stalled longer than the stale period loses the lock; its next
// commit step is refused, and its release leaves the new holder's lock.
TEST(FolderLock, AStalledHolderFindsItsLockGoneAtItsNextCommit) {
  TempFolder folder;
  FakeClock clock;
  LockOptions stalled = Short();
  auto holder = FolderLock::Acquire(folder.path(), stalled);
  ASSERT_TRUE(holder.ok());

  LockOptions options = Short();
  options.now = clock.Reading();
  options.wait = milliseconds(35000);
  options.noticeAfter = milliseconds(0);
  options.waiting = [&](const LockWait&) {
    clock.ms += 5000;
    return true;
  };
  auto other = FolderLock::Acquire(folder.path(), options);
  ASSERT_TRUE(other.ok()) << other.message();
  EXPECT_FALSE(holder->CheckStillOurs().ok());
  holder->Release();
  EXPECT_TRUE(other->CheckStillOurs().ok());
}

// Many processes race to break a dead holder's lock, again and again. In
// its critical section each makes an exclusive marker and a read-modify-
// write of a counter: a second holder would find the marker or lose a count.
TEST(FolderLock, ManyProcessesRacingToBreakADeadHoldersLockTakeItOneAtATime) {
  constexpr int kRounds = 15;
  constexpr int kProcesses = 6;
  for (int round = 0; round < kRounds; ++round) {
    TempFolder folder;
    const bool foreign = round % 2 == 1;
    if (foreign) {
      WriteFileBytes(folder / "Kestrova.Lock", ForeignLock("dead"));
    } else {
      LeaveLockOfDeadProcess(folder.path());
    }
    WriteFileBytes(folder / "count", "0");
    const bool allOk = testing::RunInChildren(kProcesses, [&](int) {
      LockOptions options = Short();
      options.staleAfter = milliseconds(100);
      options.wait = milliseconds(20000);
      auto lock = FolderLock::Acquire(folder.path(), options);
      if (!lock.ok()) return 1;
      if (!lock->CheckStillOurs().ok()) return 2;
      const int marker = ::open((folder / "inside").c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
      if (marker < 0) return 3;
      const int count = std::stoi(ReadFileBytes(folder / "count"));
      std::this_thread::sleep_for(milliseconds(1));
      WriteFileBytes(folder / "count", std::to_string(count + 1));
      ::close(marker);
      ::unlink((folder / "inside").c_str());
      if (!lock->CheckStillOurs().ok()) return 4;
      lock->Release();
      return 0;
    });
    ASSERT_TRUE(allOk) << "round " << round;
    EXPECT_EQ(ReadFileBytes(folder / "count"), std::to_string(kProcesses)) << "round " << round;
    EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
  }
}

}  // namespace
}  // namespace kestrova::files
