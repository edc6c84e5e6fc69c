#include "core/files/record_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "core/files/change_counter.h"
#include "core/files/file_system.h"
#include "core/files/record_rewrite.h"
#include "core/time/date_format.h"

namespace kestrova::files {
namespace {
namespace fs = std::filesystem;

constexpr auto kMaxRecords = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());

// Removes a file by name, only while the lock says the folder is still ours:
// otherwise the name may already belong to the next holder's file.
void RemoveIfOurs(const FolderLock& lock, const fs::path& path) {
  if (lock.CheckStillOurs().ok()) (void)RemoveFile(path);
}

bool AllZero(const std::vector<char>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

}  // namespace

Status CheckNotHollow(const File& file, std::size_t recordSize, const std::string& description,
                      std::optional<std::uint64_t> known) {
  Result<std::uint64_t> size = known ? Result<std::uint64_t>(*known) : file.Size();
  if (!size.ok()) return size.error();
  const auto damaged = [&](const std::string& why) -> Status {
    return Error{Error::Kind::Damaged,
                 Capitalized(description) + " is damaged: " + why + " (" + std::to_string(*size) +
                     " bytes). No program wrote it like that. Nothing was read from it or written to it; "
                     "put a backup in its place."};
  };
  if (file.HasHoles(*size)) return damaged("parts of it were never written, they are holes");
  const std::uint64_t records = *size / recordSize;
  if (records == 0) return {};
  std::vector<char> bytes(recordSize);
  for (const std::uint64_t n : {std::uint64_t{0}, records / 2, records - 1}) {
    Status read = file.ReadAt(n * recordSize, bytes.data(), bytes.size());
    if (!read.ok()) return read;
    if (!AllZero(bytes)) return {};
  }
  return damaged("its first, middle and last records hold nothing but zero bytes");
}

std::string PartialTailPrefix(std::string_view fileName) { return std::string(fileName) + ".partial-"; }

Result<File> OpenWithRetry(const fs::path& path, OpenMode mode, const RecordFileOptions& options,
                           const std::string& description) {
  const auto deadline = std::chrono::steady_clock::now() + options.retryFor;
  for (;;) {
    auto file = File::Open(path, mode);
    if (file.ok()) return file;
    if (file.error().kind == Error::Kind::NotFound && mode == OpenMode::Read) return file;
    // A link, a folder or a device stays what it is: retrying cannot help.
    if (file.error().kind == Error::Kind::Damaged) return file;
    if (std::chrono::steady_clock::now() >= deadline) {
      return Error{Error::Kind::Busy, Capitalized(description) + " could not be opened. " + file.message()};
    }
    std::this_thread::sleep_for(options.retryEvery);
  }
}

RecordFile::RecordFile(fs::path folder, RecordFileNames names, std::size_t recordSize, ChangesCounted counted,
                       RecordFileOptions options)
    : folder_(std::move(folder)),
      names_(std::move(names)),
      recordSize_(recordSize),
      counted_(counted),
      options_(std::move(options)) {}

RecordFile::~RecordFile() { (void)Close(); }

Status RecordFile::Open(RecordAccess access) {
  if (open_) {
    if (access == RecordAccess::Write && access_ != RecordAccess::Write) {
      return Error{Error::Kind::Invalid, names_.fileName + " is already open for reading only."};
    }
    return {};
  }
  repair_.reset();
  appendedFrom_.reset();
  if (access == RecordAccess::Write) {
    auto lock = FolderLock::Acquire(folder_, options_.lock);
    if (!lock.ok()) return lock.error();
    lock_ = std::move(*lock);
    if (Status counter = OpenChangeCounter(); !counter.ok()) {
      lock_.Release();
      return counter;
    }
    if (options_.observer) options_.observer->AboutToWrite(folder_);
    // A rewrite that was killed leaves its temporary file behind; nobody
    // else can be using it while we hold the lock.
    const fs::path temp = folder_ / kTempFileName;
    auto leftOver = RegularFileExists(temp);
    if (!leftOver.ok() || *leftOver) RemoveIfOurs(lock_, temp);
  }
  uncertain_ = false;
  auto file = OpenWithRetry(Path(), access == RecordAccess::Write ? OpenMode::CreateReadWrite : OpenMode::Read,
                            options_, names_.description);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound && access == RecordAccess::Read) {
      // Nothing on file yet, and nothing created by a mere read.
      open_ = true;
      access_ = access;
      length_ = 0;
      recordCount_ = 0;
      return {};
    }
    (void)changes_.Close();
    lock_.Release();
    return file.error();
  }
  auto size = file->Size();
  if (!size.ok()) {
    (void)changes_.Close();
    lock_.Release();
    return size.error();
  }
  if (*size / recordSize_ > kMaxRecords) {
    (void)changes_.Close();
    lock_.Release();
    return Error{Error::Kind::Damaged, Capitalized(names_.description) + " is too large (" + std::to_string(*size) +
                                           " bytes) to be one of ours."};
  }
  if (Status whole = CheckNotHollow(*file, recordSize_, names_.description, *size); !whole.ok()) {
    (void)changes_.Close();
    lock_.Release();
    return whole;
  }
  file_ = std::move(*file);
  open_ = true;
  written_ = false;
  access_ = access;
  length_ = *size;
  recordCount_ =
      static_cast<std::int32_t>(std::min<std::uint64_t>(kMaxRecords, (length_ + recordSize_ / 2) / recordSize_));
  if (access == RecordAccess::Write) {
    Status ours = CheckOurs();
    if (ours.ok() && !HasWholeRecords()) ours = RepairPartialTail();
    if (!ours.ok()) {
      (void)Close();
      return ours;
    }
  }
  return {};
}

