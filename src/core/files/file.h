#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/status.h"

// The few file operations the record files need, over the operating
// system's own calls so that positioned reads, writes and flushes to disk
// are what they say.
namespace kestrova::files {

enum class OpenMode {
  Read,           // existing file, reading only
  ReadWrite,      // existing file
  CreateReadWrite,  // created empty when missing
  Truncate,       // created or emptied, for a rewrite
};

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  static Result<File> Open(const std::filesystem::path& path, OpenMode mode);

  bool is_open() const { return fd_ >= 0; }
  const std::filesystem::path& path() const { return path_; }

  Result<std::uint64_t> Size() const;
  // Reads exactly size bytes at offset; a short read is an error.
  Status ReadAt(std::uint64_t offset, char* data, std::size_t size) const;
  // Reads up to size bytes; returns how many were read (0 at the end).
  Result<std::size_t> ReadSome(std::uint64_t offset, char* data, std::size_t size) const;
  Status WriteAt(std::uint64_t offset, const char* data, std::size_t size);
  // Flushes the written data to the disk.
  Status Sync();
  Status Close();

 private:
  int fd_ = -1;
  std::filesystem::path path_;
};

// Describes the last operating-system error for a message.
std::string SystemErrorText(int error);

// Writes the folder's entry changes (a rename, a new file) to the disk.
Status SyncFolder(const std::filesystem::path& folder);

// Replaces target with source by rename, then flushes the folder.
Status ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace kestrova::files
