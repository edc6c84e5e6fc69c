#include <gtest/gtest.h>

#include <map>

#include "core/reports/command_state.h"

namespace kestrova::reports {
namespace {

std::map<std::string, CommandLook> Looks(const MainWindowState& s) {
  std::map<std::string, CommandLook> m;
  for (const auto& c : CommandState(s, "Kestrova")) m[c.name] = c;
  return m;
}

MainWindowState Viewing(int level) {
  MainWindowState s;
  s.selectedRow = 3;
  s.rowCount = 10;
  s.accessLevel = static_cast<users::AccessLevel>(level);
  return s;
}

TEST(CommandState, AccessLevelsGovernWhatIsUsable) {
  auto readOnly = Looks(Viewing(1));
  EXPECT_TRUE(readOnly["cmdEditEntry"].visible);
  EXPECT_FALSE(readOnly["cmdEditEntry"].enabled) << "seen but not usable";
  EXPECT_FALSE(readOnly["cmdAddEntry"].enabled);
  EXPECT_FALSE(readOnly["cmdArchiveEntry"].enabled);
  EXPECT_TRUE(readOnly["cmdPrintEntry"].enabled);
  auto edit = Looks(Viewing(2));
  EXPECT_TRUE(edit["cmdEditEntry"].enabled);
  EXPECT_FALSE(edit["cmdAddEntry"].enabled);
  auto add = Looks(Viewing(3));
  EXPECT_TRUE(add["cmdAddEntry"].enabled);
  EXPECT_FALSE(add["cmdDeleteEntry"].enabled);
  auto full = Looks(Viewing(4));
  EXPECT_TRUE(full["cmdArchiveEntry"].enabled);
  EXPECT_TRUE(full["cmdDeleteEntry"].enabled);
  EXPECT_FALSE(full["cmdRestoreEntry"].visible);
  EXPECT_EQ(full["cmdDeleteEntry"].toolTip, " Permanently delete this report from the Kestrova database ");
  EXPECT_EQ(full["cmdAddEntry"].caption, "&Add New Report");
  EXPECT_EQ(full["cmdQuit"].toolTip, " Click here to exit Kestrova ");
}

TEST(CommandState, ShortListsOfferNoSearchOrListPrinting) {
  MainWindowState s = Viewing(4);
  s.rowCount = 2;
  auto m = Looks(s);
  EXPECT_FALSE(m["cmdFindEntries"].visible);
  EXPECT_FALSE(m["cmdPrintList"].visible);
  s.rowCount = 3;
  m = Looks(s);
  EXPECT_TRUE(m["cmdFindEntries"].visible);
  EXPECT_EQ(m["cmdFindEntries"].caption, "Search this list...");
}

TEST(CommandState, ASearchResultHidesTheListChangingCommands) {
  MainWindowState s = Viewing(4);
  s.FullListShown = false;
  s.PhraseSearchActive = true;
  auto m = Looks(s);
  EXPECT_FALSE(m["cmdAddEntry"].visible);
  EXPECT_FALSE(m["cmdArchiveEntry"].visible);
  EXPECT_FALSE(m["cmdDeleteEntry"].visible);
  EXPECT_FALSE(m["cmdFindEntries"].visible);
  EXPECT_TRUE(m["cmdSeeAllEntries"].visible);
  EXPECT_EQ(m["cmdSeeAllEntries"].caption, "Finished Searching");
  EXPECT_TRUE(m["cmdEditEntry"].visible);
  EXPECT_TRUE(m["cmdPrintEntry"].visible);
  EXPECT_TRUE(m["cmdEmailEntry"].visible);
}

TEST(CommandState, TheInactiveListRestoresInsteadOfAddingAndArchiving) {
  MainWindowState s = Viewing(4);
  s.InactiveListShown = true;
  auto m = Looks(s);
  EXPECT_FALSE(m["cmdAddEntry"].visible);
  EXPECT_FALSE(m["cmdArchiveEntry"].visible);
  EXPECT_TRUE(m["cmdRestoreEntry"].visible);
  EXPECT_TRUE(m["cmdRestoreEntry"].enabled);
  s.accessLevel = users::AccessLevel::ReadEditAdd;
  EXPECT_FALSE(Looks(s)["cmdRestoreEntry"].enabled);
}

TEST(CommandState, NothingSelectedAndTheModes) {
  MainWindowState s = Viewing(4);
  s.selectedRow = 0;
  auto m = Looks(s);
  for (const char* name : {"cmdEditEntry", "cmdPrintEntry", "cmdEmailEntry", "cmdArchiveEntry", "cmdDeleteEntry"}) {
    EXPECT_FALSE(m[name].visible) << name;
  }
  EXPECT_TRUE(m["cmdAddEntry"].visible);
  s.AddMode = true;
  m = Looks(s);
  EXPECT_TRUE(m["cmdAddSave"].visible);
  EXPECT_TRUE(m["cmdAddCancel"].visible);
  EXPECT_FALSE(m["cmdEditSave"].visible);
  s.AddMode = false;
  s.EditMode = true;
  EXPECT_TRUE(Looks(s)["cmdEditCancel"].visible);
}

TEST(CommandState, WhileAReportIsWrittenNothingCanReplaceIt) {
  MainWindowState s = Viewing(4);
  s.rowCount = 10;
  s.PhraseSearchActive = true;
  s.FullListShown = false;
  s.EditMode = true;
  auto m = Looks(s);
  for (const char* name : {"cmdSeeAllEntries", "cmdPrintList"}) {
    EXPECT_TRUE(m[name].visible) << name;
    EXPECT_FALSE(m[name].enabled) << name;
  }
  for (const char* name : {"cmdRefreshGrid", "cmdAdminWindow", "cmdEditEntry", "cmdPrintEntry", "cmdEmailEntry"}) {
    EXPECT_FALSE(m[name].visible) << name;
  }
  s = Viewing(4);
  s.rowCount = 10;
  s.AddMode = true;
  m = Looks(s);
  EXPECT_FALSE(m["cmdFindEntries"].enabled);
  EXPECT_FALSE(m["cmdAddEntry"].visible);
  EXPECT_FALSE(m["cmdDeleteEntry"].visible);
}

TEST(CommandState, ThePictureButtons) {
  MainWindowState s = Viewing(2);
  s.picturePaths = {"a.jpg", "", "c.png"};
  EXPECT_TRUE(ShowLargerPicture(s, 1));
  EXPECT_FALSE(ShowLargerPicture(s, 2));
  EXPECT_FALSE(PictureButtons(s, 1).addEdit) << "hidden outside adding and editing";
  EXPECT_FALSE(PictureButtons(s, 1).remove);
  s.EditMode = true;
  EXPECT_FALSE(ShowLargerPicture(s, 3));
  EXPECT_TRUE(PictureButtons(s, 1).addEditEnabled) << "Read/Edit may change a picture";
  EXPECT_FALSE(PictureButtons(s, 2).addEditEnabled) << "but not add one";
  EXPECT_EQ(PictureButtons(s, 2).addEditToolTip, " Add a picture... ");
  EXPECT_TRUE(PictureButtons(s, 1).remove);
  EXPECT_FALSE(PictureButtons(s, 1).removeEnabled) << "only Full Access deletes";
}

}  // namespace
}  // namespace kestrova::reports
