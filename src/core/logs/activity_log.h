#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/reports/report_record.h"
#include "core/status.h"
#include "core/time/ole_date.h"
#include "core/users/sign_in.h"

// The activity logs: one CR LF line per call, Windows-1252, each beginning
// "mm/dd/yyyy at hh:nn:ss". Logs are never made read-only: the folder's own
// permissions say who may write them, and every account that may write the
// folder must be able to log.
namespace kestrova::logs {

inline constexpr std::string_view kSignInOutLog = "SignInOut.Log";
inline constexpr std::string_view kUserListLog = "UserList.Log";
inline constexpr std::string_view kDataRecordsLog = "DataRecords.Log";
inline constexpr std::string_view kSearchLog = "Search.Log";

// What a log line says was done, by its number.
enum class LogAction : int {
  IncorrectPassword = 0,
  SignedIn = 1,
  SignedOut = 2,
  Added = 3,
  Edited = 4,
  Deleted = 5,
  Archived = 6,
  Restored = 7,
  NotDeleted = 8,
};
// Sign-in actions.
inline constexpr LogAction kIncorrectPassword = LogAction::IncorrectPassword;
inline constexpr LogAction kSignedIn = LogAction::SignedIn;
inline constexpr LogAction kSignedOut = LogAction::SignedOut;
// User list and report actions.
inline constexpr LogAction kAdded = LogAction::Added;
inline constexpr LogAction kEdited = LogAction::Edited;
inline constexpr LogAction kDeleted = LogAction::Deleted;
inline constexpr LogAction kArchived = LogAction::Archived;
inline constexpr LogAction kRestored = LogAction::Restored;
// A deletion that failed after its "deleted" line was written.
inline constexpr LogAction kNotDeleted = LogAction::NotDeleted;

// "12/06/2026 at 14:05:09"
std::string TimeStamp(const time::DateTime& now);

// "Control#20261206140955" for a control number from 7 May 1990 on (date
// serial 33000), else "Case#" and the case number without trailing blanks.
std::string ReportIdentity(double controlNumber, std::string_view caseNumber);

// The lines themselves.
std::string SignInOutLine(const time::DateTime& now, LogAction action, std::string_view userName,
                          users::AccessLevel accessLevel);
std::string UserListLine(const time::DateTime& now, LogAction action, std::string_view userName);
std::string RecordChangeLine(const time::DateTime& now, LogAction action, double controlNumber,
                             std::string_view caseNumber, std::string_view userName);
std::string SearchLine(const time::DateTime& now, std::string_view userName, std::string_view description);

// The writers: each appends one line to its log in the folder. A log that
// cannot be written is an error; no other file is touched.
Status LogSignInOut(const std::filesystem::path& folder, const time::DateTime& now, LogAction action,
                    std::string_view currentUserName, users::AccessLevel currentAccessLevel);
Status LogUserListChange(const std::filesystem::path& folder, const time::DateTime& now, LogAction action,
                         std::string_view userName);
Status LogRecordChange(const std::filesystem::path& folder, const time::DateTime& now, LogAction action,
                       const reports::ReportRecord& report, std::string_view currentUserName);
Status LogSearch(const std::filesystem::path& folder, const time::DateTime& now, std::string_view currentUserName,
                 std::string_view description);

// Appends one line (given in UTF-8) to a log: control characters become
// blanks so the line stays one line. Logs take no lock where the folder's
// file system honours append mode; where it does not, the line goes at the
// end under the folder's lock. A line cut short by a full disk is ended
// there, never cut back (another line may follow it already), and the next
// line starts on a line of its own. A log removed while it was written
// (another workstation's sweep of empty files) gets the line again.
Status AppendLogLine(const std::filesystem::path& folder, std::string_view logName, std::string_view line);

// The part of a log that is shown: all of it, or for one larger than
// kLogViewBytes its newest lines (those starting in its last kLogViewBytes),
// as UTF-8. Reading never changes the log. A missing log is NotFound.
inline constexpr std::uint64_t kLogViewBytes = 8ull << 20;
struct LogTail {
  std::string text;
  std::uint64_t logBytes = 0;  // the whole log's length
  bool cut = false;            // only its newest lines
};
Result<LogTail> ReadLogTail(const std::filesystem::path& folder, std::string_view logName);
// The line that says a log is shown cut, without its line end.
std::string LogCutNote(std::uint64_t logBytes);
// A log as UTF-8 text: the tail above, after the note when it is cut.
Result<std::string> ReadLog(const std::filesystem::path& folder, std::string_view logName);

// A whole log of any size, as UTF-8 text in pieces of at most
// kLogPieceBytes bytes; visit returns false to stop.
inline constexpr std::size_t kLogPieceBytes = 64 << 10;
Status ReadLogPieces(const std::filesystem::path& folder, std::string_view logName,
                     const std::function<bool(std::string_view)>& visit);

}  // namespace kestrova::logs
