#pragma once

// Steps the backup and the restore share; not for other callers.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/backup/backup.h"
#include "core/backup/staged_copy.h"

namespace kestrova::backup::detail {

inline bool IsLog(std::string_view name) { return name.size() > 4 && name.substr(name.size() - 4) == ".Log"; }

inline void Tell(const ProcedureOptions& options, Progress::Step step, std::string_view name = {},
                 std::uint64_t done = 0, std::uint64_t total = 0) {
  if (options.progress) options.progress(Progress{step, std::string(name), done, total});
}

// Whether the folder's files can be listed; the system's words when not.
Status CanList(const std::filesystem::path& folder);

// The carried files in the order their copies are put in place: the data
// file last, so that a failure before it leaves the reports as they were.
std::vector<std::string> InstallOrder(const std::vector<std::string>& names);

// Where a copy of `name` waits in `folder`.
inline std::filesystem::path CopyingPath(const std::filesystem::path& folder, std::string_view name) {
  return folder / (std::string(name) + std::string(kCopyingSuffix));
}

// Whether a file to be restored is one the program can use: logs are any
// text; the data file, the user list and the access code must be as the
// program writes them (Damaged when not).
Status CheckRestorable(std::string_view name, const files::File& file);

// An outcome that stops with the reason; the copies made so far are removed.
Outcome Stopped(Outcome::Kind kind, std::string fileName, std::string reason, std::vector<StagedCopy*> copies);

}  // namespace kestrova::backup::detail
