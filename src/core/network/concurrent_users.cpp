#include "core/network/concurrent_users.h"

#include <sys/stat.h>

#include <cstring>

#include "core/files/folder_lock.h"
#include "core/text/currency.h"

namespace kestrova::network {
namespace {

namespace fs = std::filesystem;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
const std::string kDescription = "the workstation counter " + std::string(kCounterFileName);

void SetReadOnly(const fs::path& path, bool readOnly) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  const mode_t mode = readOnly ? st.st_mode & ~kWriteBits : st.st_mode | S_IWUSR | S_IWGRP;
  ::chmod(path.c_str(), mode & 07777);
}

// A short or missing record reads as 0.
Result<std::int64_t> ReadStored(const files::File& file) {
  char bytes[8] = {};
  auto got = file.ReadSome(0, bytes, sizeof bytes);
  if (!got.ok()) return got.error();
  if (*got < sizeof bytes) return std::int64_t{0};
  std::int64_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

}  // namespace

Result<std::int64_t> UpdateConcurrentUsers(const fs::path& folder, int mode,
                                           const files::RecordFileOptions& options) {
  if (mode != kWorkstationStarts && mode != kWorkstationEnds) {
    return Error{Error::Kind::Invalid, "Unknown counter mode " + std::to_string(mode) + "."};
  }
  auto lock = files::FolderLock::Acquire(folder, options.lock);
  if (!lock.ok()) return lock.error();
  const fs::path path = folder / kCounterFileName;
  SetReadOnly(path, false);
  auto file = files::OpenWithRetry(path, files::OpenMode::CreateReadWrite, options, kDescription);
  if (!file.ok()) return file.error();
  auto stored = ReadStored(*file);
  if (!stored.ok()) return stored.error();
  std::int64_t count = *stored;
  if (mode == kWorkstationEnds) {
    count = count - text::kCurrencyScale >= 0 ? count - text::kCurrencyScale : 0;
  } else {
    count += text::kCurrencyScale;
  }
  char bytes[8];
  std::memcpy(bytes, &count, sizeof bytes);
  Status wrote = file->WriteAt(0, bytes, sizeof bytes);
  if (wrote.ok()) wrote = file->Sync();
  Status closed = file->Close();
  if (count >= 0) SetReadOnly(path, true);
  if (!wrote.ok()) return wrote.error();
  if (!closed.ok()) return closed.error();
  return count / text::kCurrencyScale;
}

Result<std::int64_t> ReadConcurrentUsers(const fs::path& folder,
                                         const files::RecordFileOptions& options) {
  // Read-only access works while the file carries its read-only mark.
  auto file = files::OpenWithRetry(folder / kCounterFileName, files::OpenMode::Read, options,
                                   kDescription);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return std::int64_t{0};
    return file.error();
  }
  auto stored = ReadStored(*file);
  if (!stored.ok()) return stored.error();
  return *stored / text::kCurrencyScale;
}

}  // namespace kestrova::network
