#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/reports/report_record.h"
#include "core/status.h"
#include "core/time/ole_date.h"

// The activity logs: one CR LF line per call, Windows-1252, each beginning
// "mm/dd/yyyy at hh:nn:ss". Between writes a log is read-only on disk.
namespace kestrova::logs {

inline constexpr std::string_view kSignInOutLog = "SignInOut.Log";
inline constexpr std::string_view kUserListLog = "UserList.Log";
inline constexpr std::string_view kDataRecordsLog = "DataRecords.Log";
inline constexpr std::string_view kSearchLog = "Search.Log";

// Sign-in actions.
inline constexpr int kIncorrectPassword = 0;
inline constexpr int kSignedIn = 1;
inline constexpr int kSignedOut = 2;
// User list and report actions.
inline constexpr int kAdded = 3;
inline constexpr int kEdited = 4;
inline constexpr int kDeleted = 5;
inline constexpr int kArchived = 6;
inline constexpr int kRestored = 7;

// "12/06/2026 at 14:05:09"
std::string TimeStamp(const time::DateTime& now);

// "Control#20261206140955" for a control number from 7 May 1990 on (date
// serial 33000), else "Case#" and the case number without trailing blanks.
std::string ReportIdentity(double controlNumber, std::string_view caseNumber);

// The lines themselves.
std::string SignInOutLine(const time::DateTime& now, int action, std::string_view userName,
                          int accessLevel);
std::string UserListLine(const time::DateTime& now, int action, std::string_view userName);
std::string RecordChangeLine(const time::DateTime& now, int action, double controlNumber,
                             std::string_view caseNumber, std::string_view userName);
std::string SearchLine(const time::DateTime& now, std::string_view userName,
                       std::string_view description);

// The writers: each appends one line to its log in the folder. A log that
// cannot be written is an error; no other file is touched.
Status LogSignInOut(const std::filesystem::path& folder, const time::DateTime& now, int action,
                    std::string_view currentUserName, int currentAccessLevel);
Status LogUserListChange(const std::filesystem::path& folder, const time::DateTime& now, int action,
                         std::string_view userName);
Status LogRecordChange(const std::filesystem::path& folder, const time::DateTime& now, int action,
                       const reports::ReportRecord& report, std::string_view currentUserName);
Status LogSearch(const std::filesystem::path& folder, const time::DateTime& now,
                 std::string_view currentUserName, std::string_view description);

// Appends one line (given in UTF-8) to a log: control characters become
// blanks so the line stays one line; the write permission is given back for
// the write and taken away again afterwards.
Status AppendLogLine(const std::filesystem::path& folder, std::string_view logName,
                     std::string_view line);

// A whole log as UTF-8 text, for the viewer. A missing log is NotFound.
Result<std::string> ReadLog(const std::filesystem::path& folder, std::string_view logName);

}  // namespace kestrova::logs
