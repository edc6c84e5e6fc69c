#include "core/reports/data_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "core/text/fixed_text.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t kBlockRecords = 8;  // about 160 KB a read, kept in cache while decoding

files::RecordFileNames DataFileNames() {
  return {std::string(kDataFileName), "report", "the data file " + std::string(kDataFileName)};
}

Status TooLarge(std::uint64_t length) {
  return Error{Error::Kind::Damaged, "The data file " + std::string(kDataFileName) + " is too large (" +
                                         std::to_string(length) + " bytes) to be one of ours."};
}

}  // namespace

DataFile::DataFile(fs::path folder, DataFileOptions options)
    : RecordFile(std::move(folder), DataFileNames(), kReportRecordSize, files::ChangesCounted::Yes,
                 std::move(options)) {}

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

Status DataFile::CheckRecordIdentity(std::int32_t n, double controlNumber, std::string_view caseNumber) const {
  RecordBytes bytes;
  Status read = ReadRecordBytes(n, bytes.data());
  if (!read.ok()) return read;
  const double stored = StoredControlNumber(bytes.data());
  const bool sameControl = std::memcmp(&stored, &controlNumber, sizeof stored) == 0;
  if (!sameControl || StoredCaseNumber(bytes.data()) != text::Trim(caseNumber)) {
    return Error{Error::Kind::Conflict, "Report number " + std::to_string(n) +
                                            " is no longer the report you selected: another workstation has changed "
                                            "the reports. Refresh the list and try again."};
  }
  return {};
}

Result<std::int32_t> DataFile::FindRecord(std::int32_t hint, const char* bytes, std::int32_t* sameControlAt) const {
  if (sameControlAt) *sameControlAt = 0;
  const std::int32_t count = RecordCount();
  double control = 0;
  std::memcpy(&control, bytes, sizeof control);
  RecordBytes candidate;
  // The control number leads the record: most records are told apart by
  // their first eight bytes, read alone.
  const auto holds = [&](std::int32_t n) -> Result<bool> {
    char head[sizeof(double)];
    auto got = ReadBytesAt(static_cast<std::uint64_t>(n - 1) * kReportRecordSize, head, sizeof head);
    if (!got.ok()) return got.error();
    if (*got < sizeof head || std::memcmp(head, bytes, sizeof head) != 0) return false;
    Status read = ReadRecordBytes(n, candidate.data());
    if (!read.ok()) return read.error();
    if (std::memcmp(candidate.data(), bytes, kReportRecordSize) == 0) return true;
    if (sameControlAt && *sameControlAt == 0 && control != 0) *sameControlAt = n;
    return false;
  };
  const std::int32_t start = std::clamp(hint, 0, count);
  for (std::int32_t n = start; n >= 1; --n) {
    auto found = holds(n);
    if (!found.ok()) return found.error();
    if (*found) return n;
  }
  for (std::int32_t n = start + 1; n <= count; ++n) {
    auto found = holds(n);
    if (!found.ok()) return found.error();
    if (*found) return n;
  }
  return 0;
}

Status DataFile::CheckOurs() const {
  const auto refuse = [](const std::string& why) -> Status {
    return Error{Error::Kind::Damaged, "The data file " + std::string(kDataFileName) +
                                           " does not look like one of ours: " + why +
                                           " It can be read but is never written; nothing was written."};
  };
  if (Length() >= kReportRecordSize) {
    // The first report's ProgramVersion, its last two bytes.
    char last[2];
    auto got = ReadBytesAt(kReportRecordSize - 2, last, sizeof last);
    if (!got.ok()) return got.error();
    std::int16_t version = 0;
    std::memcpy(&version, last, sizeof version);
    if (IsCurrentLayoutVersion(version)) return {};
    return refuse("its first report carries the program version " + std::to_string(version) +
                  ", where this program writes 411 to 498. If it comes from an older release, "
                  "signing in offers to convert it.");
  }
  // Less than one report: the start of an interrupted first save, unless it
  // has the size of older releases' records.
  constexpr std::uint64_t kOldSizes[] = {10000, 15000};
  for (const std::uint64_t size : kOldSizes) {
    if (Length() > 0 && Length() % size == 0) {
      return refuse("it has the length of a data file of an older release. Signing in offers to convert it.");
    }
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

Result<std::int32_t> AppendReport(const fs::path& folder, const ReportRecord& record, const DataFileOptions& options) {
  DataFile file(folder, options);
  Status opened = file.OpenDataFile(DataFileAccess::Write);
  if (!opened.ok()) return opened.error();
  if (file.RecordCount() == std::numeric_limits<std::int32_t>::max()) {
    return Error{Error::Kind::Invalid, "The data file " + std::string(kDataFileName) + " is full."};
  }
  RecordBytes bytes;
  EncodeReportRecord(record, bytes.data());
  auto n = file.AppendRecordBytes(bytes.data());
  Status closed = file.CloseDataFile();
  if (!n.ok()) return n.error();
  if (!closed.ok()) return closed.error();
  return *n;
}

Result<ListCounts> PurgeKilledRecords(const fs::path& folder, const DataFileOptions& options) {
  DataFile file(folder, options);
  Status opened = file.OpenDataFile(DataFileAccess::Write);
  if (!opened.ok()) return opened.error();
  return file.PurgeKilledRecords();
}

Status ScanRecords(const fs::path& folder, const std::function<bool(std::int32_t, const char*)>& visit,
                   const DataFileOptions& options) {
  auto file = files::OpenWithRetry(folder / kDataFileName, files::OpenMode::Read, options, DataFileNames().description);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return {};
    return file.error();
  }
  // Asked first: on a share, reads stop at the length last seen, which may
  // be before another workstation's newest reports.
  auto length = file->Size();
  if (!length.ok()) return length.error();
  if (Status whole = files::CheckNotHollow(*file, kReportRecordSize, DataFileNames().description); !whole.ok()) {
    return whole;
  }
  std::vector<char> block(kBlockRecords * kReportRecordSize);
  std::uint64_t offset = 0;
  std::int32_t n = 0;
  for (;;) {
    auto got = file->ReadSome(offset, block.data(), block.size());
    if (!got.ok()) return got.error();
    const std::size_t whole = *got / kReportRecordSize;
    for (std::size_t i = 0; i < whole; ++i) {
      if (n == std::numeric_limits<std::int32_t>::max()) return TooLarge(offset + *got);
      if (!visit(++n, block.data() + i * kReportRecordSize)) return {};
    }
    if (*got < block.size()) return {};  // the end; a partial tail is not a record
    offset += *got;
  }
}

Status ScanRecordHeads(const fs::path& folder, std::size_t prefix,
                       const std::function<bool(std::int32_t, const char*, std::uint8_t)>& visit,
                       const DataFileOptions& options) {
  constexpr std::size_t kStatusOffset = SpanOf("ListStatus").offset;
  constexpr std::size_t kTail = kReportRecordSize - kStatusOffset;  // status and version
  if (prefix > kStatusOffset) prefix = kStatusOffset;
  auto file = files::OpenWithRetry(folder / kDataFileName, files::OpenMode::Read, options, DataFileNames().description);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return {};
    return file.error();
  }
  auto length = file->Size();
  if (!length.ok()) return length.error();
  if (*length / kReportRecordSize > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    return TooLarge(*length);
  }
  if (Status whole = files::CheckNotHollow(*file, kReportRecordSize, DataFileNames().description); !whole.ok()) {
    return whole;
  }
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
