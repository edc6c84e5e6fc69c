#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file.h"
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
// The stored hash of an open access code file, refused as above.
Result<std::string> ReadAccessCodeText(const files::File& file);

// Stores the hash unless the folder already has an access code, under the
// folder's lock and through a temporary file, so a reader sees the old
// state or the new one and two workstations choosing at once keep the
// first. True when this hash was stored.
Result<bool> CreateAccessCodeFile(const std::filesystem::path& folder, std::string_view hash,
                                  const files::LockOptions& lock = {});

// Replaces the stored hash with another form of the same code (an older
// form upgraded once it was verified), under the folder's lock and through
// a temporary file, only while the file still holds `old`: a code changed
// meanwhile on another workstation stays. True when replaced.
Result<bool> ReplaceAccessCodeFile(const std::filesystem::path& folder, std::string_view old, std::string_view hash,
                                   const files::LockOptions& lock = {});

// The forms of a stored hash: Argon2id as libsodium's crypto_pwhash_str
// writes it ("$argon2id$v=19$m=65536,t=2,p=1$salt$hash"), and the iterated
// SHA-256 of older releases ("sha256$rounds$salt$digest", hexadecimal).
// The file lies in a shared folder: a planted hash whose limits are far
// beyond ours (memory, passes, rounds) would freeze the window or exhaust
// memory, so it is not a form the program reads.
enum class AccessHashForm { Argon2id, OldSha256 };
std::optional<AccessHashForm> AccessHashFormOf(std::string_view stored);
inline constexpr std::uint64_t kMostArgonMemoryKiB = 256 * 1024;  // ours: 64 MiB
inline constexpr std::uint64_t kMostArgonPasses = 10;             // ours: 2
inline constexpr std::uint64_t kMostOldRounds = 1000000;          // ours were 20,000

// Removes the folder's access code, under the folder's lock. True when
// there was one.
Result<bool> RemoveAccessCodeFile(const std::filesystem::path& folder, const files::LockOptions& lock = {});

}  // namespace kestrova::users