Status RecordFile::OpenChangeCounter() {
  changesBefore_ = 0;
  if (counted_ == ChangesCounted::No) return {};
  // Read now and bumped at the close, with no second open: nobody else
  // writes it while the lock is ours.
  auto counter = File::Open(folder_ / kChangesFileName, OpenMode::ReadWrite);
  if (counter.ok()) {
    char bytes[8] = {};
    auto got = counter->ReadSome(0, bytes, sizeof bytes);
    if (got.ok()) {
      changes_ = std::move(*counter);
      changesBefore_ = DecodeChangeCounter(bytes);
      return {};
    }
  }
  // Missing (the bump makes it) or not opened as it is: looked at as
  // before, and what cannot be opened is left to the bump to report.
  auto exists = RegularFileExists(folder_ / kChangesFileName);
  if (exists.ok()) return {};
  return Error{exists.error().kind, exists.message() + " Other workstations learn of every change through " +
                                        std::string(kChangesFileName) + ", so nothing is written until it is mended."};
}

Result<std::uint64_t> RecordFile::BumpChanges() {
  if (!changes_.is_open()) return BumpChangeCounter(folder_);
  const std::uint64_t next = changesBefore_ + 1;  // wraps after 2^64 changes: still a change
  char bytes[8];
  EncodeChangeCounter(next, bytes);
  Status wrote = changes_.WriteAt(0, bytes, sizeof bytes);
  Status closed = changes_.Close();
  if (!wrote.ok()) return wrote.error();
  if (!closed.ok()) return closed.error();
  return next;
}

void RecordFile::CheckAfterWrite() {
  if (!lock_.CheckStillOurs().ok()) uncertain_ = true;
}

