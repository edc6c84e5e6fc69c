#include <gtest/gtest.h>

#include <filesystem>

#include "core/reports/report_actions.h"
#include "core/reports/report_entry.h"
#include "core/text/line_breaks.h"
#include "core/time/ole_date.h"
#include "support/processes.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

FieldTexts46 Minimal() {
  FieldTexts46 f;
  f[1] = "24-1";
  f[2] = "Title";
  f[4] = "Ofc. A";
  f[5] = "Jan 05, 2024 3:05pm";
  return f;
}

TEST(ReportEntry, TheSaveButtonNeedsTheFourMandatoryFields) {
  FieldTexts46 f = Minimal();
  EXPECT_TRUE(SaveAllowed(f));
  f[4] = "   ";
  EXPECT_FALSE(SaveAllowed(f)) << "blanks count as empty";
  f[4] = "x";
  f[5].clear();
  EXPECT_FALSE(SaveAllowed(f));
}

TEST(ReportEntry, Field9TakesField7ThenField6) {
  EXPECT_EQ(ReportedOnDefault("01/05/2024 10:00", "", 2026), "01/05/2024 10:00");
  EXPECT_EQ(ReportedOnDefault("01/05/2024 10:00", "01/06/2024 11:00", 2026), "01/06/2024 11:00");
  EXPECT_EQ(ReportedOnDefault("01/05/2024 10:00", "not a date", 2026), "01/05/2024 10:00");
  EXPECT_EQ(ReportedOnDefault("01/05/2024 10:00", "3/4 10:00", 2026), "3/4 10:00") << "a date the save accepts";
  EXPECT_EQ(ReportedOnDefault("", "", 2026), std::nullopt);
}

TEST(ReportEntry, PickListsAndTheirChoices) {
  const auto person = PickListFor(15);
  ASSERT_TRUE(person);
  EXPECT_EQ(person->caption, "Person Context");
  EXPECT_EQ(person->items.size(), 16u);
  EXPECT_EQ(PickListFor(27)->items.size(), 11u);
  EXPECT_EQ(PickListFor(41)->items[6], "Zeviduri");
  EXPECT_FALSE(PickListFor(16).has_value());
  const PickResult victim = ChoosePickItem(*person, 4);
  EXPECT_EQ(victim.text, "Victim");
  EXPECT_TRUE(victim.moveOn);
  const PickResult other = ChoosePickItem(*person, 16);
  EXPECT_EQ(other.text, "");
  EXPECT_FALSE(other.moveOn) << "after Other the focus stays";
  const PickResult none = ChoosePickItem(*person, 1);
  EXPECT_EQ(none.text, "");
  EXPECT_TRUE(none.moveOn);
}

TEST(ReportEntry, SpaceIndicator) {
  EXPECT_EQ(SpaceFullCaption(4000, 16000), " 25% full ");
  EXPECT_EQ(SpaceFullCaption(10, 16000), " 1% full ");
  EXPECT_EQ(SpaceFullCaption(2169, 2169), " 100% full ");
}

TEST(ReportEntry, GoodDataTrimsFillsValuesAndNamesTheFirstBadField) {
  FieldTexts46 f = Minimal();
  f[2] = "  Title  ";
  f[6] = "32/13/2024";
  f[35] = "";
  f[39] = "abc";
  EntryCheck c = GoodData(f, 2026);
  EXPECT_FALSE(c.ok);
  EXPECT_EQ(c.field, 6);
  EXPECT_EQ(c.tab, 1);
  EXPECT_EQ(c.caption, "Unrecognizable Date");
  EXPECT_EQ(c.lines, (std::vector<std::string>{"32/13/2024", "", "doesn't appear to be", "a valid date."}));
  EXPECT_EQ(f[2], "Title") << "trimmed even though a later field failed";

  f[6] = "01/05/2024 10:00";
  c = GoodData(f, 2026);
  EXPECT_EQ(c.field, 39);
  EXPECT_EQ(c.tab, 4);
  EXPECT_EQ(c.caption, "Unrecognizable Value");
  EXPECT_EQ(c.lines[3], "a valid currency amount.");
  EXPECT_EQ(f[35], "0") << "an empty value becomes 0";

  f[39] = "1,234.50";
  f[5] = "Jan 05, 2024 3:05pm";  // the form's own display form passes
  c = GoodData(f, 2026);
  EXPECT_TRUE(c.ok);
  ReportRecord r;
  FillFromFields(f, 2026, r);
  EXPECT_EQ(r.CaseNumber, "24-1");
  EXPECT_EQ(r.DateEntered, time::ToOleDate({2024, 1, 5, 15, 5, 0}));
  EXPECT_EQ(r.OccurredFrom, time::ToOleDate({2024, 1, 5, 10, 0, 0}));
  EXPECT_EQ(r.OccurredTo, 0);
  EXPECT_EQ(r.Property1Value, 0);
  EXPECT_EQ(r.Property2Value, 12345000);
}

