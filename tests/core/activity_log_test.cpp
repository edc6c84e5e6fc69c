#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/logs/activity_log.h"
#include "core/logs/log_view.h"
#include "core/logs/log_view_texts.h"
#include "core/time/ole_date.h"
#include "support/temp_folder.h"

namespace kestrova::logs {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempFolder;
using time::DateTime;

const DateTime kAt{2026, 12, 6, 14, 5, 9};

TEST(ActivityLog, LinesMatchTheirFormatsToTheCharacter) {
  EXPECT_EQ(TimeStamp(kAt), "12/06/2026 at 14:05:09");
  EXPECT_EQ(SignInOutLine(kAt, kSignedIn, "FIRST LAST", users::AccessLevel::ReadEdit),
            "12/06/2026 at 14:05:09 - FIRST LAST signed in w/ Read/Edit privileges");
  EXPECT_EQ(SignInOutLine(kAt, kIncorrectPassword, "FIRST LAST", users::AccessLevel::ReadEdit),
            "12/06/2026 at 14:05:09 - FIRST LAST - Incorrect password submitted");
  EXPECT_EQ(SignInOutLine(kAt, kSignedOut, "FIRST LAST", users::AccessLevel::FullAccess),
            "12/06/2026 at 14:05:09 - FIRST LAST signed out");
  EXPECT_EQ(UserListLine({2026, 12, 6, 14, 7, 31}, kEdited, "FIRST LAST"),
            "12/06/2026 at 14:07:31 - 'FIRST LAST' edited in the 'User List'");
  EXPECT_EQ(UserListLine(kAt, kAdded, "A B"), "12/06/2026 at 14:05:09 - 'A B' added to the 'User List'");
  EXPECT_EQ(UserListLine(kAt, kDeleted, "A B"), "12/06/2026 at 14:05:09 - 'A B' deleted from the 'User List'");
  const double control = time::ToOleDate({2026, 12, 6, 14, 9, 55});
  EXPECT_EQ(RecordChangeLine(kAt, kArchived, control, "24-0042", "FIRST LAST"),
            "12/06/2026 at 14:05:09 - Control#20261206140955 archived by FIRST LAST");
  EXPECT_EQ(SearchLine(kAt, "FIRST LAST", "'smith'"), "12/06/2026 at 14:05:09 - FIRST LAST searched for 'smith'");
  EXPECT_EQ(SearchLine(kAt, "A B", "Weekly Summary starting 03/01/2010"),
            "12/06/2026 at 14:05:09 - A B searched for Weekly Summary starting 03/01/2010");
}

TEST(ActivityLog, EveryRecordVerb) {
  const double control = time::ToOleDate({2026, 12, 6, 14, 9, 55});
  const std::pair<LogAction, const char*> verbs[] = {
      {kAdded, "added"}, {kEdited, "edited"}, {kDeleted, "deleted"}, {kArchived, "archived"}, {kRestored, "restored"}};
  for (const auto& [action, verb] : verbs) {
    EXPECT_EQ(RecordChangeLine(kAt, action, control, "1", "U"),
              std::string("12/06/2026 at 14:05:09 - Control#20261206140955 ") + verb + " by U");
  }
}

TEST(ActivityLog, OldReportsAreNamedByTheirCaseNumber) {
  EXPECT_EQ(ReportIdentity(0, "  89-17   "), "Case#  89-17");
  EXPECT_EQ(ReportIdentity(32999.99, "X"), "Case#X");
  EXPECT_EQ(ReportIdentity(33000, "X"), "Control#19900507000000");
}

TEST(ActivityLog, AppendsCrLfLinesInWindows1252AndNeverMakesTheLogReadOnly) {
  TempFolder folder;
  ASSERT_TRUE(
      LogSignInOut(folder.path(), kAt, kIncorrectPassword, "Jos\u00E9 Park", users::AccessLevel::ReadEditAdd).ok());
  // Left read-only by an earlier release: made writable again.
  ::chmod((folder / "SignInOut.Log").c_str(), 0444);
  ASSERT_TRUE(LogSignInOut(folder.path(), kAt, kSignedIn, "Jos\u00E9 Park", users::AccessLevel::ReadEditAdd).ok());
  EXPECT_EQ(ReadFileBytes(folder / "SignInOut.Log"),
            "12/06/2026 at 14:05:09 - Jos\xE9 Park - Incorrect password submitted\r\n"
            "12/06/2026 at 14:05:09 - Jos\xE9 Park signed in w/ Read/Edit/Add privileges\r\n");
  struct stat st {};
  ASSERT_EQ(::stat((folder / "SignInOut.Log").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u) << "no read-only mark: other accounts must go on logging";
  auto text = ReadLog(folder.path(), kSignInOutLog);
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text->substr(0, 35), "12/06/2026 at 14:05:09 - Jos\u00E9 Park");
}

TEST(ActivityLog, AFailedDeletionIsExplainedByTheLineAfterIt) {
  reports::ReportRecord r;
  r.ControlNumber = 46362.589988425924;  // 6 Dec 2026 14:09:35
  EXPECT_EQ(RecordChangeLine(kAt, kNotDeleted, r.ControlNumber, "", "Ann Lee"),
            "12/06/2026 at 14:05:09 - Control#20261206140935 not deleted by Ann Lee (the deletion "
            "failed; the report was kept)");
  EXPECT_EQ(UserListLine(kAt, kNotDeleted, "Bob Lee"),
            "12/06/2026 at 14:05:09 - 'Bob Lee' not deleted from the 'User List' (the deletion "
            "failed; the user was kept)");
}

// A full disk takes only part of a line. It is never cut back out (another
// workstation may have appended after it meanwhile); the message says only
// its beginning went in, and the next line starts on a line of its own.
TEST(ActivityLog, ALineCutShortByAFullDiskIsEndedAndTheNextStartsClean) {
  TempFolder folder;
  ASSERT_TRUE(LogSearch(folder.path(), kAt, "Ann Lee", "'first'").ok());
  const std::string before = ReadFileBytes(folder / "Search.Log");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      before.size() + 10, before.size() + 10
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Status s = LogSearch(folder.path(), kAt, "Ann Lee", "'second'");
    ::_exit(!s.ok() && s.message().find("only the beginning of the line was written") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFileBytes(folder / "Search.Log"), before + "12/06/2026");
  ASSERT_TRUE(LogSearch(folder.path(), kAt, "Ann Lee", "'third'").ok());
  EXPECT_EQ(ReadFileBytes(folder / "Search.Log"),
            before + "12/06/2026\r\n12/06/2026 at 14:05:09 - Ann Lee searched for 'third'\r\n");
}

TEST(ActivityLog, AHugeLogIsReadInBoundedPieces) {
  TempFolder folder;
  ASSERT_TRUE(LogSearch(folder.path(), kAt, "Ann Lee", "'first'").ok());
  // Four gigabytes of holes (zero bytes), then the newest lines.
  fs::resize_file(folder / "Search.Log", 4ull << 30);
  ASSERT_TRUE(LogSearch(folder.path(), kAt, "Ann Lee", "'middle'").ok());
  ASSERT_TRUE(LogSearch(folder.path(), kAt, "Ann Lee", "'last'").ok());
  auto text = ReadLog(folder.path(), kSearchLog);
  ASSERT_TRUE(text.ok());
  EXPECT_LE(text->size(), kLogViewBytes + 200);
  EXPECT_EQ(text->rfind("(Only the newest lines", 0), 0u);
  EXPECT_NE(text->find("searched for 'last'\r\n"), std::string::npos);

  std::size_t pieces = 0;
  std::size_t largest = 0;
  ASSERT_TRUE(ReadLogPieces(folder.path(), kSearchLog, [&](std::string_view piece) {
                largest = std::max(largest, piece.size());
                return ++pieces < 100;
              }).ok());
  EXPECT_EQ(pieces, 100u);
  EXPECT_LE(largest, kLogPieceBytes * 3) << "a character takes at most three bytes as UTF-8";
}

TEST(ActivityLog, ControlCharactersNeverBreakALine) {
  TempFolder folder;
  ASSERT_TRUE(LogSearch(folder.path(), kAt, "A\tB", "'smith\r\njones'").ok());
  EXPECT_EQ(ReadFileBytes(folder / "Search.Log"), "12/06/2026 at 14:05:09 - A B searched for 'smith  jones'\r\n");
}

TEST(ActivityLog, ALogThatCannotBeWrittenIsAnErrorAndTouchesNothingElse) {
  TempFolder folder;
  fs::create_directory(folder / "DataRecords.Log");  // not a file
  reports::ReportRecord r;
  r.CaseNumber = "1";
  const Status s = LogRecordChange(folder.path(), kAt, kAdded, r, "U");
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.message().find("DataRecords.Log"), std::string::npos);
  std::size_t entries = 0;
  for (auto it = fs::directory_iterator(folder.path()); it != fs::directory_iterator(); ++it) ++entries;
  EXPECT_EQ(entries, 1u);
  EXPECT_EQ(ReadLog(folder.path(), kSearchLog).error().kind, Error::Kind::NotFound);
}

