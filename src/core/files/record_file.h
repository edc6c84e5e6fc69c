#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/files/file.h"
#include "core/files/folder_lock.h"
#include "core/status.h"

namespace kestrova::files {

struct RecordFileOptions {
  // A failing open is retried silently for this long, then reported.
  std::chrono::milliseconds retryFor{4000};
  std::chrono::milliseconds retryEvery{50};
  LockOptions lock;
};

enum class RecordAccess {
  Read,   // a missing file reads as no records and is not created
  Write,  // takes the folder's write lock; a missing file is created empty
};

// What a record file is called in messages: "report" and "the data file
// Kestrova.Data", "user" and "the user list User.List".
struct RecordFileNames {
  std::string fileName;
  std::string noun;
  std::string description;
};

// A file of fixed-length records in the shared data folder, record n (from
// 1) at bytes (n - 1) * size up to n * size. It is opened, used and closed
// within one operation. Writing takes the folder's lock for the whole
// bracket; a file whose length is not a whole number of records is read as
// far as it goes but never written.
class RecordFile {
 public:
  RecordFile(std::filesystem::path folder, RecordFileNames names, std::size_t recordSize,
             RecordFileOptions options);
  virtual ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  Status Open(RecordAccess access);
  // Flushes what was written to the disk and releases the lock. An error
  // here means the writes may not have reached the disk.
  Status Close();

  bool IsOpen() const { return open_; }
  // The number of records at the last open: the length / size, rounded.
  std::int32_t RecordCount() const { return recordCount_; }
  bool HasWholeRecords() const { return length_ % recordSize_ == 0; }
  std::uint64_t Length() const { return length_; }
  std::size_t RecordSize() const { return recordSize_; }

  Status ReadRecordBytes(std::int32_t n, char* dest) const;
  // Writes record n; n = RecordCount() + 1 appends.
  Status WriteRecordBytes(std::int32_t n, const char* src);

  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path Path() const { return folder_ / names_.fileName; }
  const RecordFileNames& Names() const { return names_; }

 protected:
  Status CheckWritable(std::int32_t n) const;
  Status DamagedError() const;
  // Rewrites the file without the records `keep` refuses (through
  // TempFile.$$$, replaced only once complete) and closes it.
  Result<std::int32_t> RewriteKeeping(const std::function<bool(const char*)>& keep);

 private:
  std::filesystem::path folder_;
  RecordFileNames names_;
  std::size_t recordSize_;
  RecordFileOptions options_;
  File file_;
  FolderLock lock_;
  bool open_ = false;
  bool written_ = false;
  RecordAccess access_ = RecordAccess::Read;
  std::uint64_t length_ = 0;
  std::int32_t recordCount_ = 0;
};

// Opens a shared file, retrying silently for a while: another workstation
// may have it briefly. A file that is simply missing is not retried when
// opened for reading.
Result<File> OpenWithRetry(const std::filesystem::path& path, OpenMode mode,
                           const RecordFileOptions& options, const std::string& description);

inline constexpr std::string_view kTempFileName = "TempFile.$$$";

}  // namespace kestrova::files
