#include "core/reports/report_index.h"

#include <cerrno>
#include <cstring>

#include "core/files/file.h"
#include "core/files/file_system.h"
#include "core/files/folder_lock.h"
#include "core/reports/data_file.h"
#include "core/reports/report_heads.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;

// The header: what the index describes, a checksum of its entries and one
// of itself. 64 bytes, little-endian, then the entries.
constexpr char kMagic[8] = {'K', 'e', 's', 't', 'I', 'd', 'x', '1'};
constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kChecked = 56;  // the header's checksum covers the bytes before it

template <class T>
void Put(char* at, T value) {
  std::memcpy(at, &value, sizeof value);
}
template <class T>
T Get(const char* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

// Not for an adversary: for a file cut short, half written or with bytes
// changed by accident.
std::uint64_t Hash(std::uint64_t seed, const char* bytes, std::size_t size) {
  std::uint64_t h = Mix(seed + 0x9e3779b97f4a7c15ULL);
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) h = Mix(h ^ Get<std::uint64_t>(bytes + i)) + i;
  std::uint64_t last = 0;
  std::memcpy(&last, bytes + i, size - i);
  return Mix(h ^ last ^ size);
}

std::uint64_t EntryCount(const network::DataStamp& stamp) { return stamp.size / kReportRecordSize; }

void EncodeHeader(const network::DataStamp& stamp, const std::vector<char>& entries, char* out) {
  std::memset(out, 0, kHeaderSize);
  std::memcpy(out, kMagic, sizeof kMagic);
  Put<std::uint32_t>(out + 8, static_cast<std::uint32_t>(kHeadEntrySize));
  Put<std::uint32_t>(out + 12, static_cast<std::uint32_t>(entries.size() / kHeadEntrySize));
  Put<std::uint64_t>(out + 16, stamp.changes);
  Put<std::uint64_t>(out + 24, stamp.size);
  Put<std::int64_t>(out + 32, stamp.modified);
  Put<std::uint64_t>(out + 40, Hash(1, entries.data(), entries.size()));
  Put<std::uint64_t>(out + kChecked, Hash(2, out, kChecked));
}

// Whether a header (whole and unharmed) describes the folder as `stamp`
// says; its entries' checksum when it does.
std::optional<std::uint64_t> Describes(const char* in, const network::DataStamp& stamp) {
  if (std::memcmp(in, kMagic, sizeof kMagic) != 0) return std::nullopt;
  if (Get<std::uint64_t>(in + kChecked) != Hash(2, in, kChecked)) return std::nullopt;
  if (Get<std::uint32_t>(in + 8) != kHeadEntrySize || Get<std::uint32_t>(in + 12) != EntryCount(stamp) ||
      Get<std::uint64_t>(in + 16) != stamp.changes || Get<std::uint64_t>(in + 24) != stamp.size ||
      Get<std::int64_t>(in + 32) != stamp.modified) {
    return std::nullopt;
  }
  return Get<std::uint64_t>(in + 40);
}

}  // namespace

std::optional<std::vector<char>> ReadIndex(const fs::path& folder, const network::DataStamp& stamp) {
  if (!stamp.dataFile || EntryCount(stamp) > 0xffffffffULL) return std::nullopt;
  // The index's own time, looked at before it is opened: an index put in
  // its place meanwhile is younger still, so this errs on the safe side.
  auto seen = files::StampOf(folder / kIndexFileName);
  if (!seen.ok() || !*seen) return std::nullopt;
  if ((*seen)->modified - stamp.modified <= kIndexMargin.count()) return std::nullopt;
  const std::uint64_t size = kHeaderSize + EntryCount(stamp) * kHeadEntrySize;
  if ((*seen)->size != size) return std::nullopt;
  // A share keeps file sizes and dates for a while (sshfs: 20 seconds): an
  // append by a program that keeps no counter would not show in the stamp
  // yet, but does in the size asked of the file server itself.
  auto data = files::File::Open(folder / kDataFileName, files::OpenMode::Read);
  if (!data.ok()) return std::nullopt;
  auto dataSize = data->Size();
  (void)data->Close();
  if (!dataSize.ok() || *dataSize != stamp.size) return std::nullopt;
  auto file = files::File::Open(folder / kIndexFileName, files::OpenMode::Read);
  if (!file.ok()) return std::nullopt;
  std::vector<char> bytes(size);
  const bool read = file->ReadAt(0, bytes.data(), bytes.size()).ok();
  (void)file->Close();
  if (!read) return std::nullopt;
  const auto sum = Describes(bytes.data(), stamp);
  if (!sum || Hash(1, bytes.data() + kHeaderSize, size - kHeaderSize) != *sum) return std::nullopt;
  bytes.erase(bytes.begin(), bytes.begin() + kHeaderSize);
  return bytes;
}

bool OfferIndex(const fs::path& folder, const std::vector<char>& entries, const network::DataStamp& stamp,
                const ReadMoment& readAt, const files::LockOptions& lock) {
  using std::chrono::duration_cast;
  using std::chrono::nanoseconds;
  if (!stamp.dataFile || entries.size() != EntryCount(stamp) * kHeadEntrySize || EntryCount(stamp) == 0 ||
      EntryCount(stamp) > 0xffffffffULL) {
    return false;
  }
  // By this computer's clock the data file had only just changed: most
  // likely the file server agrees, and the lock is not worth taking.
  const auto wall = duration_cast<nanoseconds>(readAt.wall.time_since_epoch()).count();
  if (wall - stamp.modified <= kIndexMargin.count()) return false;
  if (files::FolderLock::HeldHere(folder)) return false;

  files::LockOptions once = lock;
  once.wait = std::chrono::milliseconds(0);  // someone is writing: a later reader offers it
  once.waiting = nullptr;
  once.onStep = nullptr;
  auto held = files::FolderLock::Acquire(folder, once);
  if (!held.ok()) return false;

  // The lock file was dated by the file server just now: going back from
  // it by the time that has passed here since the stamp was read gives the
  // server's time then, or earlier. A change after that moment would have
  // given the data file another time, which the stamp read again shows.
  auto locked = files::StampOf(folder / files::kLockFileName);
  if (!locked.ok() || !*locked) return false;
  const auto since = duration_cast<nanoseconds>(std::chrono::steady_clock::now() - readAt.steady).count();
  if ((*locked)->modified - since - stamp.modified <= kIndexMargin.count()) return false;
  auto again = network::ReadDataStamp(folder);
  if (!again.ok() || *again != stamp) return false;

  std::vector<char> bytes(kHeaderSize + entries.size());
  EncodeHeader(stamp, entries, bytes.data());
  std::memcpy(bytes.data() + kHeaderSize, entries.data(), entries.size());
  const fs::path temp = folder / kIndexTempName;
  const fs::path index = folder / kIndexFileName;
  auto file = files::File::Open(temp, files::OpenMode::Fresh);
  if (!file.ok()) return false;
  Status wrote = file->WriteAt(0, bytes.data(), bytes.size());
  Status closed = file->Close();
  if (!wrote.ok() || !closed.ok() || !held->CheckStillOurs().ok()) {
    (void)files::Sys().Unlink(temp);
    return false;
  }
  // A share that renames over nothing that exists, or refuses while the old
  // index is open: the old one goes first (it is stale anyway), once.
  if (files::Sys().Rename(temp, index) == 0) return true;
  const bool cleared = files::Sys().Unlink(index) == 0 || errno == ENOENT;
  if (cleared && files::Sys().Rename(temp, index) == 0) return true;
  (void)files::Sys().Unlink(temp);
  return false;
}

}  // namespace kestrova::reports
