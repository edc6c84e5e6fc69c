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

Result<ReportRecord> ReadReport(const files::DataFolder& folder, std::int32_t n) {
  DataFile data(folder.path(), folder.options());
  Status opened = data.OpenDataFile(DataFileAccess::Read);
  if (!opened.ok()) return opened.error();
  auto read = data.ReadRecord(n);
  (void)data.CloseDataFile();
  return read;
}

Result<StoredReport> ReadStoredReport(const files::DataFolder& folder, std::int32_t n) {
  DataFile data(folder.path(), folder.options());
  Status opened = data.OpenDataFile(DataFileAccess::Read);
  if (!opened.ok()) return opened.error();
  StoredReport stored;
  Status read = data.ReadRecordBytes(n, stored.bytes.data());
  (void)data.CloseDataFile();
  if (!read.ok()) return read.error();
  stored.report = DecodeReportRecord(stored.bytes.data());
  return stored;
}

Result<EditedReport> RewriteEditedReport(const files::DataFolder& folder, std::int32_t recordNumber,
                                         const RecordBytes& read, const std::function<void(ReportRecord&)>& change) {
  DataFile file(folder.path(), folder.options());
  Status opened = file.OpenDataFile(DataFileAccess::Write);
  if (!opened.ok()) return opened.error();
  EditedReport edited;
  auto found = file.FindRecord(recordNumber, read.data(), &edited.recordNumber);
  if (!found.ok() || *found == 0) {
    (void)file.CloseDataFile();
    if (!found.ok()) return found.error();
    return edited;
  }
  edited.recordNumber = *found;
  edited.report = DecodeReportRecord(read.data());
  change(edited.report);
  Status wrote = file.WriteRecord(*found, edited.report);
  Status closed = file.CloseDataFile();
  if (!wrote.ok()) return wrote.error();
  if (!closed.ok()) return closed.error();
  edited.written = true;
  return edited;
}

Result<ReportRecord> ChangeReport(const files::DataFolder& folder, const ReportIdentity& id,
                                  const std::function<void(ReportRecord&)>& change) {
  DataFile file(folder.path(), folder.options());
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

Result<MoveResult> MoveReport(const files::DataFolder& folder, const ReportIdentity& id, std::uint8_t list) {
  auto written = ChangeReport(folder, id, [list](ReportRecord& r) { r.ListStatus = list; });
  if (!written.ok()) return written.error();
  MoveResult moved{*written, std::nullopt, {}};
  if (list == kActiveList) {
    auto counts = CountReports(folder.path(), folder.options());
    if (counts.ok()) {
      moved.counts = *counts;
    } else {
      moved.countError = counts.message();
    }
  }
  return moved;
}

Result<ListCounts> DeleteReport(const files::DataFolder& folder, const ReportIdentity& id,
                                const logs::DeletionLog<ReportRecord>& log) {
  DataFile file(folder.path(), folder.options());
  Status checked = OpenChecked(file, id);
  if (!checked.ok()) return checked.error();
  auto original = file.ReadRecord(id.recordNumber);
  if (!original.ok()) return original.error();
  Status logged = log.Deleted(*original);
  if (!logged.ok()) return logged.error();
  ReportRecord marked = *original;
  marked.CaseNumber = std::string(kKilledMark);
  // A failed mark is put back by the write itself; a failed purge leaves
  // the file open, marked, and the mark is taken off here.
  Status failed = file.WriteRecord(id.recordNumber, marked);
  Status unmarked;
  if (failed.ok()) {
    auto left = file.PurgeKilledRecords();
    if (left.ok()) return left;
    failed = left.error();
    unmarked = file.WriteRecord(id.recordNumber, *original);
  }
  (void)file.CloseDataFile();
  if (!unmarked.ok()) {
    // The mark stays, so the report goes with the next purge from any
    // workstation: the "deleted" line will be true then.
    return Error{failed.error().kind, failed.message() +
                                          "\n\nThe report is marked \"$Killed$\" and will be removed by the "
                                          "next delete from any workstation (" +
                                          unmarked.message() + ")."};
  }
  Status noted = log.NotDeleted(*original);
  return Error{failed.error().kind, failed.message() + "\n\nThe report was not deleted; it is on file as it was." +
                                        (noted.ok() ? std::string() : " (" + noted.message() + ")")};
}

}  // namespace kestrova::reports
