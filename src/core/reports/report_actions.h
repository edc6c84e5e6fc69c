#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/files/data_folder.h"
#include "core/logs/deletion_log.h"
#include "core/reports/data_file.h"
#include "core/reports/report_record.h"
#include "core/status.h"

// The writes of the report commands: each in its own locked bracket, and
// each refused when the record at the list's number is no longer the
// report on display (another workstation deleted or changed reports). Each
// takes the data folder, whose options say who is told of waits, repairs
// and this workstation's writes.
namespace kestrova::reports {

// Which report the window means: where the list says it is, and what it
// was when it was read.
struct ReportIdentity {
  std::int32_t recordNumber = 0;
  double controlNumber = 0;
  std::string caseNumber;
};

// Reads report n as it is on file now.
Result<ReportRecord> ReadReport(const files::DataFolder& folder, std::int32_t n);

// Report n and its stored bytes, which an edit later looks for.
struct StoredReport {
  ReportRecord report;
  RecordBytes bytes;
};
Result<StoredReport> ReadStoredReport(const files::DataFolder& folder, std::int32_t n);

// An edit follows its report, not its record number: under the lock the
// record whose bytes are still `read` (at `recordNumber` first, then
// elsewhere in the file) gets the change. When no record holds them the
// report was deleted or changed elsewhere meanwhile and nothing is written.
struct EditedReport {
  bool written = false;
  ReportRecord report;            // as written
  std::int32_t recordNumber = 0;  // where it was written; when refused, where
                                  // the report with its control number is now (0: none)
};
Result<EditedReport> RewriteEditedReport(const files::DataFolder& folder, std::int32_t recordNumber,
                                         const RecordBytes& read, const std::function<void(ReportRecord&)>& change);

// Rewrites the record: `change` gets the stored report and changes it.
// Returns the report as written.
Result<ReportRecord> ChangeReport(const files::DataFolder& folder, const ReportIdentity& identity,
                                  const std::function<void(ReportRecord&)>& change);

// Moves the report to a list (kActiveList, kInactiveList). A restore to the
// Active List counts both lists afterwards; an archive does not. The move
// stands even when the count fails: `countError` then says why.
struct MoveResult {
  ReportRecord report;
  std::optional<ListCounts> counts;
  std::string countError;
};
Result<MoveResult> MoveReport(const files::DataFolder& folder, const ReportIdentity& identity, std::uint8_t list);

// Deletes the report: the "deleted" line is logged with the report before
// it is marked (a failed log stops the deletion), then the file is
// rewritten without it. A rewrite that fails takes the mark off again and
// logs "not deleted", and its message says so. Returns the counts of what
// remains.
Result<ListCounts> DeleteReport(const files::DataFolder& folder, const ReportIdentity& identity,
                                const logs::DeletionLog<ReportRecord>& log);

}  // namespace kestrova::reports
