#include <gtest/gtest.h>

#include "core/reports/report_actions.h"
#include "core/reports/report_writing.h"
#include "support/still_clock.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

using testing::ReadFileBytes;
using testing::StillClock;
using testing::TempFolder;

FieldTexts46 Texts(const std::string& caseNumber) {
  FieldTexts46 f;
  f[1] = caseNumber;
  f[2] = "Title " + caseNumber;
  f[4] = "Ofc. A";
  f[5] = "01/05/2024 15:05";
  return f;
}

struct Writing {
  TempFolder folder;
  StillClock clock;
  files::DataFolder data{folder.path()};
  Author author{data, clock, "Ann Lee"};
  std::string Log() { return ReadFileBytes(folder / "DataRecords.Log"); }
};

TEST(ReportWriting, AnAddIsDatedByTheClockAppendedActiveAndLogged) {
  Writing w;
  auto saved = AddReport(w.author, Texts("24-1"), {"a.jpg", "", "c.png"});
  ASSERT_TRUE(saved.ok()) << saved.message();
  EXPECT_EQ(saved->recordNumber, 1);
  EXPECT_TRUE(saved->logged.ok());
  const ReportRecord stored = *ReadReport(w.folder.path(), 1);
  EXPECT_EQ(stored.ControlNumber, time::ToOleDate(w.clock.Now()));
  EXPECT_EQ(stored.CaseNumber, "24-1");
  EXPECT_EQ(stored.ListStatus, kActiveList);
  EXPECT_EQ(stored.ProgramVersion, CurrentProgramVersion());
  EXPECT_EQ(stored.Picture1, "a.jpg");
  EXPECT_EQ(stored.Picture3, "c.png");
  EXPECT_EQ(w.Log(), "12/06/2026 at 14:05:09 - Control#20261206140509 added by Ann Lee\r\n");
}

// An edit writes the fields the user changed and the pictures the user
// chose or removed; everything else keeps its stored bytes.
TEST(ReportWriting, AnEditChangesOnlyWhatTheUserChangedAndFollowsItsReport) {
  Writing w;
  ASSERT_TRUE(AddReport(w.author, Texts("24-1"), {"one.jpg", "two.jpg", "three.jpg"}).ok());
  ASSERT_TRUE(AddReport(w.author, Texts("24-2"), {"", "", ""}).ok());
  const auto read = ReadStoredReport(w.folder.path(), 2);
  ASSERT_TRUE(read.ok());
  // Another workstation deletes report 1 meanwhile: report 2 is record 1 now.
  const ReportRecord first = *ReadReport(w.folder.path(), 1);
  ASSERT_TRUE(DeleteReport(w.folder.path(), {1, first.ControlNumber, first.CaseNumber}, nullptr).ok());

  EditToSave edit{2, read->bytes, FieldTexts(read->report), FieldTexts(read->report), {"new.jpg", std::nullopt, ""}};
  edit.texts[2] = "A new title";
  auto saved = SaveEdit(w.author, edit);
  ASSERT_TRUE(saved.ok()) << saved.message();
  ASSERT_TRUE(saved->edited.written);
  EXPECT_EQ(saved->edited.recordNumber, 1) << "found by its bytes, not its old number";
  const auto after = ReadStoredReport(w.folder.path(), 1);
  EXPECT_EQ(after->report.Title, "A new title");
  EXPECT_EQ(after->report.Picture1, "new.jpg");
  EXPECT_EQ(after->report.Picture3, "");
  RecordBytes expected = read->bytes;
  ReportRecord wanted = read->report;
  wanted.Title = "A new title";
  wanted.Picture1 = "new.jpg";
  EncodeReportRecord(wanted, expected.data());
  EXPECT_EQ(after->bytes, expected) << "every other byte as it was";
  EXPECT_NE(w.Log().find("Control#20261206140509 edited by Ann Lee\r\n"), std::string::npos);

  // The same edit again finds its bytes nowhere: nothing written, nothing logged.
  const std::string logBefore = w.Log();
  auto stale = SaveEdit(w.author, edit);
  ASSERT_TRUE(stale.ok());
  EXPECT_FALSE(stale->edited.written);
  EXPECT_EQ(ReadStoredReport(w.folder.path(), 1)->bytes, after->bytes);
  EXPECT_EQ(w.Log(), logBefore);
}

TEST(ReportWriting, AnEditKeptAsANewReportTakesTheShownPicturesTheUserLeftAlone) {
  Writing w;
  ReportRecord shown;
  shown.Picture1 = "kept.jpg";
  shown.Picture2 = "removed.jpg";
  shown.Picture3 = "replaced.jpg";
  auto saved = SaveEditAsNew(w.author, Texts("24-9"), {std::nullopt, "", "other.jpg"}, shown);
  ASSERT_TRUE(saved.ok()) << saved.message();
  const ReportRecord stored = *ReadReport(w.folder.path(), saved->recordNumber);
  EXPECT_EQ(stored.CaseNumber, "24-9");
  EXPECT_EQ(stored.Picture1, "kept.jpg");
  EXPECT_EQ(stored.Picture2, "");
  EXPECT_EQ(stored.Picture3, "other.jpg");
  EXPECT_EQ(stored.ListStatus, kActiveList);
  EXPECT_NE(w.Log().find(" added by Ann Lee\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kestrova::reports
