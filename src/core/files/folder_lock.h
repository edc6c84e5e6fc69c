#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/status.h"

namespace kestrova::files {

// Every workstation that writes to the shared data folder first creates this
// file, exclusively, and removes it when its write is done.
inline constexpr std::string_view kLockFileName = "Kestrova.Lock";

struct LockOptions {
  // How long to wait for another workstation's write to finish.
  std::chrono::milliseconds wait{10000};
  // A lock not refreshed for this long belongs to a workstation that
  // crashed or lost its connection, and is broken.
  std::chrono::milliseconds staleAfter{30000};
};

// The folder's write lock, held from Acquire until Release or destruction.
// The file records the holder's host name, process id and a token, so a
// holder never removes a lock that has passed to someone else, and a lock
// left by a process that died on this computer is recognised at once.
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  static Result<FolderLock> Acquire(const std::filesystem::path& folder,
                                    const LockOptions& options = {});

  bool held() const { return !path_.empty(); }
  // Marks the lock as alive; long operations call it now and then.
  void Refresh();
  void Release();

 private:
  std::filesystem::path path_;
  std::string content_;
};

// The host name and process id of this process, as a lock records them.
std::string ThisHostName();
long ThisProcessId();

}  // namespace kestrova::files