Status RecordFile::RepairPartialTail() {
  const std::uint64_t whole = length_ / recordSize_ * recordSize_;
  const std::uint64_t tail = length_ - whole;
  if (!options_.clock) return DamagedError();
  std::vector<char> bytes(tail);
  Status read = file_.ReadAt(whole, bytes.data(), bytes.size());
  if (!read.ok()) return read;

  // Every byte is kept: the tail goes to a file of its own first.
  const std::string stamp = time::FormatDateTime(options_.clock->Now(), time::kControlNumberFormat);
  const std::string base = PartialTailPrefix(names_.fileName) + stamp;
  std::string asideName = base;
  for (int i = 2; i <= 10000; ++i) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(folder_ / asideName, ec))) break;
    asideName = base + "-" + std::to_string(i);
  }
  auto aside = File::Open(folder_ / asideName, OpenMode::CreateNew);  // never over another
  if (!aside.ok()) return aside.error();
  Status saved = aside->WriteAt(0, bytes.data(), bytes.size());
  if (saved.ok()) saved = aside->Sync();
  if (saved.ok()) saved = aside->Close();
  if (saved.ok()) saved = lock_.CheckStillOurs();
  if (saved.ok()) saved = file_.Truncate(whole);
  if (saved.ok()) saved = file_.Sync();
  if (!saved.ok()) {
    (void)aside->Close();
    (void)RemoveFile(folder_ / asideName);  // only a copy; the original tail is still in place
    return saved;
  }
  (void)SyncFolder(folder_);
  length_ = whole;
  recordCount_ = static_cast<std::int32_t>(whole / recordSize_);
  FolderNotice notice;
  notice.kind = FolderNotice::Kind::Repaired;
  notice.fileName = names_.fileName;
  notice.message = Capitalized(names_.description) + " ended in part of a " + names_.noun + " (" +
                   std::to_string(tail) +
                   " bytes), left by a save that was interrupted. Those bytes "
                   "were moved to the file \"" +
                   asideName + "\" in the data folder, and " + names_.fileName + " now holds its " +
                   std::to_string(recordCount_) + " whole " + names_.noun + (recordCount_ == 1 ? "" : "s") + ".";
  repair_ = notice;
  if (options_.notice) options_.notice(notice);
  return {};
}

Status RecordFile::Close() {
  if (!open_) return {};
  Status result;
  if (written_ && file_.is_open()) {
    result = appendFile_.is_open() ? appendFile_.Sync() : file_.Sync();
    // Appends that may not have reached the disk are taken back out, so
    // nobody is told a report is saved that might be lost.
    if (!result.ok() && appendedFrom_ && !uncertain_ && lock_.CheckStillOurs().ok() &&
        file_.Truncate(*appendedFrom_).ok()) {
      result = Error{result.error().kind, result.message() + ". What was just added was taken back out again."};
    }
  }
  for (File* f : {&appendFile_, &file_}) {
    if (!f->is_open()) continue;
    Status closed = f->Close();
    if (result.ok() && !closed.ok()) result = closed;
  }
  if (changed_ && result.ok() && lock_.held()) {
    // Other workstations watch the counter. It is bumped even when the lock
    // was lost meanwhile: the write stands, and they must look.
    auto bumped = counted_ == ChangesCounted::Yes ? BumpChanges() : Result<std::uint64_t>(changesBefore_);
    if (!bumped.ok() && options_.notice) {
      options_.notice({FolderNotice::Kind::Damaged, std::string(kChangesFileName),
                       "The change was saved, but other workstations may not see it until they refresh "
                       "their lists: " +
                           bumped.message()});
    }
    if (!uncertain_ && lock_.CheckStillOurs().ok()) {
      if (options_.observer) options_.observer->Committed(folder_);
    } else {
      uncertain_ = true;
    }
  }
  (void)changes_.Close();
  if (uncertain_ && options_.notice) {
    options_.notice({FolderNotice::Kind::Uncertain, names_.fileName,
                     Capitalized(names_.description) +
                         " was saved, but another workstation may have written at the same moment: "
                         "check the list."});
  }
  lock_.Release();
  open_ = false;
  written_ = false;
  changed_ = false;
  return result;
}

Status RecordFile::DamagedError() const {
  return Error{Error::Kind::Damaged, Capitalized(names_.description) + " is damaged: its length (" +
                                         std::to_string(length_) + " bytes) is not a whole number of " +
                                         std::to_string(recordSize_) + "-byte " + names_.noun +
                                         "s. Nothing was written."};
}

