#include "core/users/access_code_file.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/files/file.h"
#include "core/files/record_file.h"

namespace kestrova::users {
namespace {

namespace fs = std::filesystem;

// A salted hash takes about a hundred characters; anything much longer is
// not ours.
constexpr std::uint64_t kMaximumBytes = 1024;

Error NotOurs(const std::string& why) {
  return Error{Error::Kind::Damaged,
               "The access code file " + std::string(kAccessCodeFileName) + " in the data folder " + why + "."};
}

bool PrintableLine(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x21 && static_cast<unsigned char>(c) <= 0x7E;
  });
}

// What is at the file's place: nothing, a regular file, or something that
// is not ours (a folder, a link), which is never read, written or removed.
Result<bool> Exists(const fs::path& path) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(path, ec);
  if (ec && ec != std::errc::no_such_file_or_directory) {
    return Error{Error::Kind::Io, "Cannot look at " + path.filename().string() + ": " + ec.message()};
  }
  if (st.type() == fs::file_type::not_found) return false;
  if (st.type() != fs::file_type::regular) return NotOurs("is not a plain file");
  return true;
}

}  // namespace

Result<std::optional<std::string>> ReadAccessCodeFile(const fs::path& folder) {
  const fs::path path = folder / kAccessCodeFileName;
  const auto exists = Exists(path);
  if (!exists.ok()) return exists.error();
  if (!*exists) return std::optional<std::string>{};
  auto file = files::File::Open(path, files::OpenMode::Read);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return std::optional<std::string>{};
    return file.error();
  }
  auto text = ReadAccessCodeText(*file);
  if (!text.ok()) return text.error();
  return std::optional<std::string>{std::move(*text)};
}

Result<std::string> ReadAccessCodeText(const files::File& file) {
  std::string text(kMaximumBytes + 1, '\0');
  const auto got = file.ReadSome(0, text.data(), text.size());
  if (!got.ok()) return got.error();
  if (*got > kMaximumBytes) return NotOurs("is too long");
  text.resize(*got);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (!PrintableLine(text)) return NotOurs("is damaged");
  return text;
}

namespace {

// Writes the hash as the file's one line, through the temporary file; the
// caller holds the lock.
Status WriteAccessCodeFile(const fs::path& folder, const files::FolderLock& lock, std::string_view hash) {
  const fs::path path = folder / kAccessCodeFileName;
  const fs::path temp = folder / files::kTempFileName;
  auto out = files::File::Open(temp, files::OpenMode::Fresh);  // a leftover goes; we hold the lock
  if (!out.ok()) return out.error();
  const std::string line = std::string(hash) + "\r\n";
  Status done = out->WriteAt(0, line.data(), line.size());
  if (done.ok()) done = out->Sync();
  if (done.ok()) done = out->Close();
  if (done.ok()) done = lock.CheckStillOurs();
  if (done.ok()) done = files::ReplaceFile(temp, path);
  // The temporary file is ours to remove only while the lock is, and is
  // closed first: a share refuses to remove an open file.
  if (!done.ok()) {
    (void)out->Close();
    if (lock.CheckStillOurs().ok()) (void)files::RemoveFile(temp);
  }
  return done;
}

bool Digits(std::string_view text, std::uint64_t most, std::uint64_t& value) {
  if (text.empty() || text.size() > 12) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value >= 1 && value <= most;
}

bool OfCharacters(std::string_view text, std::size_t most, std::string_view allowed) {
  return !text.empty() && text.size() <= most &&
         std::all_of(text.begin(), text.end(), [&](char c) { return allowed.find(c) != std::string_view::npos; });
}

std::vector<std::string_view> Split(std::string_view text, char by) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find(by, at);
    parts.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
    if (end == std::string_view::npos) return parts;
    at = end + 1;
  }
}

}  // namespace

std::optional<AccessHashForm> AccessHashFormOf(std::string_view stored) {
  constexpr std::string_view kHex = "0123456789abcdefABCDEF";
  constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const auto parts = Split(stored, '$');
  std::uint64_t n = 0;
  if (parts.size() == 4 && parts[0] == "sha256") {
    if (!Digits(parts[1], kMostOldRounds, n)) return std::nullopt;
    if (!OfCharacters(parts[2], 256, kHex) || parts[2].size() % 2 != 0) return std::nullopt;
    if (!OfCharacters(parts[3], 256, kHex) || parts[3].size() % 2 != 0) return std::nullopt;
    return AccessHashForm::OldSha256;
  }
  if (parts.size() == 6 && parts[0].empty() && parts[1] == "argon2id" && parts[2] == "v=19") {
    const auto limits = Split(parts[3], ',');
    if (limits.size() != 3 || limits[0].substr(0, 2) != "m=" || limits[1].substr(0, 2) != "t=" || limits[2] != "p=1") {
      return std::nullopt;
    }
    if (!Digits(limits[0].substr(2), kMostArgonMemoryKiB, n) || n < 8) return std::nullopt;
    if (!Digits(limits[1].substr(2), kMostArgonPasses, n)) return std::nullopt;
    if (!OfCharacters(parts[4], 128, kBase64) || !OfCharacters(parts[5], 128, kBase64)) return std::nullopt;
    return AccessHashForm::Argon2id;
  }
  return std::nullopt;
}

Result<bool> CreateAccessCodeFile(const fs::path& folder, std::string_view hash,
                                  const files::LockOptions& lockOptions) {
  if (!PrintableLine(hash) || hash.size() > kMaximumBytes - 2) {
    return Error{Error::Kind::Invalid, "An access code hash must be one short printable line."};
  }
  auto lock = files::FolderLock::Acquire(folder, lockOptions);
  if (!lock.ok()) return lock.error();
  const auto exists = Exists(folder / kAccessCodeFileName);
  if (!exists.ok()) return exists.error();
  if (*exists) return false;
  Status written = WriteAccessCodeFile(folder, *lock, hash);
  if (!written.ok()) return written.error();
  return true;
}

Result<bool> ReplaceAccessCodeFile(const fs::path& folder, std::string_view old, std::string_view hash,
                                   const files::LockOptions& lockOptions) {
  if (!PrintableLine(hash) || hash.size() > kMaximumBytes - 2) {
    return Error{Error::Kind::Invalid, "An access code hash must be one short printable line."};
  }
  auto lock = files::FolderLock::Acquire(folder, lockOptions);
  if (!lock.ok()) return lock.error();
  auto stored = ReadAccessCodeFile(folder);
  if (!stored.ok()) return stored.error();
  if (!stored->has_value() || **stored != old) return false;
  Status written = WriteAccessCodeFile(folder, *lock, hash);
  if (!written.ok()) return written.error();
  return true;
}

Result<bool> RemoveAccessCodeFile(const fs::path& folder, const files::LockOptions& lockOptions) {
  auto lock = files::FolderLock::Acquire(folder, lockOptions);
  if (!lock.ok()) return lock.error();
  const fs::path path = folder / kAccessCodeFileName;
  const auto exists = Exists(path);
  if (!exists.ok()) return exists.error();
  if (!*exists) return false;
  Status ours = lock->CheckStillOurs();
  if (!ours.ok()) return ours.error();
  Status removed = files::RemoveFile(path);
  if (!removed.ok()) return removed.error();
  Status synced = files::SyncFolder(folder);
  if (!synced.ok()) return synced.error();
  return true;
}

}  // namespace kestrova::users
