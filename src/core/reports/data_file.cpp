#include "core/reports/data_file.h"

#include <cstring>
#include <vector>

#include "core/text/fixed_text.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t kBlockRecords = 8;  // about 160 KB a read, kept in cache while decoding

files::RecordFileNames DataFileNames() {
  return {std::string(kDataFileName), "report", "the data file " + std::string(kDataFileName)};
}

}  // namespace

DataFile::DataFile(fs::path folder, DataFileOptions options)
    : RecordFile(std::move(folder), DataFileNames(), kReportRecordSize, std::move(options)) {}

Result<ReportRecord> DataFile::ReadRecord(std::int32_t n) const {
  RecordBytes bytes;
  Status read = ReadRecordBytes(n, bytes.data());
  if (!read.ok()) return read.error();
  return DecodeReportRecord(bytes.data());
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
  ListCounts counts;
  auto kept = RewriteKeeping([&](const char* record) {
    if (IsKilled(record)) return false;
    if (StoredListStatus(record) == kInactiveList) {
      ++counts.InactiveCount;
    } else {
      ++counts.ActiveCount;
    }
    return true;
  });
  if (!kept.ok()) return kept.error();
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
  auto file = files::OpenWithRetry(folder / kDataFileName, files::OpenMode::Read, options,
                                   DataFileNames().description);
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

Status ScanRecordHeads(const fs::path& folder, std::size_t prefix,
                       const std::function<bool(std::int32_t, const char*, std::uint8_t)>& visit,
                       const DataFileOptions& options) {
  constexpr std::size_t kStatusOffset = 19998;
  constexpr std::size_t kTail = kReportRecordSize - kStatusOffset;  // status and version
  if (prefix > kStatusOffset) prefix = kStatusOffset;
  auto file = files::OpenWithRetry(folder / kDataFileName, files::OpenMode::Read, options,
                                   DataFileNames().description);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return {};
    return file.error();
  }
  auto length = file->Size();
  if (!length.ok()) return length.error();
  const auto records = static_cast<std::int32_t>(*length / kReportRecordSize);
  if (records == 0) return {};
  // One read per record: the tail of the record before (its list status)
  // and the head of this one lie side by side in the file.
  std::vector<char> previous(kTail + prefix);
  std::vector<char> current(kTail + prefix);
  auto readAt = [&](std::uint64_t offset, char* into, std::size_t size) -> Status {
    auto got = file->ReadSome(offset, into, size);
    if (!got.ok()) return got.error();
    if (*got < size) {
      return Error{Error::Kind::Damaged, "The data file " + std::string(kDataFileName) +
                                             " became shorter while it was being read; "
                                             "another workstation may have removed reports. "
                                             "Refresh the list."};
    }
    return {};
  };
  Status first = readAt(0, previous.data() + kTail, prefix);
  if (!first.ok()) return first;
  for (std::int32_t n = 2; n <= records; ++n) {
    const std::uint64_t start = static_cast<std::uint64_t>(n - 1) * kReportRecordSize - kTail;
    Status read = readAt(start, current.data(), kTail + prefix);
    if (!read.ok()) return read;
    if (!visit(n - 1, previous.data() + kTail, static_cast<std::uint8_t>(current[0]))) return {};
    previous.swap(current);
  }
  char tail[kTail];
  Status last = readAt(static_cast<std::uint64_t>(records) * kReportRecordSize - kTail, tail, kTail);
  if (!last.ok()) return last;
  visit(records, previous.data() + kTail, static_cast<std::uint8_t>(tail[0]));
  return {};
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
