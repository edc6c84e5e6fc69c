#include "core/logs/activity_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "core/files/file.h"
#include "core/startup/file_set.h"
#include "core/text/win1252.h"
#include "core/time/date_format.h"

namespace kestrova::logs {
namespace {

namespace fs = std::filesystem;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

std::string Prefix(const time::DateTime& now) { return TimeStamp(now) + " - "; }

// Control characters (a pasted line break, a tab) would break the line or
// the viewer's reading of it.
std::string OneLine(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) c = ' ';
  }
  return out;
}

void TakeWriteAway(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) ::chmod(path.c_str(), st.st_mode & ~kWriteBits & 07777);
}

void GiveWriteBack(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  // Owner and group may write, as the folder's other files; errors are
  // ignored (the open below says whether it worked).
  ::chmod(path.c_str(), (st.st_mode | S_IWUSR | S_IWGRP) & 07777);
}

}  // namespace

std::string TimeStamp(const time::DateTime& now) {
  return time::FormatDateTime(now, time::kDateFormat) + " at " +
         time::FormatDateTime(now, time::kTimeFormat);
}

std::string ReportIdentity(double controlNumber, std::string_view caseNumber) {
  if (controlNumber >= 33000) {
    if (const auto text = time::FormatOleDate(controlNumber, time::kControlNumberFormat)) {
      return "Control#" + *text;
    }
  }
  std::string_view trimmed = caseNumber;
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  return "Case#" + std::string(trimmed);
}

std::string SignInOutLine(const time::DateTime& now, int action, std::string_view userName,
                          int accessLevel) {
  std::string line = Prefix(now) + std::string(userName);
  switch (action) {
    case kIncorrectPassword: return line + " - Incorrect password submitted";
    case kSignedIn:
      return line + " signed in w/ " + std::string(startup::AccessLevelName(accessLevel)) +
             " privileges";
    default: return line + " signed out";
  }
}

std::string UserListLine(const time::DateTime& now, int action, std::string_view userName) {
  const char* verb = action == kAdded ? "added to" : action == kEdited ? "edited in" : "deleted from";
  return Prefix(now) + "'" + std::string(userName) + "' " + verb + " the 'User List'";
}

std::string RecordChangeLine(const time::DateTime& now, int action, double controlNumber,
                             std::string_view caseNumber, std::string_view userName) {
  static constexpr const char* kVerbs[] = {"added", "edited", "deleted", "archived", "restored"};
  const char* verb = action >= kAdded && action <= kRestored ? kVerbs[action - kAdded] : "changed";
  return Prefix(now) + ReportIdentity(controlNumber, caseNumber) + " " + verb + " by " +
         std::string(userName);
}

std::string SearchLine(const time::DateTime& now, std::string_view userName,
                       std::string_view description) {
  return Prefix(now) + std::string(userName) + " searched for " + std::string(description);
}

Status AppendLogLine(const fs::path& folder, std::string_view logName, std::string_view line) {
  const fs::path path = folder / logName;
  const std::string bytes = text::Utf8ToWin1252(OneLine(line)) + "\r\n";
  // Another workstation may hold the log writable-then-read-only around its
  // own write; a refused open is tried again for a moment.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int fd = -1;
  int error = 0;
  for (;;) {
    GiveWriteBack(path);
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0664);
    if (fd >= 0) break;
    error = errno;
    if ((error != EACCES && error != EPERM && error != EROFS) ||
        std::chrono::steady_clock::now() >= deadline) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (fd < 0) {
    return Error{Error::Kind::Io, "The activity log " + std::string(logName) +
                                      " could not be written: " + files::SystemErrorText(error)};
  }
  // One write call, so lines from several workstations do not interleave.
  const ssize_t written = ::write(fd, bytes.data(), bytes.size());
  const int writeError = errno;
  const int closed = ::close(fd);
  TakeWriteAway(path);
  if (written != static_cast<ssize_t>(bytes.size()) || closed != 0) {
    return Error{Error::Kind::Io, "The activity log " + std::string(logName) +
                                      " could not be written: " +
                                      files::SystemErrorText(written < 0 ? writeError : EIO)};
  }
  return {};
}

Status LogSignInOut(const fs::path& folder, const time::DateTime& now, int action,
                    std::string_view currentUserName, int currentAccessLevel) {
  return AppendLogLine(folder, kSignInOutLog,
                       SignInOutLine(now, action, currentUserName, currentAccessLevel));
}

Status LogUserListChange(const fs::path& folder, const time::DateTime& now, int action,
                         std::string_view userName) {
  return AppendLogLine(folder, kUserListLog, UserListLine(now, action, userName));
}

Status LogRecordChange(const fs::path& folder, const time::DateTime& now, int action,
                       const reports::ReportRecord& report, std::string_view currentUserName) {
  return AppendLogLine(folder, kDataRecordsLog,
                       RecordChangeLine(now, action, report.ControlNumber, report.CaseNumber,
                                        currentUserName));
}

Status LogSearch(const fs::path& folder, const time::DateTime& now,
                 std::string_view currentUserName, std::string_view description) {
  return AppendLogLine(folder, kSearchLog, SearchLine(now, currentUserName, description));
}

Result<std::string> ReadLog(const fs::path& folder, std::string_view logName) {
  auto file = files::File::Open(folder / logName, files::OpenMode::Read);
  if (!file.ok()) return file.error();
  auto size = file->Size();
  if (!size.ok()) return size.error();
  std::string bytes(static_cast<std::size_t>(*size), '\0');
  auto got = file->ReadSome(0, bytes.data(), bytes.size());
  if (!got.ok()) return got.error();
  bytes.resize(*got);
  return text::Win1252ToUtf8(bytes);
}

}  // namespace kestrova::logs
