#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "core/time/ole_date.h"

// What the shared data folder tells whoever runs the program: that a write
// is waiting for another workstation, and that a file was repaired or found
// damaged. The windows and the command-line tool each install their own
// way of showing these once, at start-up; the file code takes them from
// there unless a caller's options say otherwise.
namespace kestrova::files {

// A write waiting for another workstation's lock.
struct LockWait {
  std::string holder;  // the holder's computer name, as its lock file records it
  std::chrono::milliseconds waited{0};
  std::chrono::milliseconds limit{0};
  bool finished = false;  // the last call: the wait is over, either way
};

// Something about a file of the folder worth telling the user once.
struct FolderNotice {
  enum class Kind {
    Repaired,   // an interrupted write was cleaned up; nothing was lost
    Damaged,    // a file is damaged: read as far as it goes, not written
    Uncertain,  // a write went through, but another workstation may have written at the
                // same moment (this one was held up past the stale period)
  };
  Kind kind = Kind::Repaired;
  std::string fileName;
  std::string message;
};

struct FolderHooks {
  // Called now and then while a write waits; false cancels the wait.
  std::function<bool(const LockWait&)> waiting;
  std::function<void(const FolderNotice&)> notice;
  // The local time, which names the file an interrupted write's bytes are
  // moved to. Without it such a file is left damaged rather than repaired.
  const time::Clock* clock = nullptr;
  // A write to one of the folder's record files is about to start; called
  // with the folder once the writer holds its lock, before anything is
  // written, so what the folder looks like now is everyone else's doing.
  std::function<void(const std::filesystem::path& folder)> aboutToWrite;
  // A write to one of the folder's record files went through; called with
  // the folder while the writer still holds its lock, after the change
  // counter was bumped, so what the folder looks like now is this write's.
  std::function<void(const std::filesystem::path& folder)> committed;
};

// The hooks in force; empty until a program installs its own.
FolderHooks InstalledFolderHooks();
// Installs hooks and returns the ones they replace.
FolderHooks InstallFolderHooks(FolderHooks hooks);

}  // namespace kestrova::files