TEST(ReportEntry, AnEditWritesOnlyTheFieldsTheUserChanged) {
  ReportRecord r;
  r.CaseNumber = "24-9";
  r.Title = "Old title";
  r.CriminalViolations = "  indented";
  r.DateEntered = time::ToOleDate({2024, 3, 1, 9, 15, 42});
  r.OccurredFrom = time::ToOleDate({2024, 2, 28, 23, 59, 59});
  r.Narrative = "Line one\r\n\r\nLine three";
  r.Property1Value = 12345678;  // 1,234.5678 shows as 1,234.57
  const FieldTexts46 shown = FieldTexts(r);
  FieldTexts46 typed = shown;
  typed[2] = "New title  ";
  typed[9] = "03/02/2024 08:00";
  ReportRecord saved = r;
  FillChangedFields(shown, typed, 2026, saved);
  EXPECT_EQ(saved.Title, "New title");
  EXPECT_EQ(saved.ReportedOn, time::ToOleDate({2024, 3, 2, 8, 0, 0}));
  EXPECT_EQ(saved.DateEntered, r.DateEntered) << "seconds kept";
  EXPECT_EQ(saved.OccurredFrom, r.OccurredFrom);
  EXPECT_EQ(saved.Narrative, r.Narrative) << "CR LF kept";
  EXPECT_EQ(saved.CriminalViolations, "  indented") << "leading blanks kept";
  EXPECT_EQ(saved.Property1Value, 12345678) << "fourth decimal kept";
  typed[43] = "";  // an empty value that was 0 before is no change
  typed[6] = "";
  FillChangedFields(shown, typed, 2026, saved);
  EXPECT_EQ(saved.OccurredFrom, 0) << "a cleared date is stored as 0";
}

TEST(ReportEntry, TextTheDataFileCannotHoldIsNamedNotSaved) {
  FieldTexts46 f = Minimal();
  f[3] = "Caf\u00E9 \u20AC5";  // both in Windows-1252
  EXPECT_TRUE(StorableText(f).ok);
  f[18] = "\u0416\u674E\u0416";
  f[44] = "\U0001F600";
  const EntryCheck c = StorableText(f);
  EXPECT_FALSE(c.ok);
  EXPECT_EQ(c.field, 18) << "the first field in order";
  EXPECT_EQ(c.tab, 2);
  EXPECT_EQ(c.lines[0], "'Person 2 - Context' holds characters");
  EXPECT_EQ(c.lines[3], "\u0416 \u674E");
  EXPECT_EQ(c.caption, "Characters Not Stored");
  EXPECT_EQ(FieldName(40), "Property item 3 - Basic Info - Item Name, Brand Name, etc.");
  EXPECT_EQ(FieldName(5), "Date Entered");

  // A report saved under the delete mark would go with the next delete.
  f = Minimal();
  f[1] = " $Killed$ ";
  const EntryCheck marked = StorableText(f);
  EXPECT_FALSE(marked.ok);
  EXPECT_EQ(marked.field, 1);
  EXPECT_EQ(marked.tab, 0);
  f[1] = "$Killed$2";
  EXPECT_TRUE(StorableText(f).ok);
}

ReportRecord Stored(const std::string& caseNumber, double control) {
  ReportRecord r;
  r.ControlNumber = control;
  r.CaseNumber = caseNumber;
  r.ProgramVersion = 414;
  return r;
}

TEST(ReportActions, ChangesMovesAndDeletesTheReportOnDisplay) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport(folder.path(), Stored("A", 45000.1)).ok());
  ASSERT_TRUE(AppendReport(folder.path(), Stored("B", 45000.2)).ok());
  const ReportIdentity b{2, 45000.2, "B"};
  auto changed = ChangeReport(folder.path(), b, [](ReportRecord& r) { r.Title = "new title"; });
  ASSERT_TRUE(changed.ok());
  EXPECT_EQ(changed->Title, "new title");
  auto moved = MoveReport(folder.path(), b, kInactiveList);
  ASSERT_TRUE(moved.ok());
  EXPECT_FALSE(moved->counts) << "an archive does not count the file";
  moved = MoveReport(folder.path(), b, kActiveList);
  ASSERT_TRUE(moved.ok());
  EXPECT_EQ(moved->counts->ActiveCount, 2);
  moved = MoveReport(folder.path(), b, kInactiveList);
  std::string logged;
  auto left = DeleteReport(folder.path(), {1, 45000.1, "A"}, [&](const ReportRecord& r) {
    logged = r.CaseNumber;
    return Status();
  });
  ASSERT_TRUE(left.ok());
  EXPECT_EQ(logged, "A") << "logged before the mark";
  EXPECT_EQ(left->InactiveCount, 1);
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 20001u);
  ASSERT_TRUE(DeleteReport(folder.path(), {1, 45000.2, "B"}, nullptr).ok());
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Data")) << "the last report leaves no data file";
}

TEST(ReportActions, AStaleRecordNumberIsRefusedAfterAnotherProcessDeleted) {
  TempFolder folder;
  for (const char* c : {"A", "B", "C"}) ASSERT_TRUE(AppendReport(folder.path(), Stored(c, 45000.5)).ok());
  // This workstation shows C as record 3; another one deletes A.
  ASSERT_TRUE(testing::RunInChildren(1, [&](int) {
    return DeleteReport(folder.path(), {1, 45000.5, "A"}, nullptr).ok() ? 0 : 1;
  }));
  const std::string before = testing::ReadFileBytes(folder / "Kestrova.Data");
  auto edit = ChangeReport(folder.path(), {3, 45000.5, "C"}, [](ReportRecord& r) { r.Title = "x"; });
  ASSERT_FALSE(edit.ok());
  EXPECT_EQ(edit.error().kind, Error::Kind::NotFound);
  auto wrongOne = ChangeReport(folder.path(), {2, 45000.5, "B-was-here"}, [](ReportRecord& r) { r.Title = "x"; });
  EXPECT_EQ(wrongOne.error().kind, Error::Kind::Conflict);
  EXPECT_FALSE(MoveReport(folder.path(), {2, 45000.5, "B-was-here"}, kInactiveList).ok());
  EXPECT_FALSE(DeleteReport(folder.path(), {2, 45000.5, "B-was-here"}, nullptr).ok());
  EXPECT_EQ(testing::ReadFileBytes(folder / "Kestrova.Data"), before) << "nothing written";
}

}  // namespace
}  // namespace kestrova::reports
