#include "core/files/record_rewrite.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kestrova::files {
namespace {
namespace fs = std::filesystem;
constexpr std::size_t kBlockBytes = 1 << 20;
}  // namespace

Result<std::int32_t> WriteKeptRecords(const File& source, std::int32_t count, std::size_t recordSize,
                                      const fs::path& temp, const std::function<bool(const char*)>& keep,
                                      const std::function<void()>& onBlock) {
  const auto fail = [](const Error& error) -> Result<std::int32_t> { return error; };
  // Under the lock whatever has the name is a leftover of a killed rewrite.
  auto out = File::Open(temp, OpenMode::Fresh);
  if (!out.ok()) return fail(out.error());
  const auto perBlock = static_cast<std::int32_t>(std::max<std::size_t>(1, kBlockBytes / recordSize));
  std::vector<char> in(static_cast<std::size_t>(perBlock) * recordSize);
  std::vector<char> kept(in.size());
  std::uint64_t outOffset = 0;
  std::int32_t k = 0;
  for (std::int32_t first = 0; first < count; first += perBlock) {
    const std::int32_t n = std::min(perBlock, count - first);
    const std::size_t bytes = static_cast<std::size_t>(n) * recordSize;
    Status read = source.ReadAt(static_cast<std::uint64_t>(first) * recordSize, in.data(), bytes);
    if (!read.ok()) return fail(read.error());
    std::size_t keptBytes = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      const char* record = in.data() + static_cast<std::size_t>(i) * recordSize;
      if (!keep(record)) continue;
      std::memcpy(kept.data() + keptBytes, record, recordSize);
      keptBytes += recordSize;
      ++k;
    }
    Status wrote = out->WriteAt(outOffset, kept.data(), keptBytes);
    if (!wrote.ok()) return fail(wrote.error());
    outOffset += keptBytes;
    if (onBlock) onBlock();
  }
  Status synced = out->Sync();
  if (!synced.ok()) return fail(synced.error());
  Status closed = out->Close();
  if (!closed.ok()) return fail(closed.error());
  return k;
}

Status InstallRewrite(const fs::path& temp, const fs::path& target, std::int32_t kept) {
  if (kept > 0) return ReplaceFile(temp, target);
  (void)RemoveFile(temp);
  Status removed = RemoveFile(target);
  if (!removed.ok()) return removed;
  return SyncFolder(target.parent_path());
}

}  // namespace kestrova::files
