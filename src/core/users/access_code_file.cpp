#include "core/users/access_code_file.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "core/files/file.h"
#include "core/files/record_file.h"

namespace kestrova::users {
namespace {

namespace fs = std::filesystem;

// A salted hash takes about a hundred characters; anything much longer is
// not ours.
constexpr std::uint64_t kMaximumBytes = 1024;

Error NotOurs(const std::string& why) {
  return Error{Error::Kind::Damaged, "The access code file " + std::string(kAccessCodeFileName) +
                                         " in the data folder " + why + "."};
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
  std::string text(kMaximumBytes + 1, '\0');
  const auto got = file->ReadSome(0, text.data(), text.size());
  if (!got.ok()) return got.error();
  if (*got > kMaximumBytes) return NotOurs("is too long");
  text.resize(*got);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (!PrintableLine(text)) return NotOurs("is damaged");
  return std::optional<std::string>{std::move(text)};
}

Result<bool> CreateAccessCodeFile(const fs::path& folder, std::string_view hash,
                                  const files::LockOptions& lockOptions) {
  if (!PrintableLine(hash) || hash.size() > kMaximumBytes - 2) {
    return Error{Error::Kind::Invalid, "An access code hash must be one short printable line."};
  }
  auto lock = files::FolderLock::Acquire(folder, lockOptions);
  if (!lock.ok()) return lock.error();
  const fs::path path = folder / kAccessCodeFileName;
  const auto exists = Exists(path);
  if (!exists.ok()) return exists.error();
  if (*exists) return false;

  const fs::path temp = folder / files::kTempFileName;
  const auto fail = [&](const Error& error) -> Result<bool> {
    // The temporary file is ours to remove only while the lock is.
    if (lock->CheckStillOurs().ok()) (void)files::RemoveFile(temp);
    return error;
  };
  auto out = files::File::Open(temp, files::OpenMode::Fresh);  // a leftover goes; we hold the lock
  if (!out.ok()) return fail(out.error());
  const std::string line = std::string(hash) + "\r\n";
  Status done = out->WriteAt(0, line.data(), line.size());
  if (done.ok()) done = out->Sync();
  if (done.ok()) done = out->Close();
  if (done.ok()) done = lock->CheckStillOurs();
  if (done.ok()) done = files::ReplaceFile(temp, path);
  if (!done.ok()) return fail(done.error());
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
