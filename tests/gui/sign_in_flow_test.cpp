#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/network/concurrent_users.h"
#include "core/reports/data_file.h"
#include "gui/startup/frm_title_page.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"
#include "gui/users/frm_admin.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

namespace fs = std::filesystem;
using testing::CloseAllWindows;
using testing::FindWindow;
using testing::GuiSession;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

std::string Version2File(int records) {
  std::string file;
  for (int i = 0; i < records; ++i) {
    std::string rec(10000, ' ');
    const std::string caseNumber = "V2-" + std::to_string(i + 1);
    rec.replace(0, caseNumber.size(), caseNumber);
    const double date = 35000;
    std::memcpy(rec.data() + 165, &date, 8);
    for (std::size_t at : {173u, 181u, 239u}) std::memset(rec.data() + at, 0, 8);
    file += rec;
  }
  return file;
}

std::string Version3File() {
  std::string rec(15000, ' ');
  rec.replace(0, 5, "V3-01");
  for (std::size_t at : {165u, 173u, 181u, 239u, 1032u, 1145u, 1258u}) std::memset(rec.data() + at, 0, 8);
  const std::int16_t marker = 314;
  std::memcpy(rec.data() + 14998, &marker, 2);
  return rec;
}

class SignInFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g.session->setScreenSize({1280, 1024});
    g.settings->Write(QStringLiteral("NewUser"), QStringLiteral("NoShow"));
  }
  void TearDown() override { CloseAllWindows(*g.session); }
  frmTitlePage* Title() {
    frmTitlePage* title = g.flow->OpenTitleWindow();
    testing::Activate(title);
    return title;
  }
  // "&Sign In" clicked on the title window: whether the administrative
  // window came next.
  static bool SignIn(frmTitlePage* title) {
    testing::Click(title, "cmdSignIn");
    return FindWindow<frmAdmin>() != nullptr;
  }
  GuiSession g;
};

TEST_F(SignInFlowTest, AFirstRunOnACleanFolderShowsTheOverviewAndLeavesNoDataFile) {
  g.settings->Delete(QStringLiteral("NewUser"));
  frmTitlePage* title = Title();
  EXPECT_EQ(*network::ReadConcurrentUsers(g.folder.path()), 1) << "the workstation counts itself";
  g.messages->Press(1, true);
  EXPECT_TRUE(SignIn(title));
  ASSERT_EQ(g.messages->asked.size(), 1);
  const MessageRequest& overview = g.messages->asked[0];
  EXPECT_EQ(overview.caption, QStringLiteral("Kestrova - New User Overview"));
  EXPECT_EQ(overview.lines()[0],
            QStringLiteral("Welcome! Are you a new user? If so, then let's take a moment for a quick overview."));
  EXPECT_EQ(overview.lines()[1], QString());
  EXPECT_TRUE(overview.showCheckBox);
  EXPECT_EQ(overview.iconKind, IconKind::Information);
  EXPECT_EQ(overview.buttons, QStringList{QStringLiteral("&Continue")});
  EXPECT_EQ(g.settings->Read(QStringLiteral("NewUser")), QStringLiteral("NoShow"));
  EXPECT_FALSE(fs::exists(g.folder / "Kestrova.Data"));
  EXPECT_EQ(FindWindow<frmTitlePage>(), nullptr);
  frmAdmin* admin = FindWindow<frmAdmin>();
  ASSERT_NE(admin, nullptr);
  g.messages->Press(1);
  testing::Activate(admin);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("'User List' empty"));
  EXPECT_EQ(g.messages->Last().lines(), (QStringList{QStringLiteral("There are currently no 'Users'"),
                                                     QStringLiteral("entered in the 'User List'")}));
}

TEST_F(SignInFlowTest, TheOverviewIsNotShownAgainOnceDeclined) {
  EXPECT_TRUE(SignIn(Title()));
  EXPECT_TRUE(g.messages->asked.isEmpty());
}

