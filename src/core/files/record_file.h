#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file.h"
#include "core/files/folder_events.h"
#include "core/files/folder_lock.h"
#include "core/status.h"
#include "core/time/ole_date.h"

namespace kestrova::files {

struct RecordFileOptions {
  // A failing open is retried silently for this long, then reported.
  std::chrono::milliseconds retryFor{4000};
  std::chrono::milliseconds retryEvery{50};
  LockOptions lock;
  // Told when an interrupted write is repaired, a file is found damaged,
  // or a write went through but may have met another's.
  std::function<void(const FolderNotice&)> notice;
  // The local time, which names the file a repair moves an interrupted
  // write's bytes to. Without it such a file is left damaged rather than
  // repaired.
  const time::Clock* clock = nullptr;
  // Told, under the lock, before a write begins and when it went through.
  WriteObserver* observer = nullptr;
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

// Whether the writes of a record file are counted in Kestrova.Changes, which
// every main window watches: the reports' are; the user list's are not (the
// administrative window looks at the user list itself).
enum class ChangesCounted { No, Yes };

// A file of fixed-length records in the shared data folder, record n (from
// 1) at bytes (n - 1) * size up to n * size. It is opened, used and closed
// within one operation. Writing takes the folder's lock for the whole
// bracket, and every write first checks that the lock is still ours.
//
// A write either happens whole or leaves no trace: a failed append is cut
// back to the old length, a failed overwrite puts the old bytes back. A
// file found under the lock to end in part of a record (an append that was
// interrupted) has that part moved aside to a file of its own,
// "<name>.partial-yyyymmddhhnnss", and is trimmed to its whole records. A
// file that does not look like one of ours is never written.
class RecordFile {
 public:
  RecordFile(std::filesystem::path folder, RecordFileNames names, std::size_t recordSize, ChangesCounted counted,
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
  // The repair this open made, if any (also told to options.notice).
  const std::optional<FolderNotice>& Repair() const { return repair_; }

  Status ReadRecordBytes(std::int32_t n, char* dest) const;
  // Writes record n; n = RecordCount() + 1 appends.
  Status WriteRecordBytes(std::int32_t n, const char* src);
  // Appends a record; returns its number, taken from where it landed.
  //
  // Where the folder's file system honours append mode, the record goes
  // through a descriptor of its own opened in that mode, so even a write
  // held up past the stale period lands after whatever was appended
  // meanwhile instead of over it. Where it does not (some shares), the
  // record goes at the length read under the lock.
  Result<std::int32_t> AppendRecordBytes(const char* src);
  // Takes out again every record this bracket appended, for a run of
  // appends that must go in together or not at all. Refused (and the
  // records left) when the lock is no longer ours or something else was
  // appended after them.
  Status TakeBackAppends();
  // Whether a write of this bracket found, after it went through, that the
  // lock was no longer ours: it stands, but another workstation may have
  // written at the same moment. Told to options.notice at the close.
  bool Uncertain() const { return uncertain_; }

  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path Path() const { return folder_ / names_.fileName; }
  const RecordFileNames& Names() const { return names_; }

 protected:
  Status CheckWritable(std::int32_t n) const;
  Status DamagedError() const;
  // Whether the file opened for writing is one of ours: whole records the
  // derived file recognises, or nothing but the tail of an interrupted
  // first write. Only then is it repaired and written.
  virtual Status CheckOurs() const { return {}; }
  // Reads bytes anywhere in the open file, for CheckOurs.
  Result<std::size_t> ReadBytesAt(std::uint64_t offset, char* dest, std::size_t size) const;
  // Rewrites the file without the records `keep` refuses (through
  // TempFile.$$$, replaced only once complete) and closes it. On failure
  // the file is left as it was, still open and locked.
  Result<std::int32_t> RewriteKeeping(const std::function<bool(const char*)>& keep);

 private:
  Status RepairPartialTail();
  // Opens the change counter for this bracket's write and reads it.
  Status OpenChangeCounter();
  Result<std::uint64_t> BumpChanges();
  // After a write that went through: is the lock still ours? If not, the
  // write is reported, not undone.
  void CheckAfterWrite();
  // Where our appended bytes are, when something else was appended too.
  std::int32_t FindAppended(std::uint64_t landed, const char* src);
  Result<std::int32_t> AppendAtEnd(const char* src);

  std::filesystem::path folder_;
  RecordFileNames names_;
  std::size_t recordSize_;
  ChangesCounted counted_;
  RecordFileOptions options_;
  File file_;
  File appendFile_;  // the same file in append mode, for appends
  File changes_;     // Kestrova.Changes while a write bracket is open, when it exists
  std::uint64_t changesBefore_ = 0;
  FolderLock lock_;
  bool open_ = false;
  bool written_ = false;
  bool changed_ = false;  // a write or a rewrite went through since the open
  bool uncertain_ = false;
  RecordAccess access_ = RecordAccess::Read;
  std::uint64_t length_ = 0;
  std::int32_t recordCount_ = 0;
  // The length before this bracket's first append, to cut back to when the
  // appends cannot be flushed.
  std::optional<std::uint64_t> appendedFrom_;
  std::optional<FolderNotice> repair_;
};

// Opens a shared file, retrying silently for a while: another workstation
// may have it briefly. A file that is simply missing is not retried when
// opened for reading, nor is one that is not a plain file.
Result<File> OpenWithRetry(const std::filesystem::path& path, OpenMode mode, const RecordFileOptions& options,
                           const std::string& description);

inline constexpr std::string_view kTempFileName = "TempFile.$$$";

// A record file with holes (bytes never written), or whose first, middle
// and last records are nothing but zero bytes, is damaged: no program
// wrote it, and it is neither listed as blank records nor written to.
// `size` is the file's length, when the caller has just asked for it.
Status CheckNotHollow(const File& file, std::size_t recordSize, const std::string& description,
                      std::optional<std::uint64_t> size = std::nullopt);

// Lists of problems show this many and a count of the rest.
inline constexpr std::size_t kMostProblemsListed = 100;

// "Kestrova.Data.partial-": the start of the names of files holding the
// bytes of interrupted writes, moved out of "Kestrova.Data".
std::string PartialTailPrefix(std::string_view fileName);

}  // namespace kestrova::files
