#include "core/reports/report_writing.h"

#include "core/logs/activity_log.h"

namespace kestrova::reports {
namespace {

Result<SavedReport> Append(const Author& author, ReportRecord report) {
  report.ListStatus = kActiveList;
  report.ProgramVersion = CurrentProgramVersion();
  // Appended under the folder's lock at the end of the file as it is now.
  auto n = AppendReport(author.folder, report);
  if (!n.ok()) return n.error();
  Status logged = logs::LogRecordChange(author.folder, author.clock.Now(), logs::kAdded, report, author.userName);
  return SavedReport{std::move(report), *n, std::move(logged)};
}

ReportRecord FromTexts(const FieldTexts46& texts, const time::DateTime& now) {
  ReportRecord report;
  report.ControlNumber = time::ToOleDate(now);
  FillFromFields(texts, now.year, report);
  return report;
}

}  // namespace

void TakeChangedPictures(ReportRecord& into, const ChangedPictures& changed) {
  std::string* members[] = {&into.Picture1, &into.Picture2, &into.Picture3};
  for (std::size_t i = 0; i < changed.size(); ++i) {
    if (changed[i]) *members[i] = *changed[i];
  }
}

Result<SavedReport> AddReport(const Author& author, const FieldTexts46& texts,
                              const std::array<std::string, 3>& pictures) {
  ReportRecord report = FromTexts(texts, author.clock.Now());
  report.Picture1 = pictures[0];
  report.Picture2 = pictures[1];
  report.Picture3 = pictures[2];
  return Append(author, std::move(report));
}

Result<SavedEdit> SaveEdit(const Author& author, const EditToSave& edit) {
  const int year = author.clock.Now().year;
  auto written = RewriteEditedReport(author.folder, edit.listed, edit.read, [&](ReportRecord& r) {
    FillChangedFields(edit.before, edit.texts, year, r);
    TakeChangedPictures(r, edit.pictures);
  });
  if (!written.ok()) return written.error();
  SavedEdit saved{*written, {}};
  if (saved.edited.written) {
    saved.logged =
        logs::LogRecordChange(author.folder, author.clock.Now(), logs::kEdited, saved.edited.report, author.userName);
  }
  return saved;
}

Result<SavedReport> SaveEditAsNew(const Author& author, const FieldTexts46& texts, const ChangedPictures& pictures,
                                  const ReportRecord& shown) {
  ReportRecord report = FromTexts(texts, author.clock.Now());
  report.Picture1 = shown.Picture1;
  report.Picture2 = shown.Picture2;
  report.Picture3 = shown.Picture3;
  TakeChangedPictures(report, pictures);
  return Append(author, std::move(report));
}

}  // namespace kestrova::reports
