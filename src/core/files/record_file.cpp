#include "core/files/record_file.h"

#include <cctype>
#include <cmath>
#include <thread>

#include "core/files/record_rewrite.h"

namespace kestrova::files {
namespace {
namespace fs = std::filesystem;
}  // namespace

Result<File> OpenWithRetry(const fs::path& path, OpenMode mode, const RecordFileOptions& options,
                           const std::string& description) {
  const auto deadline = std::chrono::steady_clock::now() + options.retryFor;
  for (;;) {
    auto file = File::Open(path, mode);
    if (file.ok()) return file;
    if (file.error().kind == Error::Kind::NotFound && mode == OpenMode::Read) return file;
    if (std::chrono::steady_clock::now() >= deadline) {
      std::string what = description;
      if (!what.empty()) what[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(what[0])));
      return Error{Error::Kind::Busy, what + " could not be opened. " + file.message()};
    }
    std::this_thread::sleep_for(options.retryEvery);
  }
}

RecordFile::RecordFile(fs::path folder, RecordFileNames names, std::size_t recordSize,
                       RecordFileOptions options)
    : folder_(std::move(folder)),
      names_(std::move(names)),
      recordSize_(recordSize),
      options_(std::move(options)) {}

RecordFile::~RecordFile() { (void)Close(); }

Status RecordFile::Open(RecordAccess access) {
  if (open_) {
    if (access == RecordAccess::Write && access_ != RecordAccess::Write) {
      return Error{Error::Kind::Invalid, names_.fileName + " is already open for reading only."};
    }
    return {};
  }
  if (access == RecordAccess::Write) {
    auto lock = FolderLock::Acquire(folder_, options_.lock);
    if (!lock.ok()) return lock.error();
    lock_ = std::move(*lock);
  }
  auto file = OpenWithRetry(
      Path(), access == RecordAccess::Write ? OpenMode::CreateReadWrite : OpenMode::Read, options_,
      names_.description);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) {
      // Nothing on file yet, and nothing created by a mere read.
      open_ = true;
      access_ = access;
      length_ = 0;
      recordCount_ = 0;
      return {};
    }
    lock_.Release();
    return file.error();
  }
  auto size = file->Size();
  if (!size.ok()) {
    lock_.Release();
    return size.error();
  }
  file_ = std::move(*file);
  open_ = true;
  written_ = false;
  access_ = access;
  length_ = *size;
  recordCount_ = static_cast<std::int32_t>(
      std::llround(static_cast<double>(length_) / static_cast<double>(recordSize_)));
  return {};
}

Status RecordFile::Close() {
  if (!open_) return {};
  Status result;
  if (written_ && file_.is_open()) result = file_.Sync();
  if (file_.is_open()) {
    Status closed = file_.Close();
    if (result.ok() && !closed.ok()) result = closed;
  }
  lock_.Release();
  open_ = false;
  written_ = false;
  return result;
}

Status RecordFile::DamagedError() const {
  return Error{Error::Kind::Damaged,
               names_.description + " is damaged: its length (" + std::to_string(length_) +
                   " bytes) is not a whole number of " + std::to_string(recordSize_) + "-byte " +
                   names_.noun + "s. Nothing was written."};
}

Status RecordFile::ReadRecordBytes(std::int32_t n, char* dest) const {
  if (!open_) return Error{Error::Kind::Invalid, names_.fileName + " is not open."};
  const auto offset = static_cast<std::uint64_t>(n - 1) * recordSize_;
  if (n < 1 || n > recordCount_ || offset + recordSize_ > length_) {
    std::string noun = names_.noun;
    noun[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(noun[0])));
    return Error{Error::Kind::NotFound,
                 noun + " number " + std::to_string(n) + " is not on file: " + names_.description +
                     " holds " + std::to_string(length_ / recordSize_) + " " + names_.noun +
                     "s. Another workstation may have changed it; refresh the list."};
  }
  return file_.ReadAt(offset, dest, recordSize_);
}

Status RecordFile::CheckWritable(std::int32_t n) const {
  if (!open_ || access_ != RecordAccess::Write) {
    return Error{Error::Kind::Invalid, names_.fileName + " is not open for writing."};
  }
  if (!HasWholeRecords()) return DamagedError();
  if (n < 1 || n > recordCount_ + 1) {
    return Error{Error::Kind::NotFound, "Number " + std::to_string(n) + " cannot be written: " +
                                            names_.description + " holds " +
                                            std::to_string(recordCount_) + " " + names_.noun + "s."};
  }
  return {};
}

Status RecordFile::WriteRecordBytes(std::int32_t n, const char* src) {
  Status check = CheckWritable(n);
  if (!check.ok()) return check;
  if (!file_.is_open()) {
    auto file = OpenWithRetry(Path(), OpenMode::CreateReadWrite, options_, names_.description);
    if (!file.ok()) return file.error();
    file_ = std::move(*file);
  }
  written_ = true;
  Status wrote = file_.WriteAt(static_cast<std::uint64_t>(n - 1) * recordSize_, src, recordSize_);
  if (!wrote.ok()) return wrote;
  if (n == recordCount_ + 1) {
    ++recordCount_;
    length_ += recordSize_;
  }
  return {};
}

Result<std::int32_t> RecordFile::RewriteKeeping(const std::function<bool(const char*)>& keep) {
  if (!open_ || access_ != RecordAccess::Write) {
    return Error{Error::Kind::Invalid, names_.fileName + " is not open for writing."};
  }
  if (!HasWholeRecords()) {
    Status damaged = DamagedError();
    (void)Close();
    return damaged.error();
  }
  const fs::path temp = folder_ / kTempFileName;
  auto kept = WriteKeptRecords(file_, file_.is_open() ? recordCount_ : 0, recordSize_, temp, keep,
                               [this] { lock_.Refresh(); });
  if (!kept.ok()) {
    (void)Close();
    return kept.error();
  }
  // The file itself needs no flush: it is being replaced. The lock is kept
  // until the replacement is in place.
  written_ = false;
  if (file_.is_open()) (void)file_.Close();
  Status installed = InstallRewrite(temp, Path(), *kept);
  if (!installed.ok()) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    (void)Close();
    return installed.error();
  }
  recordCount_ = *kept;
  length_ = static_cast<std::uint64_t>(*kept) * recordSize_;
  (void)Close();
  return *kept;
}

}  // namespace kestrova::files
