#include "core/reports/data_file.h"

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "core/text/fixed_text.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t kBlockRecords = 8;  // about 160 KB a read, kept in cache while decoding

// Opens a shared file, retrying silently for a while: another workstation
// may have it briefly. A file that is simply missing is not retried.
Result<files::File> OpenWithRetry(const fs::path& path, files::OpenMode mode,
                                  const DataFileOptions& options) {
  const auto deadline = std::chrono::steady_clock::now() + options.retryFor;
  for (;;) {
    auto file = files::File::Open(path, mode);
    if (file.ok()) return file;
    if (file.error().kind == Error::Kind::NotFound && mode == files::OpenMode::Read) return file;
    if (std::chrono::steady_clock::now() >= deadline) {
      return Error{Error::Kind::Busy, "The data file " + std::string(kDataFileName) +
                                          " could not be opened. " + file.message()};
    }
    std::this_thread::sleep_for(options.retryEvery);
  }
}

std::int32_t RecordsIn(std::uint64_t length) {
  return static_cast<std::int32_t>(
      std::llround(static_cast<double>(length) / static_cast<double>(kReportRecordSize)));
}

std::uint64_t OffsetOf(std::int32_t n) {
  return static_cast<std::uint64_t>(n - 1) * kReportRecordSize;
}

}  // namespace

DataFile::DataFile(fs::path folder, DataFileOptions options)
    : folder_(std::move(folder)), options_(std::move(options)) {}

DataFile::~DataFile() { (void)CloseDataFile(); }

Status DataFile::OpenDataFile(DataFileAccess access) {
  if (open_) {
    if (access == DataFileAccess::Write && access_ != DataFileAccess::Write) {
      return Error{Error::Kind::Invalid, "The data file is already open for reading only."};
    }
    return {};
  }
  if (access == DataFileAccess::Write) {
    auto lock = files::FolderLock::Acquire(folder_, options_.lock);
    if (!lock.ok()) return lock.error();
    lock_ = std::move(*lock);
  }
  auto file = OpenWithRetry(Path(), access == DataFileAccess::Write
                                        ? files::OpenMode::CreateReadWrite
                                        : files::OpenMode::Read,
                            options_);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) {
      // Nothing on file yet: no reports, and nothing created by a mere read.
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
  recordCount_ = RecordsIn(length_);
  return {};
}

