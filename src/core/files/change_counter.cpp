#include "core/files/change_counter.h"

#include <cstring>

#include "core/files/file.h"

namespace kestrova::files {
std::uint64_t DecodeChangeCounter(const char* bytes) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

void EncodeChangeCounter(std::uint64_t value, char* bytes) {
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

Result<std::uint64_t> ReadChangeCounter(const std::filesystem::path& folder) {
  auto file = File::Open(folder / kChangesFileName, OpenMode::Read);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return std::uint64_t{0};
    return file.error();
  }
  char bytes[8] = {};
  auto got = file->ReadSome(0, bytes, sizeof bytes);
  if (!got.ok()) return got.error();
  // A file cut short reads as what it holds; the next write makes it whole.
  return DecodeChangeCounter(bytes);
}

Result<std::uint64_t> BumpChangeCounter(const std::filesystem::path& folder) {
  auto file = File::Open(folder / kChangesFileName, OpenMode::CreateReadWrite);
  if (!file.ok()) return file.error();
  char bytes[8] = {};
  auto got = file->ReadSome(0, bytes, sizeof bytes);
  if (!got.ok()) return got.error();
  const std::uint64_t next = DecodeChangeCounter(bytes) + 1;  // wraps after 2^64 changes: still a change
  EncodeChangeCounter(next, bytes);
  Status wrote = file->WriteAt(0, bytes, sizeof bytes);
  if (!wrote.ok()) return wrote.error();
  Status closed = file->Close();
  if (!closed.ok()) return closed.error();
  return next;
}

}  // namespace kestrova::files
