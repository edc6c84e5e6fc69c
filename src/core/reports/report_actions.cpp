#include "core/reports/report_actions.h"

namespace kestrova::reports {
namespace {

// Opens for writing and checks the identity; the file stays open on success.
Status OpenChecked(DataFile& file, const ReportIdentity& id) {
  Status opened = file.OpenDataFile(DataFileAccess::Write);
  if (!opened.ok()) return opened;
  Status same = file.CheckRecordIdentity(id.recordNumber, id.controlNumber, id.caseNumber);
  if (!same.ok()) (void)file.CloseDataFile();
  return same;
}

}  // namespace

Result<ReportRecord> ReadReport(const std::filesystem::path& folder, std::int32_t n, const DataFileOptions& options) {
  DataFile data(folder, options);
  Status opened = data.OpenDataFile(DataFileAccess::Read);
  if (!opened.ok()) return opened.error();
  auto read = data.ReadRecord(n);
  (void)data.CloseDataFile();
  return read;
}

Result<ReportRecord> ChangeReport(const std::filesystem::path& folder, const ReportIdentity& id,
                                  const std::function<void(ReportRecord&)>& change,
                                  const DataFileOptions& options) {
  DataFile file(folder, options);
  Status checked = OpenChecked(file, id);
  if (!checked.ok()) return checked.error();
  auto record = file.ReadRecord(id.recordNumber);
  if (!record.ok()) return record.error();
  change(*record);
  Status wrote = file.WriteRecord(id.recordNumber, *record);
  Status closed = file.CloseDataFile();
  if (!wrote.ok()) return wrote.error();
  if (!closed.ok()) return closed.error();
  return *record;
}

Result<MoveResult> MoveReport(const std::filesystem::path& folder, const ReportIdentity& id,
                              std::uint8_t list, const DataFileOptions& options) {
  auto written = ChangeReport(folder, id, [list](ReportRecord& r) { r.ListStatus = list; }, options);
  if (!written.ok()) return written.error();
  MoveResult moved{*written, std::nullopt, {}};
  if (list == kActiveList) {
    auto counts = CountReports(folder, options);
    if (counts.ok()) {
      moved.counts = *counts;
    } else {
      moved.countError = counts.message();
    }
  }
  return moved;
}

Result<ListCounts> DeleteReport(const std::filesystem::path& folder, const ReportIdentity& id,
                                const std::function<Status(const ReportRecord&)>& logDeleted,
                                const DataFileOptions& options) {
  DataFile file(folder, options);
  Status checked = OpenChecked(file, id);
  if (!checked.ok()) return checked.error();
  auto record = file.ReadRecord(id.recordNumber);
  if (!record.ok()) return record.error();
  if (logDeleted) {
    Status logged = logDeleted(*record);
    if (!logged.ok()) return logged.error();
  }
  record->CaseNumber = std::string(kKilledMark);
  Status marked = file.WriteRecord(id.recordNumber, *record);
  if (!marked.ok()) return marked.error();
  return file.PurgeKilledRecords();
}

}  // namespace kestrova::reports
