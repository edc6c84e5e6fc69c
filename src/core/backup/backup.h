#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/folder_events.h"
#include "core/files/folder_lock.h"
#include "core/status.h"
#include "core/time/ole_date.h"

// Backing the data folder up to a folder of the administrator's choice and
// restoring it from there.
//
// Every file goes to "<name>.copying" in the folder it is going to, is
// flushed, read back and compared (SHA-256) with the bytes read for it, and
// only then renamed over the old file, all of them at the end and the data
// file last. On any failure the copies are removed and every file is left as
// it was.
//
// A backup copies without holding the data folder's lock, then checks
// under the lock that nothing changed meanwhile (the change counter and
// each file's identity, size and times), and brings up to date what did:
// a file changed in place by rewriting only the blocks that differ, one
// replaced by copying it afresh. When that was quick, the next time it is
// done holding the lock, so a busy folder does not keep it from ever
// getting through. The
// logs, which other workstations append to without the lock, are copied up
// to the length they had under the lock. A restore holds the lock only for
// its renames.
namespace kestrova::backup {

// The files a backup carries, in the order they are copied: the data file,
// the user list, the five activity logs and the folder's access code.
inline constexpr std::array<std::string_view, 8> kCarriedFiles = {
    "Kestrova.Data",   "User.List",  "SignInOut.Log", "UserList.Log",
    "DataRecords.Log", "Search.Log", "User.Log",      "Kestrova.Access",
};
// A copy on its way: "<name>.copying" in the folder it is going to.
inline constexpr std::string_view kCopyingSuffix = ".copying";
// The activity logs a restore replaces are kept as
// "<name>.before-restore-yyyymmddhhnnss".
inline constexpr std::string_view kBeforeRestoreSuffix = ".before-restore-";

// Whether two paths name one folder, as the file system sees it: through
// links, "..", trailing slashes, and another mount of the same folder.
// An error when either cannot be looked at.
Result<bool> SameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

// Where a plan stops before anything is asked or copied.
enum class Stop {
  None,
  SameFolder,       // the chosen folder is the data folder
  FolderProblem,    // the chosen folder cannot be listed
  RequiredMissing,  // restore: the chosen folder has no data file
  Refused,          // restore: a file there is not one this program can use
};

// What the backup's questions depend on.
struct BackupPlan {
  Stop stop = Stop::None;
  std::string reason;  // for FolderProblem, the system's words
  // The chosen folder holds files, but no data file: asked about first.
  bool holdsOtherFiles = false;
  std::vector<std::string> toCopy;   // in the data folder, in the order they are copied
  std::vector<std::string> skipped;  // not in the data folder
};
BackupPlan PlanBackup(const std::filesystem::path& dataFolder, const std::filesystem::path& target);

// What the restore's questions depend on.
struct RestorePlan {
  Stop stop = Stop::None;
  std::string refusedFile;  // for Refused: the file
  std::string reason;       // for FolderProblem and Refused
  // The data folder has a data file, which the restore replaces: asked first.
  bool replacesDataFile = false;
  std::vector<std::string> toRestore;  // in the chosen folder, in the order they are copied
  std::vector<std::string> skipped;    // not in the chosen folder: left as they are
};
RestorePlan PlanRestore(const std::filesystem::path& dataFolder, const std::filesystem::path& source);

// How far a backup or restore has come, told before each file's copy (for
// the window's caption), after each block of it, and before the check and
// the renames.
struct Progress {
  enum class Step { Copying, Checking, Installing };
  Step step = Step::Copying;
  std::string fileName;  // Copying: the file
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;
};

struct ProcedureOptions {
  // The pause before each file of a backup, spent without the lock.
  std::chrono::milliseconds pace{1000};
  // How a pause is spent: the window lets its events run. Empty: sleeps.
  std::function<void(std::chrono::milliseconds)> wait;
  std::function<void(const Progress&)> progress;
  // How often a backup looks, under the lock, whether what it copied
  // changed meanwhile, before it gives up. A file that changed in place is
  // brought up to date by rewriting only what differs, so a try is cheap.
  int tries = 6;
  // When bringing the changed files up to date took at most this long
  // without the lock, the next time it is done holding the lock, so that
  // nobody changes them meanwhile and other workstations' saves wait about
  // that long; a pass under the lock that runs past `lockedPassBound`
  // gives the lock up, and the files are brought up to date without it.
  // Zero: never under the lock.
  std::chrono::milliseconds lockedPassUpTo{600};
  std::chrono::milliseconds lockedPassBound{900};
  // How long a rename a file server refuses (another client has the file
  // open) is tried again.
  std::chrono::milliseconds renamePatience{15000};
  files::LockOptions lock;
  // Names the logs a restore keeps; a restore needs it.
  const time::Clock* clock = nullptr;
  // Told, under the lock, before a restore puts its files in place and
  // when it went through (the data folder's own observer).
  files::WriteObserver* observer = nullptr;
  // Tests: told after each file is copied or brought up to date without
  // the lock, before the folder is checked (the round counts from 1).
  std::function<void(std::string_view fileName, int round)> copied;
};

struct KeptLog {
  std::string fileName;  // "SignInOut.Log"
  std::string keptAs;    // "SignInOut.Log.before-restore-20261206140509"
};

struct Outcome {
  enum class Kind {
    Done,             // every file copied, checked and in place
    SameFolder,       // nothing done: the chosen folder is the data folder
    FolderProblem,    // nothing done: the chosen folder cannot be listed
    RequiredMissing,  // nothing done: no data file to restore
    Refused,          // nothing changed: a file to restore is not one the program can use
    Failed,           // nothing changed: a copy, its check or a rename failed
    KeptChanging,     // nothing changed: the data folder changed at every try
    Mixed,            // a rename failed and what was already in place could not all be put back
  };
  Kind kind = Kind::Done;
  std::string fileName;                          // the file a failure concerns
  std::string reason;                            // what went wrong, in sentences
  std::vector<std::string> copied;               // Done: the files copied, in order
  std::vector<std::string> skipped;              // files missing at the source
  std::vector<KeptLog> keptLogs;                 // restore: the logs it replaced, kept
  int copiedAgain = 0;                           // backup: copies made again because the folder changed
  int tries = 0;                                 // backup: the looks under the lock it took
  bool lockedPass = false;                       // backup: the last changes were copied holding the lock
  std::chrono::milliseconds longestLockHeld{0};  // backup: by one look
  // Mixed: the files that are new, and where their old ones are.
  struct Left {
    std::string fileName;
    std::string keptAs;  // empty: it had none
  };
  std::vector<Left> notUndone;

  bool ok() const { return kind == Kind::Done; }
};

// Copies the data folder's files to `target`.
Outcome RunBackup(const std::filesystem::path& dataFolder, const std::filesystem::path& target,
                  const ProcedureOptions& options = {});
// Copies the files of `source` into the data folder, after checking them:
// the data file must be whole reports of the current layout (or a layout of
// an earlier release, converted at the next sign-in), the user list whole
// users with valid access levels, the access code one of ours. The logs it
// replaces are kept. Other workstations are told through the change counter.
Outcome RunRestore(const std::filesystem::path& dataFolder, const std::filesystem::path& source,
                   const ProcedureOptions& options = {});

}  // namespace kestrova::backup