Status RecordFile::ReadRecordBytes(std::int32_t n, char* dest) const {
  if (!open_) return Error{Error::Kind::Invalid, names_.fileName + " is not open."};
  const std::uint64_t whole = length_ / recordSize_;
  if (n < 1 || n > recordCount_ || static_cast<std::uint64_t>(n) > whole) {
    return Error{Error::Kind::NotFound, Capitalized(names_.noun) + " number " + std::to_string(n) +
                                            " is not on file: " + names_.description + " holds " +
                                            std::to_string(whole) + " " + names_.noun +
                                            "s. Another workstation may have changed it; refresh the list."};
  }
  return file_.ReadAt(static_cast<std::uint64_t>(n - 1) * recordSize_, dest, recordSize_);
}

Result<std::size_t> RecordFile::ReadBytesAt(std::uint64_t offset, char* dest, std::size_t size) const {
  if (!file_.is_open()) return std::size_t{0};
  return file_.ReadSome(offset, dest, size);
}

Status RecordFile::CheckWritable(std::int32_t n) const {
  if (!open_ || access_ != RecordAccess::Write) {
    return Error{Error::Kind::Invalid, names_.fileName + " is not open for writing."};
  }
  if (!HasWholeRecords()) return DamagedError();
  if (n < 1 || static_cast<std::int64_t>(n) > static_cast<std::int64_t>(recordCount_) + 1) {
    return Error{Error::Kind::NotFound, "Number " + std::to_string(n) + " cannot be written: " + names_.description +
                                            " holds " + std::to_string(recordCount_) + " " + names_.noun + "s."};
  }
  return {};
}

Status RecordFile::WriteRecordBytes(std::int32_t n, const char* src) {
  Status check = CheckWritable(n);
  if (!check.ok()) return check;
  if (static_cast<std::int64_t>(n) == static_cast<std::int64_t>(recordCount_) + 1) {
    return AppendRecordBytes(src).status();
  }
  if (!file_.is_open()) {
    auto file = OpenWithRetry(Path(), OpenMode::CreateReadWrite, options_, names_.description);
    if (!file.ok()) return file.error();
    file_ = std::move(*file);
  }
  const auto offset = static_cast<std::uint64_t>(n - 1) * recordSize_;
  std::vector<char> before(recordSize_);
  Status read = file_.ReadAt(offset, before.data(), before.size());
  if (!read.ok()) return read;
  Status ours = lock_.CheckStillOurs();
  if (!ours.ok()) return ours;
  written_ = true;
  Status wrote = file_.WriteAt(offset, src, recordSize_);
  if (!wrote.ok()) {
    // Leave no trace: the old bytes go back.
    Status undone = lock_.CheckStillOurs();
    if (undone.ok()) undone = file_.WriteAt(offset, before.data(), before.size());
    const std::string what = names_.noun + " number " + std::to_string(n) + " was not changed";
    if (undone.ok()) return Error{wrote.error().kind, wrote.message() + ". Nothing was written: " + what + "."};
    return Error{wrote.error().kind, wrote.message() + ". " + Capitalized(what) + ", and " + names_.fileName +
                                         " may hold part of it until the next write from any workstation repairs it."};
  }
  CheckAfterWrite();
  lock_.Refresh();  // a long run of writes keeps its lock alive
  changed_ = true;
  return {};
}