Status DataFile::CloseDataFile() {
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

Status DataFile::DamagedError() const {
  return Error{Error::Kind::Damaged,
               "The data file " + std::string(kDataFileName) + " is damaged: its length (" +
                   std::to_string(length_) + " bytes) is not a whole number of " +
                   std::to_string(kReportRecordSize) + "-byte reports. Nothing was written."};
}

Status DataFile::ReadRecordBytes(std::int32_t n, char* dest) const {
  if (!open_) return Error{Error::Kind::Invalid, "The data file is not open."};
  if (n < 1 || n > recordCount_ || OffsetOf(n) + kReportRecordSize > length_) {
    return Error{Error::Kind::NotFound,
                 "Report number " + std::to_string(n) + " is not on file: the data file holds " +
                     std::to_string(length_ / kReportRecordSize) +
                     " reports. Another workstation may have removed reports; refresh the list."};
  }
  return file_.ReadAt(OffsetOf(n), dest, kReportRecordSize);
}

Result<ReportRecord> DataFile::ReadRecord(std::int32_t n) const {
  RecordBytes bytes;
  Status read = ReadRecordBytes(n, bytes.data());
  if (!read.ok()) return read.error();
  return DecodeReportRecord(bytes.data());
}

Status DataFile::CheckWritable(std::int32_t n) const {
  if (!open_ || access_ != DataFileAccess::Write) {
    return Error{Error::Kind::Invalid, "The data file is not open for writing."};
  }
  if (!HasWholeRecords()) return DamagedError();
  if (n < 1 || n > recordCount_ + 1) {
    return Error{Error::Kind::NotFound, "Report number " + std::to_string(n) +
                                            " cannot be written: the data file holds " +
                                            std::to_string(recordCount_) + " reports."};
  }
  return {};
}

Status DataFile::WriteRecordBytes(std::int32_t n, const char* src) {
  Status check = CheckWritable(n);
  if (!check.ok()) return check;
  if (!file_.is_open()) {
    // Opened while the file was missing: a write creates it now.
    auto file = OpenWithRetry(Path(), files::OpenMode::CreateReadWrite, options_);
    if (!file.ok()) return file.error();
    file_ = std::move(*file);
  }
  written_ = true;
  Status wrote = file_.WriteAt(OffsetOf(n), src, kReportRecordSize);
  if (!wrote.ok()) return wrote;
  if (n == recordCount_ + 1) {
    ++recordCount_;
    length_ += kReportRecordSize;
  }
  return {};
}

Status DataFile::WriteRecord(std::int32_t n, const ReportRecord& record) {
  RecordBytes bytes;
  EncodeReportRecord(record, bytes.data());
  return WriteRecordBytes(n, bytes.data());
}

Status DataFile::CheckRecordIdentity(std::int32_t n, double controlNumber,
                                     std::string_view caseNumber) const {
  RecordBytes bytes;
  Status read = ReadRecordBytes(n, bytes.data());
  if (!read.ok()) return read;
  const double stored = StoredControlNumber(bytes.data());
  const bool sameControl = std::memcmp(&stored, &controlNumber, sizeof stored) == 0;
  if (!sameControl || StoredCaseNumber(bytes.data()) != text::Trim(caseNumber)) {
    return Error{Error::Kind::Conflict,
                 "Report number " + std::to_string(n) +
                     " is no longer the report you selected: another workstation has changed "
                     "the reports. Refresh the list and try again."};
  }
  return {};
}

Result<ListCounts> DataFile::PurgeKilledRecords() {
  if (!open_ || access_ != DataFileAccess::Write) {
    return Error{Error::Kind::Invalid, "The data file is not open for writing."};
  }
  if (!HasWholeRecords()) {
    (void)CloseDataFile();
    return DamagedError().error();
  }
  const fs::path temp = folder_ / kTempFileName;
  ListCounts counts;
  auto fail = [&](const Error& error) -> Result<ListCounts> {
    std::error_code ignored;
    fs::remove(temp, ignored);
    (void)CloseDataFile();
    return error;
  };

  auto out = files::File::Open(temp, files::OpenMode::Truncate);
  if (!out.ok()) return fail(out.error());
  std::vector<char> in(kBlockRecords * kReportRecordSize);
  std::vector<char> kept(kBlockRecords * kReportRecordSize);
  std::uint64_t outOffset = 0;
  std::int32_t k = 0;
  const std::int32_t total = file_.is_open() ? recordCount_ : 0;
  for (std::int32_t first = 1; first <= total; first += static_cast<std::int32_t>(kBlockRecords)) {
    const auto count = std::min<std::int32_t>(static_cast<std::int32_t>(kBlockRecords), total - first + 1);
    Status read = file_.ReadAt(OffsetOf(first), in.data(), static_cast<std::size_t>(count) * kReportRecordSize);
    if (!read.ok()) return fail(read.error());
    std::size_t keptBytes = 0;
    for (std::int32_t i = 0; i < count; ++i) {
      const char* record = in.data() + static_cast<std::size_t>(i) * kReportRecordSize;
      if (IsKilled(record)) continue;
      std::memcpy(kept.data() + keptBytes, record, kReportRecordSize);
      keptBytes += kReportRecordSize;
      ++k;
      if (StoredListStatus(record) == kInactiveList) {
        ++counts.InactiveCount;
      } else {
        ++counts.ActiveCount;
      }
    }
    Status wrote = out->WriteAt(outOffset, kept.data(), keptBytes);
    if (!wrote.ok()) return fail(wrote.error());
    outOffset += keptBytes;
    lock_.Refresh();
  }
  Status synced = out->Sync();
  if (!synced.ok()) return fail(synced.error());
  Status closedTemp = out->Close();
  if (!closedTemp.ok()) return fail(closedTemp.error());

  // The data file itself was not written here; keep the lock until the
  // replacement is in place.
  written_ = false;
  if (file_.is_open()) (void)file_.Close();
  const fs::path data = Path();
  if (k > 0) {
    Status replaced = files::ReplaceFile(temp, data);
    if (!replaced.ok()) return fail(replaced.error());
  } else {
    std::error_code ec;
    fs::remove(temp, ec);
    fs::remove(data, ec);
    if (ec) return fail(Error{Error::Kind::Io, "Cannot remove the empty data file: " + ec.message()});
    (void)files::SyncFolder(folder_);
  }
  recordCount_ = k;
  length_ = static_cast<std::uint64_t>(k) * kReportRecordSize;
  (void)CloseDataFile();
  return counts;
}

Result<std::int32_t> AppendReport(const fs::path& folder, const ReportRecord& record,
                                  const DataFileOptions& options) {
  DataFile file(folder, options);
  Status opened = file.OpenDataFile(DataFileAccess::Write);
  if (!opened.ok()) return opened.error();
  const std::int32_t n = file.RecordCount() + 1;
  Status wrote = file.WriteRecord(n, record);
  Status closed = file.CloseDataFile();
  if (!wrote.ok()) return wrote.error();
  if (!closed.ok()) return closed.error();
  return n;
}

Result<ListCounts> PurgeKilledRecords(const fs::path& folder, const DataFileOptions& options) {
  DataFile file(folder, options);
  Status opened = file.OpenDataFile(DataFileAccess::Write);
  if (!opened.ok()) return opened.error();
  return file.PurgeKilledRecords();
}

Status ScanRecords(const fs::path& folder,
                   const std::function<bool(std::int32_t, const char*)>& visit,
                   const DataFileOptions& options) {
  auto file = OpenWithRetry(folder / kDataFileName, files::OpenMode::Read, options);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return {};
    return file.error();
  }
  std::vector<char> block(kBlockRecords * kReportRecordSize);
  std::uint64_t offset = 0;
  std::int32_t n = 0;
  for (;;) {
    auto got = file->ReadSome(offset, block.data(), block.size());
    if (!got.ok()) return got.error();
    const std::size_t whole = *got / kReportRecordSize;
    for (std::size_t i = 0; i < whole; ++i) {
      if (!visit(++n, block.data() + i * kReportRecordSize)) return {};
    }
    if (*got < block.size()) return {};  // the end; a partial tail is not a record
    offset += *got;
  }
}

Result<ListCounts> CountReports(const fs::path& folder, const DataFileOptions& options) {
  ListCounts counts;
  Status scanned = ScanRecords(
      folder,
      [&](std::int32_t, const char* record) {
        if (StoredListStatus(record) == kInactiveList) {
          ++counts.InactiveCount;
        } else {
          ++counts.ActiveCount;
        }
        return true;
      },
      options);
  if (!scanned.ok()) return scanned.error();
  return counts;
}

}  // namespace kestrova::reports