TEST_F(SignInFlowTest, ASmallScreenIsNamedAndSignInGoesOn) {
  g.session->setScreenSize({800, 600});
  g.messages->Press(1);
  EXPECT_TRUE(SignIn(Title()));
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->asked[0].caption, QStringLiteral("Screen Resolution Issue"));
  EXPECT_EQ(g.messages->asked[0].lines(),
            (QStringList{QStringLiteral("Kestrova is designed for use on a"),
                         QStringLiteral("screen resolution of at least 1024x720. "), QString(),
                         QStringLiteral("Kestrova may not display correctly on"),
                         QStringLiteral("your current screen resolution (800x600)."), QString(),
                         QStringLiteral("To adjust your screen resolution settings,"),
                         QStringLiteral("right-click on your screen desktop and"),
                         QStringLiteral("select the appropriate menu options.")}));
  EXPECT_NE(FindWindow<frmAdmin>(), nullptr);
}

TEST_F(SignInFlowTest, AVersion2FileIsConvertedOnYes) {
  const std::string original = Version2File(3);
  WriteFileBytes(g.folder / "Kestrova.Data", original);
  g.messages->Press(1).Press(1);
  EXPECT_TRUE(SignIn(Title()));
  ASSERT_EQ(g.messages->asked.size(), 2);
  const MessageRequest& ask = g.messages->asked[0];
  EXPECT_EQ(ask.caption, QStringLiteral("Update older version data file?"));
  EXPECT_EQ(ask.iconKind, IconKind::Question);
  EXPECT_EQ(ask.lines()[4], QStringLiteral("and save a copy of the old one as 'Kestrova.Old'."));
  EXPECT_EQ(ask.buttons, (QStringList{QStringLiteral("&Yes, update our existing data file"),
                                      QStringLiteral("&Let's start over with a new data file"),
                                      QStringLiteral("&Quit the program, let me think about it")}));
  const MessageRequest& finished = g.messages->asked[1];
  EXPECT_EQ(finished.caption, QStringLiteral("Finished Updating!"));
  EXPECT_EQ(finished.lines(), (QStringList{QStringLiteral("Your data file has been"),
                                           QStringLiteral("successfully converted!"), QString()}));
  EXPECT_EQ(finished.buttons, QStringList{QStringLiteral("Thank you-- let's &continue")});
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 3u * 20001u);
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Old"), original);
  reports::DataFile data(g.folder.path());
  ASSERT_TRUE(data.OpenDataFile(reports::DataFileAccess::Read).ok());
  EXPECT_EQ(data.ReadRecord(2)->CaseNumber, "V2-2");
}

TEST_F(SignInFlowTest, AVersion3FileCanBeStartedOverAndShowsAnEmptyFinishedMessage) {
  const std::string original = Version3File();
  WriteFileBytes(g.folder / "Kestrova.Data", original);
  g.messages->Press(2).Press(1);
  EXPECT_TRUE(SignIn(Title()));
  ASSERT_EQ(g.messages->asked.size(), 2);
  EXPECT_EQ(g.messages->asked[1].caption, QStringLiteral("Finished Updating!"));
  EXPECT_EQ(g.messages->asked[1].message, QString());
  EXPECT_FALSE(fs::exists(g.folder / "Kestrova.Data"));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Old"), original);
}

TEST_F(SignInFlowTest, AVersion3FileIsConvertedOnYes) {
  WriteFileBytes(g.folder / "Kestrova.Data", Version3File());
  g.messages->Press(1).Press(1);
  EXPECT_TRUE(SignIn(Title()));
  reports::DataFile data(g.folder.path());
  ASSERT_TRUE(data.OpenDataFile(reports::DataFileAccess::Read).ok());
  EXPECT_EQ(data.RecordCount(), 1);
  EXPECT_EQ(data.ReadRecord(1)->CaseNumber, "V3-01");
  EXPECT_EQ(data.ReadRecord(1)->ProgramVersion, 414);
}

TEST_F(SignInFlowTest, QuittingAtTheQuestionTouchesNoDataFileAndEnds) {
  const std::string original = Version2File(3);
  WriteFileBytes(g.folder / "Kestrova.Data", original);
  frmTitlePage* title = Title();
  g.messages->Press(3);
  EXPECT_FALSE(SignIn(title));
  EXPECT_EQ(g.programEnded, 1);
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Data"), original);
  EXPECT_FALSE(fs::exists(g.folder / "Kestrova.Old"));
  EXPECT_EQ(FindWindow<frmAdmin>(), nullptr);
  EXPECT_EQ(FindWindow<frmTitlePage>(), nullptr);
  EXPECT_EQ(*network::ReadConcurrentUsers(g.folder.path()), 0) << "the workstation left the count";
}

