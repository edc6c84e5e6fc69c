#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "core/files/data_folder.h"
#include "core/files/record_file.h"
#include "core/reports/report_record.h"
#include "core/status.h"

namespace kestrova::reports {

inline constexpr std::string_view kDataFileName = "Kestrova.Data";
inline constexpr std::string_view kTempFileName = files::kTempFileName;

using DataFileOptions = files::RecordFileOptions;
using DataFileAccess = files::RecordAccess;

struct ListCounts {
  std::int32_t ActiveCount = 0;
  std::int32_t InactiveCount = 0;
};

// The reports of one data folder: Kestrova.Data, record n (from 1) at
// bytes (n - 1) * 20001 up to n * 20001. A DataFile is opened, used and
// closed within one operation; it is never held open while a window waits.
class DataFile : public files::RecordFile {
 public:
  explicit DataFile(std::filesystem::path folder, DataFileOptions options = {});

  Status OpenDataFile(DataFileAccess access = DataFileAccess::Write) { return Open(access); }
  Status CloseDataFile() { return Close(); }

  Result<ReportRecord> ReadRecord(std::int32_t n) const;
  Status WriteRecord(std::int32_t n, const ReportRecord& record);

  // The stored record n must still be the report the caller read (same
  // control number and case number); another workstation's purge may have
  // moved a different report to that number since.
  Status CheckRecordIdentity(std::int32_t n, double controlNumber, std::string_view caseNumber) const;

  // Where the record whose stored bytes are `bytes` is now: at `hint` when
  // it is still there, else the nearest such record below it (a delete
  // elsewhere moves later reports down), else above it; 0 when no record
  // holds them. `sameControlAt` is set to the first record looked at that
  // has the same non-zero control number but other bytes (the report as
  // someone else changed it), 0 when none.
  Result<std::int32_t> FindRecord(std::int32_t hint, const char* bytes, std::int32_t* sameControlAt = nullptr) const;

  // Removes every record marked "$Killed$": the survivors are written in
  // order to TempFile.$$$, which replaces the data file once it is complete
  // and on disk. No survivors leaves no data file. Closes the data file on
  // success; on failure it is left as it was, open.
  Result<ListCounts> PurgeKilledRecords();

 protected:
  // Ours: the first report carries a current program version. A file that
  // is all older layout is left to the sign-in's upgrade.
  Status CheckOurs() const override;
};

// Appends one report in its own open-write-close bracket; returns its
// record number.
Result<std::int32_t> AppendReport(const files::DataFolder& folder, const ReportRecord& record);

// Purges in its own bracket.
Result<ListCounts> PurgeKilledRecords(const std::filesystem::path& folder, const DataFileOptions& options = {});

// Reads every whole record in file order, a block at a time; visit gets the
// record number and the record's 20001 stored bytes and returns false to
// stop. A missing data file has no records.
Status ScanRecords(const std::filesystem::path& folder, const std::function<bool(std::int32_t, const char*)>& visit,
                   const DataFileOptions& options = {});

// The last bytes of a record: ListStatus, then ProgramVersion.
inline constexpr std::size_t kRecordTail = 3;

// Reads only the first `prefix` bytes of every whole record and its tail,
// in file order, without reading the rest: visit gets the record number,
// those bytes and the kRecordTail bytes of its tail, and returns false to
// stop. A list needs a few members of each report, not 20001 bytes of it.
Status ScanRecordHeads(const std::filesystem::path& folder, std::size_t prefix,
                       const std::function<bool(std::int32_t, const char*, const char*)>& visit,
                       const DataFileOptions& options = {});

// Active and inactive reports as a full scan counts them.
Result<ListCounts> CountReports(const std::filesystem::path& folder, const DataFileOptions& options = {});

}  // namespace kestrova::reports
