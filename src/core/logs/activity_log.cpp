#include "core/logs/activity_log.h"

#include <cerrno>
#include <optional>

#include "core/files/file.h"
#include "core/files/file_system.h"
#include "core/files/folder_lock.h"
#include "core/startup/file_set.h"
#include "core/text/win1252.h"
#include "core/time/date_format.h"

namespace kestrova::logs {
namespace {

namespace fs = std::filesystem;

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

}  // namespace

std::string TimeStamp(const time::DateTime& now) {
  return time::FormatDateTime(now, time::kDateFormat) + " at " + time::FormatDateTime(now, time::kTimeFormat);
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

std::string SignInOutLine(const time::DateTime& now, LogAction action, std::string_view userName,
                          users::AccessLevel accessLevel) {
  std::string line = Prefix(now) + std::string(userName);
  switch (action) {
    case kIncorrectPassword: return line + " - Incorrect password submitted";
    case kSignedIn: return line + " signed in w/ " + std::string(startup::AccessLevelName(accessLevel)) + " privileges";
    default: return line + " signed out";
  }
}

std::string UserListLine(const time::DateTime& now, LogAction action, std::string_view userName) {
  if (action == kNotDeleted) {
    return Prefix(now) + "'" + std::string(userName) +
           "' not deleted from the 'User List' (the deletion failed; the user was kept)";
  }
  const char* verb = action == kAdded ? "added to" : action == kEdited ? "edited in" : "deleted from";
  return Prefix(now) + "'" + std::string(userName) + "' " + verb + " the 'User List'";
}

std::string RecordChangeLine(const time::DateTime& now, LogAction action, double controlNumber,
                             std::string_view caseNumber, std::string_view userName) {
  if (action == kNotDeleted) {
    return Prefix(now) + ReportIdentity(controlNumber, caseNumber) + " not deleted by " + std::string(userName) +
           " (the deletion failed; the report was kept)";
  }
  const char* verb = action == kAdded      ? "added"
                     : action == kEdited   ? "edited"
                     : action == kDeleted  ? "deleted"
                     : action == kArchived ? "archived"
                     : action == kRestored ? "restored"
                                           : "changed";
  return Prefix(now) + ReportIdentity(controlNumber, caseNumber) + " " + verb + " by " + std::string(userName);
}

std::string SearchLine(const time::DateTime& now, std::string_view userName, std::string_view description) {
  return Prefix(now) + std::string(userName) + " searched for " + std::string(description);
}

namespace {

// One try at writing the line at the end of an open log. `atEnd` is the
// log's length when the file was opened under the folder's lock (a share
// without append mode), nothing when the file is in append mode.
struct Try {
  Status status;
  bool again = false;  // the log was removed or replaced meanwhile: write the line anew
};

Try WriteAtEnd(files::File& file, std::string bytes, std::optional<std::uint64_t> atEnd, const std::string& logName) {
  const auto failed = [&](const std::string& why) {
    return Try{Error{Error::Kind::Io, "The activity log " + logName + " could not be written: " + why}, false};
  };
  auto size = file.Size();
  if (!size.ok()) return failed(size.message() + ".");
  // A line cut short earlier (a full disk) is ended first, so this one
  // starts on a line of its own.
  if (*size > 0) {
    char last = '\n';
    if (auto got = file.ReadSome(*size - 1, &last, 1); got.ok() && *got == 1 && last != '\n') bytes = "\r\n" + bytes;
  }
  std::size_t written = 0;
  Status wrote;
  if (atEnd) {
    const std::uint64_t end = *size;
    wrote = file.WriteAt(end, bytes.data(), bytes.size());
    if (!wrote.ok()) {
      auto now = file.Size();
      written = now.ok() && *now > end ? static_cast<std::size_t>(*now - end) : 0;
    } else {
      written = bytes.size();
    }
  } else {
    auto appended = file.AppendOnce(bytes.data(), bytes.size());
    if (!appended.ok()) {
      wrote = appended.error();
    } else {
      written = appended->bytes;
      if (written < bytes.size()) wrote = Error{Error::Kind::Io, files::SystemErrorText(ENOSPC)};
    }
  }
  if (!wrote.ok()) {
    std::string why = wrote.message();
    if (why.find(files::SystemErrorText(ENOSPC)) != std::string::npos) why = files::SystemErrorText(ENOSPC);
    if (written == 0) {
      // Nothing went in: a log this call created is not left behind empty.
      if (file.created() && file.StillNamed()) {
        auto now = file.Size();
        (void)file.Close();
        if (now.ok() && *now == 0) (void)files::RemoveFile(file.path());
      }
      return failed(why + "; the line was not written.");
    }
    // Part of the line went in. It is never cut back out (another
    // workstation may have appended after it); it is ended instead, here
    // or by the next line written.
    if (atEnd) {
      auto now = file.Size();
      if (now.ok()) (void)file.WriteAt(*now, "\r\n", 2);
    } else {
      (void)file.AppendOnce("\r\n", 2);
    }
    return failed(why + "; only the beginning of the line was written, and it was ended there.");
  }
  // The exit's sweep of empty files on another workstation may have removed
  // a log just created here: then the line went nowhere, and goes again.
  if (!file.StillNamed()) return Try{{}, true};
  Status closed = file.Close();
  if (!closed.ok()) return failed(closed.message() + ".");
  return {};
}

}  // namespace

Status AppendLogLine(const fs::path& folder, std::string_view logName, std::string_view line) {
  const fs::path path = folder / logName;
  const std::string name(logName);
  const std::string bytes = text::Utf8ToWin1252(OneLine(line)) + "\r\n";
  const auto failed = [&](const std::string& why) {
    return Error{Error::Kind::Io, "The activity log " + name + " could not be written: " + why};
  };
  files::ClearOldReadOnlyMark(path);
  for (int attempt = 0; attempt < 5; ++attempt) {
    Try done;
    if (files::TraitsOf(folder).append.value_or(true)) {
      // Never through a link and only a plain file: a log must not write to
      // anything outside the folder, nor wait on a pipe.
      auto file = files::File::Open(path, files::OpenMode::Append);
      if (!file.ok()) {
        if (file.error().kind != Error::Kind::Io) return failed(file.message());
        // A share that refuses append mode (with EIO) opens the file otherwise.
        auto plain = files::File::Open(path, files::OpenMode::CreateReadWrite);
        if (!plain.ok()) return failed(file.message());
        files::RememberAppend(folder, false);
        continue;
      }
      files::RememberAppend(folder, true);
      done = WriteAtEnd(*file, bytes, std::nullopt, name);
    } else {
      // Without append mode the line goes at the end under the folder's
      // lock, so two workstations never write at one end: the caller's lock
      // when it holds one (a deletion logs while it holds it), else our own.
      std::optional<files::FolderLock> own;
      if (!files::FolderLock::HeldHere(folder)) {
        auto lock = files::FolderLock::Acquire(folder);
        if (!lock.ok()) return failed(lock.message());
        own.emplace(std::move(*lock));
      }
      auto file = files::File::Open(path, files::OpenMode::CreateReadWrite);
      if (!file.ok()) return failed(file.message());
      done = WriteAtEnd(*file, bytes, std::uint64_t{0}, name);
    }
    if (!done.again) return done.status;
  }
  return failed("the log kept being removed while it was written.");
}

Status LogSignInOut(const fs::path& folder, const time::DateTime& now, LogAction action,
                    std::string_view currentUserName, users::AccessLevel currentAccessLevel) {
  return AppendLogLine(folder, kSignInOutLog, SignInOutLine(now, action, currentUserName, currentAccessLevel));
}

Status LogUserListChange(const fs::path& folder, const time::DateTime& now, LogAction action,
                         std::string_view userName) {
  return AppendLogLine(folder, kUserListLog, UserListLine(now, action, userName));
}

Status LogRecordChange(const fs::path& folder, const time::DateTime& now, LogAction action,
                       const reports::ReportRecord& report, std::string_view currentUserName) {
  return AppendLogLine(folder, kDataRecordsLog,
                       RecordChangeLine(now, action, report.ControlNumber, report.CaseNumber, currentUserName));
}

Status LogSearch(const fs::path& folder, const time::DateTime& now, std::string_view currentUserName,
                 std::string_view description) {
  return AppendLogLine(folder, kSearchLog, SearchLine(now, currentUserName, description));
}

Status ReadLogPieces(const fs::path& folder, std::string_view logName,
                     const std::function<bool(std::string_view)>& visit) {
  auto file = files::File::Open(folder / logName, files::OpenMode::Read);
  if (!file.ok()) return file.error();
  std::string piece(kLogPieceBytes, '\0');
  for (std::uint64_t offset = 0;;) {
    auto got = file->ReadSome(offset, piece.data(), piece.size());
    if (!got.ok()) return got.error();
    if (*got == 0) return {};
    // Windows-1252 is one byte a character, so pieces split anywhere.
    if (!visit(text::Win1252ToUtf8(std::string_view(piece.data(), *got)))) return {};
    offset += *got;
  }
}

std::string LogCutNote(std::uint64_t logBytes) {
  return "(Only the newest lines of this log are shown, those in its last " + std::to_string(kLogViewBytes >> 20) +
         " MB: it holds " + std::to_string(logBytes) + " bytes.)";
}

Result<LogTail> ReadLogTail(const fs::path& folder, std::string_view logName) {
  auto file = files::File::Open(folder / logName, files::OpenMode::Read);
  if (!file.ok()) return file.error();
  auto size = file->Size();
  if (!size.ok()) return size.error();
  LogTail tail;
  tail.logBytes = *size;
  // The newest lines of a log too big to show whole, from a line start.
  std::uint64_t from = 0;
  if (*size > kLogViewBytes) {
    from = *size - kLogViewBytes;
    tail.cut = true;
  }
  std::string bytes(static_cast<std::size_t>(*size - from), '\0');
  auto got = file->ReadSome(from, bytes.data(), bytes.size());
  if (!got.ok()) return got.error();
  bytes.resize(*got);
  if (from > 0) {
    const std::size_t lineStart = bytes.find('\n');
    bytes.erase(0, lineStart == std::string::npos ? bytes.size() : lineStart + 1);
  }
  tail.text = text::Win1252ToUtf8(bytes);
  return tail;
}

Result<std::string> ReadLog(const fs::path& folder, std::string_view logName) {
  auto tail = ReadLogTail(folder, logName);
  if (!tail.ok()) return tail.error();
  return tail->cut ? LogCutNote(tail->logBytes) + "\r\n" + tail->text : std::move(tail->text);
}

}  // namespace kestrova::logs
