#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/folder_lock.h"
#include "core/status.h"

// "Kestrova.Access": the administrative access code of a data folder, kept
// beside the data it guards so that one code holds on every workstation.
// The file holds one line, the code's salted hash as the program writes it;
// the code itself is never stored.
namespace kestrova::users {

inline constexpr std::string_view kAccessCodeFileName = "Kestrova.Access";

// The stored hash, or nothing when the folder has no access code. A file
// that is not a short regular file of one printable line is refused.
Result<std::optional<std::string>> ReadAccessCodeFile(const std::filesystem::path& folder);

// Stores the hash unless the folder already has an access code, under the
// folder's lock and through a temporary file, so a reader sees the old
// state or the new one and two workstations choosing at once keep the
// first. True when this hash was stored.
Result<bool> CreateAccessCodeFile(const std::filesystem::path& folder, std::string_view hash,
                                  const files::LockOptions& lock = {});

// Removes the folder's access code, under the folder's lock. True when
// there was one.
Result<bool> RemoveAccessCodeFile(const std::filesystem::path& folder,
                                  const files::LockOptions& lock = {});

}  // namespace kestrova::users
