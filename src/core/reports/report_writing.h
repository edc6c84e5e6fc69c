#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/files/data_folder.h"
#include "core/reports/report_actions.h"
#include "core/reports/report_entry.h"
#include "core/reports/report_record.h"
#include "core/status.h"
#include "core/time/ole_date.h"

// Writing reports as a user does: from the form's texts and pictures to the
// record on file and its log line. The main window asks and shows; the
// command-line tool and the tests call the same steps.
namespace kestrova::reports {

// Who writes: the data folder, the clock that dates the report and its log
// line, and the user signed in, whom the log line names.
struct Author {
  const files::DataFolder& folder;
  const time::Clock& clock;
  std::string userName;
};

// A report saved: as written, where it went, and whether its log line was
// written (the save stands either way).
struct SavedReport {
  ReportRecord report;
  std::int32_t recordNumber = 0;
  Status logged;
};

// The picture names an edit saves: a slot the user changed takes its new
// name, a slot left alone keeps what `into` holds, byte for byte.
using ChangedPictures = std::array<std::optional<std::string>, 3>;
void TakeChangedPictures(ReportRecord& into, const ChangedPictures& changed);

// A new report: the form's texts and pictures, a control number from the
// clock, on the Active List, in this program's layout; appended at the end
// of the file as it is now, then logged "added".
Result<SavedReport> AddReport(const Author& author, const FieldTexts46& texts,
                              const std::array<std::string, 3>& pictures);

// An edit's save. The report is the one read as `read` (its stored bytes,
// listed at `listed`); only the fields whose text differs from `before`
// change, the pictures as TakeChangedPictures says. It is written where
// those bytes are now (RewriteEditedReport) and logged "edited". When no
// record holds them the report was changed or deleted elsewhere:
// `edited.written` is false and nothing is written or logged.
struct EditToSave {
  std::int32_t listed = 0;
  RecordBytes read{};
  FieldTexts46 before;
  FieldTexts46 texts;
  ChangedPictures pictures;
};
struct SavedEdit {
  EditedReport edited;
  Status logged;
};
Result<SavedEdit> SaveEdit(const Author& author, const EditToSave& edit);

// An edit kept as a new report, once its report was changed elsewhere: the
// texts as they stand, the pictures the edit changed over those `shown`,
// added as AddReport adds.
Result<SavedReport> SaveEditAsNew(const Author& author, const FieldTexts46& texts, const ChangedPictures& pictures,
                                  const ReportRecord& shown);

}  // namespace kestrova::reports