Result<std::int32_t> RecordFile::AppendRecordBytes(const char* src) {
  Status check = CheckWritable(recordCount_ == std::numeric_limits<std::int32_t>::max() ? 0 : recordCount_ + 1);
  if (!check.ok()) return check.error();
  if (!file_.is_open()) {
    auto file = OpenWithRetry(Path(), OpenMode::CreateReadWrite, options_, names_.description);
    if (!file.ok()) return file.error();
    file_ = std::move(*file);
  }
  const std::optional<bool> appendMode = TraitsOf(folder_).append;
  if (!appendMode.value_or(true)) return AppendAtEnd(src);
  if (!appendFile_.is_open()) {
    auto opened = File::Open(Path(), OpenMode::Append);
    if (!opened.ok()) {
      // A share that refuses append mode fails the open (with EIO, after a
      // while); one that is still there opens the file otherwise.
      if (opened.error().kind != Error::Kind::Io) return opened.error();
      auto plain = File::Open(Path(), OpenMode::ReadWrite);
      if (!plain.ok()) return opened.error();
      RememberAppend(folder_, false);
      return AppendAtEnd(src);
    }
    RememberAppend(folder_, true);
    appendFile_ = std::move(*opened);
  }
  Status ours = lock_.CheckStillOurs();
  if (!ours.ok()) return ours.error();
  written_ = true;
  auto appended = appendFile_.AppendOnce(src, recordSize_);
  // A write cut short goes on with the rest, as long as it follows on.
  while (appended.ok() && appended->bytes > 0 && appended->bytes < recordSize_) {
    auto more = appendFile_.AppendOnce(src + appended->bytes, recordSize_ - appended->bytes);
    if (!more.ok() || more->bytes == 0 || more->end != appended->end + more->bytes) break;
    appended->bytes += more->bytes;
    appended->end = more->end;
  }
  if (!appended.ok() || appended->bytes < recordSize_) {
    // Leave no trace: cut back what went in, while nothing came after it.
    const std::string why = appended.ok() ? SystemErrorText(ENOSPC) : appended.message();
    bool undone = !appended.ok() || appended->bytes == 0;
    if (!undone && lock_.CheckStillOurs().ok()) {
      auto size = file_.Size();
      undone = size.ok() && *size == appended->end && file_.Truncate(appended->end - appended->bytes).ok();
    }
    const std::string what = "the " + names_.noun + " was not added";
    if (undone)
      return Error{Error::Kind::Io,
                   "Cannot write " + names_.fileName + ": " + why + ". Nothing was written: " + what + "."};
    return Error{Error::Kind::Io, "Cannot write " + names_.fileName + ": " + why + ". " + Capitalized(what) + ", and " +
                                      names_.fileName +
                                      " may hold part of it until the next write from any workstation repairs it."};
  }
  const std::uint64_t landed = appended->end - recordSize_;
  if (!appendedFrom_) appendedFrom_ = landed;
  CheckAfterWrite();
  std::int32_t n = static_cast<std::int32_t>(std::min<std::uint64_t>(landed / recordSize_, kMaxRecords - 1)) + 1;
  if (landed != length_) {
    uncertain_ = true;  // something else was appended since the open
    n = FindAppended(landed, src);
  }
  length_ = std::max<std::uint64_t>(length_ + recordSize_, landed + recordSize_);
  recordCount_ = static_cast<std::int32_t>(std::min<std::uint64_t>(kMaxRecords, length_ / recordSize_));
  changed_ = true;
  lock_.Refresh();
  return n;
}

Status RecordFile::TakeBackAppends() {
  if (!appendedFrom_) return {};
  const auto refused = [&](const std::string& why) -> Status {
    return Error{Error::Kind::Io, "What was added to " + names_.fileName +
                                      " stays there: it could not be taken out again (" + why + ")."};
  };
  if (Status ours = lock_.CheckStillOurs(); !ours.ok()) return refused(ours.message());
  if (uncertain_) return refused("another write came in between");
  auto size = file_.Size();
  if (!size.ok()) return refused(size.message());
  if (*size != length_) return refused("the file's length is not what was written");
  if (Status cut = file_.Truncate(*appendedFrom_); !cut.ok()) return refused(cut.message());
  length_ = *appendedFrom_;
  recordCount_ = static_cast<std::int32_t>(std::min<std::uint64_t>(kMaxRecords, length_ / recordSize_));
  appendedFrom_.reset();
  return {};
}