TEST_F(SignInFlowTest, ACurrentDataFileIsTakenWithoutAQuestion) {
  reports::ReportRecord r;
  r.ProgramVersion = 414;
  ASSERT_TRUE(reports::AppendReport(g.folder.path(), r).ok());
  EXPECT_TRUE(SignIn(Title()));
  EXPECT_TRUE(g.messages->asked.isEmpty());
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 20001u);
}

TEST_F(SignInFlowTest, TheOldestDataFileIsSetAsideOrDeleted) {
  WriteFileBytes(g.folder / "Kestrova.Dat", "ancient");
  g.messages->Press(1);
  EXPECT_TRUE(SignIn(Title()));
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->asked[0].caption, QStringLiteral("Data file can not be updated"));
  EXPECT_EQ(g.messages->asked[0].lines(), (QStringList{QStringLiteral("Your old 'Kestrova.Dat' data file"),
                                                       QStringLiteral("is too old to be converted."), QString(),
                                                       QStringLiteral("It will be saved as 'Kestrova.Dat.Old'"),
                                                       QStringLiteral("and a new ('Kestrova.Data') data file"),
                                                       QStringLiteral("will be created for you now.")}));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Dat.Old"), "ancient");
  CloseAllWindows(*g.session);
  // Signing in again does not mention it; an empty one goes silently.
  WriteFileBytes(g.folder / "Kestrova.Dat", "");
  EXPECT_TRUE(SignIn(Title()));
  EXPECT_EQ(g.messages->asked.size(), 1);
  EXPECT_FALSE(fs::exists(g.folder / "Kestrova.Dat"));
}

TEST_F(SignInFlowTest, ASetAsideNeverReplacesAnEarlierOneAndTheNoticeNamesTheFileUsed) {
  // The clock stands at 06/12/2026 14:05:09.
  WriteFileBytes(g.folder / "Kestrova.Old", "first upgrade");
  WriteFileBytes(g.folder / "Kestrova.Data", Version3File());
  WriteFileBytes(g.folder / "Kestrova.Dat.Old", "first set-aside");
  WriteFileBytes(g.folder / "Kestrova.Dat", "ancient");
  g.messages->Press(2).Press(1).Press(1);
  EXPECT_TRUE(SignIn(Title()));
  ASSERT_EQ(g.messages->asked.size(), 3);
  EXPECT_EQ(g.messages->asked[1].lines(), (QStringList{QStringLiteral("The earlier copy 'Kestrova.Old' was kept"),
                                                       QStringLiteral("as 'Kestrova.Old-20261206140509'.")}));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Old-20261206140509"), "first upgrade");
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Old"), Version3File());
  EXPECT_EQ(g.messages->asked[2].lines()[3], QStringLiteral("It will be saved as 'Kestrova.Dat.Old-20261206140509'"));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Dat.Old"), "first set-aside");
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Dat.Old-20261206140509"), "ancient");
}

TEST_F(SignInFlowTest, SignInPulsesAfterFiveSecondsInItsYellowFamily) {
  frmTitlePage* title = Title();
  ButtonFlasher& flasher = testing::FlasherOf(title);
  EXPECT_TRUE(flasher.IsRunning());
  EXPECT_EQ(flasher.Interval(), 5000);
  auto* signIn = title->findChild<ZelButton*>(QStringLiteral("cmdSignIn"));
  EXPECT_EQ(signIn->Caption(), QStringLiteral("&Sign In"));
  EXPECT_EQ(flasher.target(), signIn);
  const QColor resting = signIn->BackColor();
  flasher.Tick();
  EXPECT_EQ(flasher.Interval(), 15) << "after the first tick it pulses quickly";
  EXPECT_EQ(signIn->BackColor(), QColor(244, 244, 0));
  EXPECT_EQ(signIn->ForeColor(), QColor(4, 4, 0));
  title->CloseByProgram();
  EXPECT_FALSE(flasher.IsRunning());
  EXPECT_EQ(signIn->BackColor(), resting) << "it rests in its hover colours";
}

}  // namespace
}  // namespace kestrova::gui