TEST(LogView, ShowsTheLogDecodedTrimmedOfBlanksWithTheTextBoxsLineEnds) {
  TempFolder folder;
  EXPECT_FALSE(ViewLog(folder.path(), kSearchLog).hasEntries) << "missing";
  EXPECT_EQ(ViewLog(folder.path(), kSearchLog).text, "There are currently no entries for this log file");
  for (const std::string blank : {"", "      "}) {
    testing::WriteFileBytes(folder / "Search.Log", blank);
    EXPECT_FALSE(ViewLog(folder.path(), kSearchLog).hasEntries) << "'" << blank << "'";
  }
  testing::WriteFileBytes(folder / "Search.Log", "\r\n\r\n");
  EXPECT_EQ(ViewLog(folder.path(), kSearchLog).text, "\n\n") << "only blanks are trimmed: empty lines show";

  const std::string bytes = "  Jos\xE9 signed in\r\nold\rline\r\n   ";
  testing::WriteFileBytes(folder / "Search.Log", bytes);
  ::chmod((folder / "Search.Log").c_str(), 0444);
  struct stat before {};
  ::stat((folder / "Search.Log").c_str(), &before);
  const LogView view = ViewLog(folder.path(), kSearchLog);
  EXPECT_TRUE(view.hasEntries);
  EXPECT_EQ(view.text, "Jos\u00E9 signed in\nold\nline\n");
  struct stat after {};
  ::stat((folder / "Search.Log").c_str(), &after);
  EXPECT_EQ(ReadFileBytes(folder / "Search.Log"), bytes) << "viewing never writes";
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

TEST(LogView, ALogOverEightMegabytesShowsItsNewestLinesUnderANote) {
  TempFolder folder;
  std::string bytes;
  for (int i = 0; bytes.size() <= kLogViewBytes + 100000; ++i) {
    bytes += "12/06/2026 at 14:05:09 - line " + std::to_string(i) + "\r\n";
  }
  testing::WriteFileBytes(folder / "Search.Log", bytes);
  const LogView view = ViewLog(folder.path(), kSearchLog);
  const std::string note = LogCutNote(bytes.size()) + "\n";
  ASSERT_EQ(view.text.substr(0, note.size()), note);
  EXPECT_NE(note.find("8 MB"), std::string::npos) << note;
  EXPECT_LE(view.text.size() - note.size(), kLogViewBytes);
  EXPECT_EQ(view.text.substr(note.size(), 25), "12/06/2026 at 14:05:09 - ") << "from a line's start";
  const std::string last = bytes.substr(bytes.rfind("12/06", bytes.size() - 3));
  EXPECT_EQ(view.text.substr(view.text.size() - last.size() + 1), last.substr(0, last.size() - 2) + "\n");
}

TEST(LogView, FindNextGoesOnPastEachMatchIgnoringCaseAndNeverSticks) {
  const TextFinder text("\u00C9t\u00E9 Signed in\nsigned out\nx SIGNED");
  ViewerSearch search;
  const auto next = [&](std::string_view query) { return search.FindNext(text, query); };
  EXPECT_EQ(next("signed").match, (TextMatch{4, 6})) << "characters, not bytes";
  EXPECT_EQ(next("signed").match, (TextMatch{14, 6}));
  EXPECT_EQ(next("signed").match, (TextMatch{27, 6}));
  EXPECT_EQ(next("signed").answer, ViewerSearch::Answer::EndOfText);
  search.Restart();
  EXPECT_EQ(next("\u00E9T\u00C9").match, (TextMatch{0, 3})) << "accented letters pair up too";
  search.Restart();
  EXPECT_EQ(next("nowhere").answer, ViewerSearch::Answer::NoSuchText);
  EXPECT_EQ(next("\u03A9").answer, ViewerSearch::Answer::NoSuchText) << "not a character a log can hold";

  // A match at the very end is found once, then the end is reached.
  const TextFinder end("ab");
  ViewerSearch atEnd;
  EXPECT_EQ(atEnd.FindNext(end, "B").match, (TextMatch{1, 1}));
  EXPECT_EQ(atEnd.FindNext(end, "B").answer, ViewerSearch::Answer::EndOfText);
  EXPECT_EQ(atEnd.FindNext(end, "B").answer, ViewerSearch::Answer::EndOfText);
}

TEST(LogView, TheSearchSaysWhatItFoundInTheViewersOwnWords) {
  EXPECT_EQ(kLogOptions[2].fileName, "SignInOut.Log");
  EXPECT_EQ(LookingForToolTip("smith"), " Looking for 'smith' ");
  const ui::Message none = NoSuchTextMessage("smith");
  EXPECT_EQ(none.caption, "No such text");
  EXPECT_EQ(none.iconKind, 4);
  EXPECT_EQ(none.lines, (std::vector<std::string>{"The text 'smith'", "could not be found."}));
  EXPECT_EQ(none.buttons, (std::vector<std::string>{"&Try &another search", "&Stop searching"}));
  EXPECT_EQ(none.defaultButton, 2);
  const ui::Message end = EndOfTextMessage();
  EXPECT_EQ(end.lines, (std::vector<std::string>{"No further matches found.", "", "Start again from the top?"}));
  EXPECT_EQ(end.buttons, (std::vector<std::string>{"&Yes, look again", "&No, stop searching"}));
  EXPECT_EQ(end.defaultButton, 1);
}

}  // namespace
}  // namespace kestrova::logs