Result<std::int32_t> RecordFile::AppendAtEnd(const char* src) {
  const std::uint64_t offset = length_;
  Status ours = lock_.CheckStillOurs();
  if (!ours.ok()) return ours.error();
  written_ = true;
  Status wrote = file_.WriteAt(offset, src, recordSize_);
  if (!wrote.ok()) {
    Status undone = lock_.CheckStillOurs();
    if (undone.ok()) undone = file_.Truncate(offset);
    const std::string what = "the " + names_.noun + " was not added";
    if (undone.ok()) return Error{wrote.error().kind, wrote.message() + ". Nothing was written: " + what + "."};
    return Error{wrote.error().kind, wrote.message() + ". " + Capitalized(what) + ", and " + names_.fileName +
                                         " may hold part of it until the next write from any workstation repairs it."};
  }
  if (!appendedFrom_) appendedFrom_ = offset;
  CheckAfterWrite();
  ++recordCount_;
  length_ += recordSize_;
  changed_ = true;
  lock_.Refresh();
  return recordCount_;
}

std::int32_t RecordFile::FindAppended(std::uint64_t landed, const char* src) {
  // Where this computer thinks the append landed; a network file system
  // may know the end only as it last saw it, so the record is looked for
  // among the last ones.
  std::vector<char> bytes(recordSize_);
  auto matches = [&](std::uint64_t offset) {
    return offset % recordSize_ == 0 && file_.ReadAt(offset, bytes.data(), bytes.size()).ok() &&
           std::equal(bytes.begin(), bytes.end(), src);
  };
  const auto number = [&](std::uint64_t offset) {
    return static_cast<std::int32_t>(std::min<std::uint64_t>(offset / recordSize_, kMaxRecords - 1)) + 1;
  };
  if (matches(landed)) return number(landed);
  auto size = file_.Size();
  if (size.ok() && *size >= recordSize_) {
    std::uint64_t offset = *size / recordSize_ * recordSize_;
    for (int i = 0; i < 64 && offset >= recordSize_; ++i) {
      offset -= recordSize_;
      if (matches(offset)) return number(offset);
    }
  }
  return number(landed);
}

Result<std::int32_t> RecordFile::RewriteKeeping(const std::function<bool(const char*)>& keep) {
  if (!open_ || access_ != RecordAccess::Write) {
    return Error{Error::Kind::Invalid, names_.fileName + " is not open for writing."};
  }
  if (!HasWholeRecords()) return DamagedError().error();
  // Nothing is written, not even the copy, once the lock is another's.
  if (Status ours = lock_.CheckStillOurs(); !ours.ok()) return ours.error();
  const fs::path temp = folder_ / kTempFileName;
  auto kept =
      WriteKeptRecords(file_, file_.is_open() ? recordCount_ : 0, recordSize_, temp, keep, [this] { lock_.Refresh(); });
  if (!kept.ok()) {
    RemoveIfOurs(lock_, temp);
    return kept.error();
  }
  Status ours = lock_.CheckStillOurs();
  if (!ours.ok()) return ours.error();  // the temporary file is the new holder's to clear
  // Closed before it is replaced: a share refuses to rename over, or to
  // remove, a file that is open.
  Status synced = written_ ? (appendFile_.is_open() ? appendFile_.Sync() : file_.Sync()) : Status();
  (void)appendFile_.Close();
  (void)file_.Close();
  Status installed = synced.ok() ? InstallRewrite(temp, Path(), *kept) : synced;
  if (!installed.ok()) {
    RemoveIfOurs(lock_, temp);
    // Left as it was, and open again for whatever the caller does next.
    auto again = OpenWithRetry(Path(), OpenMode::CreateReadWrite, options_, names_.description);
    if (again.ok()) file_ = std::move(*again);
    return installed.error();
  }
  CheckAfterWrite();
  written_ = false;
  changed_ = true;
  recordCount_ = *kept;
  length_ = static_cast<std::uint64_t>(*kept) * recordSize_;
  (void)Close();
  return *kept;
}

}  // namespace kestrova::files
