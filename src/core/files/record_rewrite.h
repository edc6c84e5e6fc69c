#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "core/files/file.h"
#include "core/status.h"

// Rewriting a record file without some of its records: the survivors go to
// a temporary file, which replaces the original only once it is complete and
// on disk, so a failure never leaves half a file in the original's place.
namespace kestrova::files {

// Writes the first `count` records of `source` that `keep` accepts, in
// order, into a new file at `temp` (anything there is a leftover and goes
// first: the caller holds the lock), and flushes it.
// `onBlock` runs after each block (a long rewrite refreshes its lock there).
// Returns how many records were kept. On failure `temp` is left for the
// caller to remove, who knows whether the name is still its own.
Result<std::int32_t> WriteKeptRecords(const File& source, std::int32_t count, std::size_t recordSize,
                                      const std::filesystem::path& temp, const std::function<bool(const char*)>& keep,
                                      const std::function<void()>& onBlock = {});

// Puts a rewrite in place: with kept records, `temp` replaces `target` by
// rename; with none, both files are removed. Both files must be closed: a
// share refuses to replace or remove an open file (and a rename refused
// while another workstation reads the target is tried again for a moment).
Status InstallRewrite(const std::filesystem::path& temp, const std::filesystem::path& target, std::int32_t kept);

}  // namespace kestrova::files
