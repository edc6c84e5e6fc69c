#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/files/folder_events.h"
#include "core/status.h"

namespace kestrova::files {

// Every workstation that writes to the shared data folder first creates this
// file, exclusively, and removes it when its write is done.
inline constexpr std::string_view kLockFileName = "Kestrova.Lock";

// The steps of taking, breaking, using and releasing the lock. Tests stop a
// writer at one of them to force an interleaving of several writers.
enum class LockStep {
  Created,       // the lock file is ours
  JudgedStale,   // the lock in the way was seen unchanged for the stale period
  MovingAside,   // it was read once more, still unchanged, and is about to be claimed and removed
  MovedAside,    // it has been removed
  BeforeCommit,  // about to check that the lock is still ours, before or after a write
  Checked,       // the check found the lock still ours: the write goes ahead now
  Releasing,     // about to remove our lock file
};

// A reading of this computer's monotonic clock.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

struct LockOptions {
  // A lock seen unchanged for this long, on this computer's own monotonic
  // clock, belongs to a workstation that crashed or stalled, and is broken.
  // No file time is ever compared with the local clock: on a share the two
  // come from different computers.
  std::chrono::milliseconds staleAfter{30000};
  // How long a write waits for the lock before it gives up: longer than the
  // stale period, so a crashed holder's lock is broken within the wait.
  std::chrono::milliseconds wait{35000};
  // A wait longer than this is shown (through `waiting`).
  std::chrono::milliseconds noticeAfter{500};
  // Empty: std::chrono::steady_clock.
  MonotonicClock now;
  // Told now and then while a write waits; false cancels the wait.
  std::function<bool(const LockWait&)> waiting;
  std::function<void(LockStep)> onStep;
  // Hard links make the lock appear complete and let a stale one be broken
  // without ever touching another; without them (some shares, or a test)
  // the lock is created and broken by plain create and rename. A share
  // without links is found out once per folder, however its link fails.
  bool useLinks = true;
};

// The folder's write lock, held from Acquire until Release or destruction.
//
// The lock file records the holder's computer, process, a random token and
// a heartbeat. A waiter breaks a lock only after seeing its contents stay
// the same for the stale period (or at once when its holder was a process
// of this computer that has ended), and removes only the lock it judged; a
// lock is never put back. A holder stalled past the stale period finds out
// that its lock was broken at its next commit step, where CheckStillOurs
// refuses, and gives up cleanly.
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  static Result<FolderLock> Acquire(const std::filesystem::path& folder, const LockOptions& options = {});

  // Whether this thread holds the lock of the folder now (a log line of a
  // share without append mode goes to the end of its file under it).
  static bool HeldHere(const std::filesystem::path& folder);

  bool held() const { return fd_ >= 0; }
  // Every step that commits a write (installing a rewrite, writing a
  // record) asks this first: ok while the folder's lock file is still this
  // one, Busy once another workstation has broken it.
  Status CheckStillOurs() const;
  // Beats the heart: long operations call it now and then so that waiters
  // see the lock is alive.
  void Refresh();
  void Release();

 private:
  std::chrono::steady_clock::time_point Now() const;

  int fd_ = -1;
  std::filesystem::path folder_;
  std::filesystem::path path_;
  std::string token_;
  std::string content_;
  std::uint64_t beat_ = 0;
  std::chrono::steady_clock::time_point lastBeat_{};
  LockOptions options_;
};

// The fields of a lock file's contents ("host", "pid", "token"...): empty
// when the key is missing. Contents of any length and bytes are read.
std::string LockField(std::string_view content, std::string_view key);

// The host name and process id of this process, as a lock records them.
std::string ThisHostName();
long ThisProcessId();

}  // namespace kestrova::files
