#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "core/files/file.h"
#include "core/files/folder_lock.h"
#include "core/reports/report_record.h"
#include "core/status.h"

namespace kestrova::reports {

inline constexpr std::string_view kDataFileName = "Kestrova.Data";
inline constexpr std::string_view kTempFileName = "TempFile.$$$";

struct DataFileOptions {
  // A failing open is retried silently for this long, then reported.
  std::chrono::milliseconds retryFor{4000};
  std::chrono::milliseconds retryEvery{50};
  files::LockOptions lock;
};

enum class DataFileAccess {
  Read,   // a missing file reads as no reports and is not created
  Write,  // takes the folder's write lock; a missing file is created empty
};

struct ListCounts {
  std::int32_t ActiveCount = 0;
  std::int32_t InactiveCount = 0;
};

// The reports of one data folder: Kestrova.Data, record n (from 1) at
// bytes (n - 1) * 20001 up to n * 20001. A DataFile is opened, used and
// closed within one operation; it is never held open while a window waits.
class DataFile {
 public:
  explicit DataFile(std::filesystem::path folder, DataFileOptions options = {});
  ~DataFile();
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  Status OpenDataFile(DataFileAccess access = DataFileAccess::Write);
  // Flushes what was written to the disk and releases the write lock. An
  // error here means the writes may not have reached the disk.
  Status CloseDataFile();

  bool IsOpen() const { return open_; }
  // The number of records at the last open (the length / 20001, rounded).
  std::int32_t RecordCount() const { return recordCount_; }
  // False when the length is not a whole number of records: such a file is
  // read as far as it goes but never written.
  bool HasWholeRecords() const { return length_ % kReportRecordSize == 0; }
  std::uint64_t Length() const { return length_; }

  Result<ReportRecord> ReadRecord(std::int32_t n) const;
  Status ReadRecordBytes(std::int32_t n, char* dest) const;
  // Writes record n; n = RecordCount() + 1 appends.
  Status WriteRecord(std::int32_t n, const ReportRecord& record);
  Status WriteRecordBytes(std::int32_t n, const char* src);

  // The stored record n must still be the report the caller read (same
  // control number and case number); another workstation's purge may have
  // moved a different report to that number since.
  Status CheckRecordIdentity(std::int32_t n, double controlNumber,
                             std::string_view caseNumber) const;

  // Removes every record marked "$Killed$": the survivors are written in
  // order to TempFile.$$$, which replaces the data file once it is complete
  // and on disk. No survivors leaves no data file. Closes the data file.
  Result<ListCounts> PurgeKilledRecords();

  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path Path() const { return folder_ / kDataFileName; }

 private:
  Status CheckWritable(std::int32_t n) const;
  Status DamagedError() const;

  std::filesystem::path folder_;
  DataFileOptions options_;
  files::File file_;
  files::FolderLock lock_;
  bool open_ = false;
  bool written_ = false;
  DataFileAccess access_ = DataFileAccess::Read;
  std::uint64_t length_ = 0;
  std::int32_t recordCount_ = 0;
};

// Appends one report in its own open-write-close bracket; returns its
// record number.
Result<std::int32_t> AppendReport(const std::filesystem::path& folder, const ReportRecord& record,
                                  const DataFileOptions& options = {});

// Purges in its own bracket.
Result<ListCounts> PurgeKilledRecords(const std::filesystem::path& folder,
                                      const DataFileOptions& options = {});

// Reads every whole record in file order, a block at a time; visit gets the
// record number and the record's 20001 stored bytes and returns false to
// stop. A missing data file has no records.
Status ScanRecords(const std::filesystem::path& folder,
                   const std::function<bool(std::int32_t, const char*)>& visit,
                   const DataFileOptions& options = {});

// Active and inactive reports as a full scan counts them.
Result<ListCounts> CountReports(const std::filesystem::path& folder,
                                const DataFileOptions& options = {});

}  // namespace kestrova::reports
