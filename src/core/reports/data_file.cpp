#include "core/reports/data_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "core/text/fixed_text.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t kBlockRecords = 52;  // about a megabyte a read

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

Result<std::int32_t> AppendReport(const files::DataFolder& folder, const ReportRecord& record) {
  DataFile file(folder.path(), folder.options());
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

namespace {

// The data file opened for a scan, with its length; nothing when there is
// no data file.
Result<std::optional<files::File>> OpenForScan(const fs::path& folder, const DataFileOptions& options,
                                               std::uint64_t& length) {
  auto file = files::OpenWithRetry(folder / kDataFileName, files::OpenMode::Read, options, DataFileNames().description);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return std::optional<files::File>();
    return file.error();
  }
  // Asked first: on a share, reads stop at the length last seen, which may
  // be before another workstation's newest reports.
  auto size = file->Size();
  if (!size.ok()) return size.error();
  length = *size;
  if (length / kReportRecordSize > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    return TooLarge(length).error();
  }
  if (Status whole = files::CheckNotHollow(*file, kReportRecordSize, DataFileNames().description, length);
      !whole.ok()) {
    return whole.error();
  }
  return std::optional<files::File>(std::move(*file));
}

Status BecameShorter() {
  return Error{Error::Kind::Damaged, "The data file " + std::string(kDataFileName) +
                                         " became shorter while it was being read; "
                                         "another workstation may have removed reports. "
                                         "Refresh the list."};
}

// Every whole record in order, read a block at a time: blocks of about a
// megabyte keep a cold disk reading at its pace.
Status ScanBlocks(const files::File& file, const std::function<bool(std::int32_t, const char*)>& visit) {
  file.Advise(files::File::Access::Sequential);
  std::vector<char> block(kBlockRecords * kReportRecordSize);
  std::uint64_t offset = 0;
  std::int32_t n = 0;
  for (;;) {
    auto got = file.ReadSome(offset, block.data(), block.size());
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

}  // namespace

Status ScanRecords(const fs::path& folder, const std::function<bool(std::int32_t, const char*)>& visit,
                   const DataFileOptions& options) {
  std::uint64_t length = 0;
  auto file = OpenForScan(folder, options, length);
  if (!file.ok()) return file.error();
  if (!*file) return {};
  return ScanBlocks(**file, visit);
}

Status ScanRecordHeads(const fs::path& folder, std::size_t prefix,
                       const std::function<bool(std::int32_t, const char*, const char*)>& visit,
                       const DataFileOptions& options) {
  constexpr std::size_t kTailOffset = kReportRecordSize - kRecordTail;
  if (prefix > kTailOffset) prefix = kTailOffset;
  std::uint64_t length = 0;
  auto opened = OpenForScan(folder, options, length);
  if (!opened.ok()) return opened.error();
  if (!*opened) return {};
  const files::File& file = **opened;
  const auto records = static_cast<std::int32_t>(length / kReportRecordSize);
  if (records == 0) return {};
  if (prefix + kRecordTail > kReportRecordSize / 2) {
    // Most of every record: read them whole, in order.
    return ScanBlocks(file, [&](std::int32_t n, const char* record) {
      return n <= records && visit(n, record, record + kTailOffset);
    });
  }
  // A little of every record. Where the page cache holds it, one read per
  // record, of the tail of the record before (its list status and version)
  // and the head of this one, which lie side by side. Where it does not, a
  // disk would see reads that jump by a record and read one at a time: the
  // file from there on is asked for well ahead of the reading, so the disk
  // reads it at its pace and is never idle, and the records not yet in the
  // cache are read whole, a block at a time.
  const std::size_t span = kRecordTail + prefix;
  const auto startOf = [&](std::int32_t n) {
    return n == 1 ? std::uint64_t{0} : static_cast<std::uint64_t>(n - 1) * kReportRecordSize - kRecordTail;
  };
  // Record 1 has no record before it; "record records + 1" stands for the
  // tail of the last one.
  const auto sizeOf = [&](std::int32_t n) { return n == 1 ? prefix : n > records ? kRecordTail : span; };
  constexpr std::uint64_t kAhead = 8u << 20;
  std::optional<std::uint64_t> askedUpTo;  // once a head was not in the cache
  const auto askAhead = [&](std::uint64_t from) {
    if (!askedUpTo) askedUpTo = from;
    while (*askedUpTo < std::min(length, from + kAhead / 2)) {
      file.Advise(files::File::Access::WillNeed, *askedUpTo, kAhead);
      *askedUpTo += kAhead;
    }
  };
  std::vector<char> one(span);
  std::vector<char> block;
  std::int32_t blockFirst = 0, blockEnd = 0;  // the records whose spans the block holds
  std::vector<char> previous(span);           // the span of the record before
  for (std::int32_t n = 1; n <= records + 1; ++n) {
    if (askedUpTo) askAhead(startOf(n));
    const char* at = nullptr;
    if (n < blockEnd) {
      at = block.data() + (startOf(n) - startOf(blockFirst));
    } else if (file.ReadCached(startOf(n), one.data(), sizeOf(n))) {
      at = one.data();
    } else {
      askAhead(startOf(n));
      blockFirst = n;
      blockEnd = std::min<std::int32_t>(records + 1, n + static_cast<std::int32_t>(kBlockRecords) - 1) + 1;
      const std::uint64_t from = startOf(n);
      const std::size_t size = static_cast<std::size_t>(startOf(blockEnd - 1) + sizeOf(blockEnd - 1) - from);
      block.resize(size);
      auto got = file.ReadSome(from, block.data(), size);
      if (!got.ok()) return got.error();
      if (*got < size) return BecameShorter();
      at = block.data();
    }
    if (n == 1) {
      std::memcpy(previous.data() + kRecordTail, at, prefix);
      continue;
    }
    if (!visit(n - 1, previous.data() + kRecordTail, at)) return {};
    if (n <= records) std::memcpy(previous.data(), at, span);
  }
  return {};
}

Result<ListCounts> CountReports(const fs::path& folder, const DataFileOptions& options) {
  ListCounts counts;
  Status scanned = ScanRecordHeads(
      folder, 0,
      [&](std::int32_t, const char*, const char* tail) {
        if (static_cast<std::uint8_t>(tail[0]) == kInactiveList) {
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
