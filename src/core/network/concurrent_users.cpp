#include "core/network/concurrent_users.h"

#include <cstring>
#include <limits>

#include "core/files/folder_lock.h"
#include "core/text/currency.h"

namespace kestrova::network {
namespace {

namespace fs = std::filesystem;
const std::string kDescription = "the workstation counter " + std::string(kCounterFileName);

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

Result<std::int64_t> UpdateConcurrentUsers(const fs::path& folder, int mode, const files::RecordFileOptions& options) {
  if (mode != kWorkstationStarts && mode != kWorkstationEnds) {
    return Error{Error::Kind::Invalid, "Unknown counter mode " + std::to_string(mode) + "."};
  }
  auto lock = files::FolderLock::Acquire(folder, options.lock);
  if (!lock.ok()) return lock.error();
  // The counter is never made read-only: only its owner could make it
  // writable again, and every account sharing the folder must count.
  const fs::path path = folder / kCounterFileName;
  files::ClearOldReadOnlyMark(path);
  auto file = files::OpenWithRetry(path, files::OpenMode::CreateReadWrite, options, kDescription);
  if (!file.ok()) return file.error();
  auto stored = ReadStored(*file);
  if (!stored.ok()) return stored.error();
  std::int64_t count = *stored;
  constexpr std::int64_t kOne = text::kCurrencyScale;
  if (mode == kWorkstationEnds) {
    count = count >= kOne ? count - kOne : 0;
  } else if (count > std::numeric_limits<std::int64_t>::max() - kOne) {
    return Error{Error::Kind::Damaged, "The workstation counter " + std::string(kCounterFileName) +
                                           " holds an impossible count; it was left as it was."};
  } else {
    count += kOne;
  }
  char bytes[8];
  std::memcpy(bytes, &count, sizeof bytes);
  Status wrote = lock->CheckStillOurs();
  if (wrote.ok()) wrote = file->WriteAt(0, bytes, sizeof bytes);
  if (wrote.ok()) wrote = file->Sync();
  Status closed = file->Close();
  if (!wrote.ok()) return wrote.error();
  if (!closed.ok()) return closed.error();
  return count / kOne;
}

Result<std::int64_t> ReadConcurrentUsers(const fs::path& folder, const files::RecordFileOptions& options) {
  auto file = files::OpenWithRetry(folder / kCounterFileName, files::OpenMode::Read, options, kDescription);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return std::int64_t{0};
    return file.error();
  }
  auto stored = ReadStored(*file);
  if (!stored.ok()) return stored.error();
  return *stored / text::kCurrencyScale;
}

}  // namespace kestrova::network
