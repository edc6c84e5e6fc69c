#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/logs/activity_log.h"
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
  EXPECT_EQ(SignInOutLine(kAt, kSignedIn, "FIRST LAST", 2),
            "12/06/2026 at 14:05:09 - FIRST LAST signed in w/ Read/Edit privileges");
  EXPECT_EQ(SignInOutLine(kAt, kIncorrectPassword, "FIRST LAST", 2),
            "12/06/2026 at 14:05:09 - FIRST LAST - Incorrect password submitted");
  EXPECT_EQ(SignInOutLine(kAt, kSignedOut, "FIRST LAST", 4),
            "12/06/2026 at 14:05:09 - FIRST LAST signed out");
  EXPECT_EQ(UserListLine({2026, 12, 6, 14, 7, 31}, kEdited, "FIRST LAST"),
            "12/06/2026 at 14:07:31 - 'FIRST LAST' edited in the 'User List'");
  EXPECT_EQ(UserListLine(kAt, kAdded, "A B"), "12/06/2026 at 14:05:09 - 'A B' added to the 'User List'");
  EXPECT_EQ(UserListLine(kAt, kDeleted, "A B"),
            "12/06/2026 at 14:05:09 - 'A B' deleted from the 'User List'");
  const double control = time::ToOleDate({2026, 12, 6, 14, 9, 55});
  EXPECT_EQ(RecordChangeLine(kAt, kArchived, control, "24-0042", "FIRST LAST"),
            "12/06/2026 at 14:05:09 - Control#20261206140955 archived by FIRST LAST");
  EXPECT_EQ(SearchLine(kAt, "FIRST LAST", "'smith'"),
            "12/06/2026 at 14:05:09 - FIRST LAST searched for 'smith'");
  EXPECT_EQ(SearchLine(kAt, "A B", "Weekly Summary starting 03/01/2010"),
            "12/06/2026 at 14:05:09 - A B searched for Weekly Summary starting 03/01/2010");
}

TEST(ActivityLog, EveryRecordVerb) {
  const double control = time::ToOleDate({2026, 12, 6, 14, 9, 55});
  const char* verbs[] = {"added", "edited", "deleted", "archived", "restored"};
  for (int action = kAdded; action <= kRestored; ++action) {
    EXPECT_EQ(RecordChangeLine(kAt, action, control, "1", "U"),
              std::string("12/06/2026 at 14:05:09 - Control#20261206140955 ") + verbs[action - kAdded] + " by U");
  }
}

TEST(ActivityLog, OldReportsAreNamedByTheirCaseNumber) {
  EXPECT_EQ(ReportIdentity(0, "  89-17   "), "Case#  89-17");
  EXPECT_EQ(ReportIdentity(32999.99, "X"), "Case#X");
  EXPECT_EQ(ReportIdentity(33000, "X"), "Control#19900507000000");
}

TEST(ActivityLog, AppendsCrLfLinesInWindows1252AndLeavesTheLogReadOnly) {
  TempFolder folder;
  ASSERT_TRUE(LogSignInOut(folder.path(), kAt, kIncorrectPassword, "Jos\u00E9 Park", 3).ok());
  ASSERT_TRUE(LogSignInOut(folder.path(), kAt, kSignedIn, "Jos\u00E9 Park", 3).ok());
  EXPECT_EQ(ReadFileBytes(folder / "SignInOut.Log"),
            "12/06/2026 at 14:05:09 - Jos\xE9 Park - Incorrect password submitted\r\n"
            "12/06/2026 at 14:05:09 - Jos\xE9 Park signed in w/ Read/Edit/Add privileges\r\n");
  struct stat st {};
  ASSERT_EQ(::stat((folder / "SignInOut.Log").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH), 0u) << "read-only between writes";
  auto text = ReadLog(folder.path(), kSignInOutLog);
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text->substr(0, 35), "12/06/2026 at 14:05:09 - Jos\u00E9 Park");
}

TEST(ActivityLog, ControlCharactersNeverBreakALine) {
  TempFolder folder;
  ASSERT_TRUE(LogSearch(folder.path(), kAt, "A\tB", "'smith\r\njones'").ok());
  EXPECT_EQ(ReadFileBytes(folder / "Search.Log"),
            "12/06/2026 at 14:05:09 - A B searched for 'smith  jones'\r\n");
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

}  // namespace
}  // namespace kestrova::logs
