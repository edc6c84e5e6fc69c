#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "core/reports/report_actions.h"
#include "core/users/passwords.h"
#include "core/users/user_list.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"
#include "gui/users/backup_restore_menu.h"
#include "gui/users/frm_admin.h"
#include "gui/window_flow.h"
#include "platform/access_code_store.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

namespace fs = std::filesystem;
using testing::Click;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

const QString kCode = QStringLiteral("Kestrel1");
const QString kWindowCaption = QStringLiteral("Kestrova - Administrative Window");

users::UserRecord User(const std::string& first, const std::string& last) {
  users::UserRecord u;
  u.DateCreated = time::ToOleDate({2024, 1, 5, 15, 5, 0});
  u.FirstName = first;
  u.LastName = last;
  u.Password = users::EncodePassword("secret1");
  u.AccessLevel = 4;
  return u;
}

class AdminLogsAndBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(users::AddUser(g.folder.path(), User("Al", "Adams")).ok());
    (void)platform::AccessCodeStore(*g.settings, g.folder.path()).Set(kCode);
  }
  void TearDown() override { testing::CloseAllWindows(*g.session); }

  frmAdmin* Open() {
    frmAdmin* admin = g.flow->OpenAdministrativeWindow();
    admin->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(admin));
    testing::Activate(admin);
    admin->findChild<BackupRestoreMenu*>(QStringLiteral("backupRestore"))->setPace(std::chrono::milliseconds(5));
    return admin;
  }
  template <class T = QWidget>
  static T* Child(QWidget* w, const QString& name) {
    return w->findChild<T*>(name);
  }
  static ZelButton* Button(QWidget* w, const char* name) { return Child<ZelButton>(w, QString::fromLatin1(name)); }
  static QPlainTextEdit* Text(QWidget* w) { return Child<QPlainTextEdit>(w, QStringLiteral("txtLogText")); }
  void EnterReview(frmAdmin* admin) {
    g.inputBox->answers = {kCode};
    Click(admin, "cmdReviewLogs");
    ASSERT_EQ(admin->mode(), frmAdmin::Mode::Reviewing);
  }
  void ShowOption(frmAdmin* admin, int n) { Click(Child(admin, QStringLiteral("optViewLog%1").arg(n))); }

  // Chooses an item of the backup/restore menu with the mouse, after the access code.
  void ChooseMenuItem(frmAdmin* admin, int item) {
    g.inputBox->answers = {kCode};
    Click(admin, "cmdBackupRestore");
    auto* menu = Child<QMenu>(admin, QStringLiteral("menuBackupRestoreMenu"));
    ASSERT_TRUE(menu && menu->isVisible());
    QAction* action = menu->actions().at(item - 1);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(admin->windowTitle(), kWindowCaption) << "the caption is put back after item " << item;
    EXPECT_TRUE(admin->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
  QStringList Captions(int from) const {
    QStringList c;
    for (int i = from; i < g.messages->asked.size(); ++i) c << g.messages->asked[i].caption;
    return c;
  }

  testing::GuiSession g;
};

TEST_F(AdminLogsAndBackup, LogReviewShowsEachLogBehindTheAccessCodeAndNeverWritesOne) {
  WriteFileBytes(g.folder / "DataRecords.Log", "  first line\r\nlast line  ");
  WriteFileBytes(g.folder / "SignInOut.Log", "        ");  // only blanks
  WriteFileBytes(g.folder / "UserList.Log", "\r\n\r\nAl Adams added\r\n");
  ::chmod((g.folder / "UserList.Log").c_str(), 0444);
  frmAdmin* admin = Open();

  // A wrong code leaves the window as it was.
  g.inputBox->answers = {QStringLiteral("wrong")};
  g.messages->Press(2);  // "&Never mind"
  Click(admin, "cmdReviewLogs");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Invalid Entry"));
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::List);
  EXPECT_FALSE(Child(admin, QStringLiteral("picLogs"))->isVisible());

  EnterReview(admin);
  auto* grid = Child<QTableWidget>(admin, QStringLiteral("grid"));
  QWidget* picLogs = Child(admin, QStringLiteral("picLogs"));
  EXPECT_EQ(admin->windowTitle(), QStringLiteral("Kestrova - Activity Logs"));
  EXPECT_TRUE(picLogs->isVisible());
  EXPECT_EQ(picLogs->y(), grid->y());
  EXPECT_FALSE(grid->isVisible());
  for (const char* hidden : {"cmdUserSelected", "cmdEditList", "cmdBackupRestore", "cmdFindFinished"}) {
    EXPECT_FALSE(Button(admin, hidden)->isVisible()) << hidden;
  }
  ZelButton* review = Button(admin, "cmdReviewLogs");
  EXPECT_EQ(review->Caption(), QStringLiteral("&Finished Reviewing"));
  EXPECT_EQ(review->toolTip(), QStringLiteral(" Click here when finished reviewing the activity logs "));
  EXPECT_EQ(testing::FlasherOf(admin).target(), review);
  EXPECT_EQ(Button(admin, "cmdFindText")->Caption(), QStringLiteral("F&ind text"));
  EXPECT_EQ(Button(admin, "cmdFindText")->toolTip(), QStringLiteral(" Search the currently displayed activity log "));
  auto* option1 = Child<QRadioButton>(admin, QStringLiteral("optViewLog1"));
  EXPECT_EQ(option1->text(), QStringLiteral("Data Records\nHistory"));
  EXPECT_EQ(Child(admin, QStringLiteral("optViewLog3"))->toolTip(),
            QStringLiteral("A log of users who have signed in and signed out..."));

  // The first log, trimmed of blanks, the caret after its last line.
  EXPECT_TRUE(option1->isChecked());
  EXPECT_EQ(Text(admin)->toPlainText(), QStringLiteral("first line\nlast line")) << "the blanks at both ends go";
  EXPECT_EQ(Text(admin)->textCursor().position(), Text(admin)->toPlainText().size());
  auto* note = Child<QLabel>(admin, QStringLiteral("labelLogNote"));
  EXPECT_TRUE(note->isVisible());
  EXPECT_EQ(note->text(), QStringLiteral("NOTE: You can copy/paste all or any part of the above text\n"
                                         "for documentation or printing purposes"));
  const QString noEntries = QStringLiteral("There are currently no entries for this log file");
  ShowOption(admin, 2);  // no Search.Log
  EXPECT_EQ(Text(admin)->toPlainText(), noEntries);
  EXPECT_FALSE(note->isVisible());
  ShowOption(admin, 4);  // empty lines are kept
  EXPECT_EQ(Text(admin)->toPlainText(), QStringLiteral("\n\nAl Adams added\n"));
  EXPECT_TRUE(note->isVisible());
  ShowOption(admin, 3);  // only blanks
  EXPECT_EQ(Text(admin)->toPlainText(), noEntries);
  EXPECT_FALSE(note->isVisible());
  EXPECT_TRUE(Text(admin)->isReadOnly());

  // Leaving puts the list back; coming back shows the log shown last.
  Click(admin, "cmdReviewLogs");
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::List);
  EXPECT_EQ(admin->windowTitle(), kWindowCaption);
  EXPECT_EQ(review->Caption(), QStringLiteral("&Activity Logs"));
  EXPECT_EQ(review->toolTip(), QStringLiteral(" Review the program activity logs... "));
  EXPECT_TRUE(grid->isVisible());
  EXPECT_FALSE(picLogs->isVisible());
  for (const char* shown : {"cmdUserSelected", "cmdEditList", "cmdBackupRestore"}) {
    EXPECT_TRUE(Button(admin, shown)->isVisible()) << shown;
  }
  EXPECT_EQ(testing::FlasherOf(admin).target(), nullptr);
  WriteFileBytes(g.folder / "SignInOut.Log", "Al Adams signed in\r\n");
  EnterReview(admin);
  EXPECT_TRUE(Child<QRadioButton>(admin, QStringLiteral("optViewLog3"))->isChecked());
  EXPECT_EQ(Text(admin)->toPlainText(), QStringLiteral("Al Adams signed in\n")) << "read afresh";

  EXPECT_EQ(ReadFileBytes(g.folder / "DataRecords.Log"), "  first line\r\nlast line  ");
  EXPECT_EQ(ReadFileBytes(g.folder / "UserList.Log"), "\r\n\r\nAl Adams added\r\n");
  struct stat st {};
  ASSERT_EQ(::stat((g.folder / "UserList.Log").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u) << "viewing changes no permission";
  EXPECT_FALSE(fs::exists(g.folder / "Search.Log")) << "a missing log is not made";
}

TEST_F(AdminLogsAndBackup, FindNextWrapsThroughEndOfTextAndSaysNoSuchText) {
  WriteFileBytes(g.folder / "DataRecords.Log", "Signed in\r\nother\r\nsigned out\r\n");
  frmAdmin* admin = Open();
  EnterReview(admin);
  const auto selected = [&] {
    const QTextCursor c = Text(admin)->textCursor();
    return std::make_pair(c.selectionStart(), c.selectedText());
  };
  ZelButton* find = Button(admin, "cmdFindText");
  g.inputBox->answers = {QStringLiteral("SIGNED")};
  Click(find);
  const platform::InputRequest& box = g.inputBox->requests.last();
  EXPECT_EQ(box.title, QStringLiteral("Search for Text"));
  EXPECT_EQ(box.prompt, QStringLiteral("\n\n\nEnter any text, whole or partial\nthat you wish to find..."));
  EXPECT_EQ(selected(), std::make_pair(0, QStringLiteral("Signed")));
  EXPECT_EQ(find->Caption(), QStringLiteral("Find &Next..."));
  EXPECT_EQ(find->toolTip(), QStringLiteral(" Looking for 'SIGNED' "));
  ZelButton* finished = Button(admin, "cmdFindFinished");
  EXPECT_TRUE(finished->isVisible());
  EXPECT_EQ(finished->Caption(), QStringLiteral("&Finished"));
  EXPECT_FALSE(Button(admin, "cmdReviewLogs")->isVisible()) << "log review is not left during a search";
  EXPECT_EQ(testing::FlasherOf(admin).target(), finished);

  Click(find);
  EXPECT_EQ(selected(), std::make_pair(16, QStringLiteral("signed")));
  g.messages->Press(1);  // "&Yes, look again"
  Click(find);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("End of text reached"));
  EXPECT_EQ(g.messages->Last().buttons,
            (QStringList{QStringLiteral("&Yes, look again"), QStringLiteral("&No, stop searching")}));
  EXPECT_EQ(selected(), std::make_pair(0, QStringLiteral("Signed"))) << "from the top again";
  Click(find);
  g.messages->Press(2);
  Click(find);
  EXPECT_EQ(g.messages->asked.size(), 2);
  EXPECT_FALSE(finished->isVisible());
  EXPECT_EQ(find->Caption(), QStringLiteral("F&ind text"));
  EXPECT_TRUE(Button(admin, "cmdReviewLogs")->isVisible());
  EXPECT_EQ(testing::FlasherOf(admin).target(), Button(admin, "cmdReviewLogs"));

  // Text that is not there; "&Try &another search" opens the box again with it.
  g.inputBox->answers = {QStringLiteral("zebra")};
  g.messages->Press(1);
  Click(find);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("No such text"));
  EXPECT_EQ(g.messages->Last().lines(),
            (QStringList{QStringLiteral("The text 'zebra'"), QStringLiteral("could not be found.")}));
  EXPECT_EQ(g.inputBox->requests.last().defaultText, QStringLiteral("zebra"));
  EXPECT_FALSE(finished->isVisible()) << "the cancelled box ends the search";

  // Escape ends a search.
  g.inputBox->answers = {QStringLiteral("other")};
  Click(find);
  ASSERT_TRUE(finished->isVisible());
  QTest::keyClick(admin, Qt::Key_Escape);
  EXPECT_FALSE(finished->isVisible());
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::Reviewing);
}

TEST_F(AdminLogsAndBackup, BackupChecksItsFolderAndCopiesEveryFileAsItIs) {
  ASSERT_TRUE(reports::AppendReport(g.folder.path(), testing::Report("24-1", 1)).ok());
  WriteFileBytes(g.folder / "Search.Log", "searched\r\n");
  frmAdmin* admin = Open();
  testing::TempFolder target;

  // The menu: its items, the first in bold as the default.
  g.inputBox->answers = {kCode};
  Click(admin, "cmdBackupRestore");
  auto* menu = Child<QMenu>(admin, QStringLiteral("menuBackupRestoreMenu"));
  ASSERT_TRUE(menu->isVisible());
  ASSERT_EQ(menu->actions().size(), 4);
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("&Backup the Zeviduri data files"));
  EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("&Restore the Zeviduri data files"));
  EXPECT_TRUE(menu->actions()[2]->isSeparator());
  EXPECT_EQ(menu->actions()[3]->text(), QStringLiteral("E&xit this menu"));
  EXPECT_EQ(menu->defaultAction(), menu->actions()[0]);
  EXPECT_TRUE(menu->actions()[0]->font().bold());
  menu->hide();

  int asked = 0;
  g.folderPicker->answers = {QString::fromStdString(g.folder.path().string() + "/")};
  g.messages->Press(1);
  ChooseMenuItem(admin, 1);
  EXPECT_EQ(Captions(asked), QStringList{QStringLiteral("Invalid Procedure")});
  EXPECT_EQ(g.folderPicker->asked.last().caption,
            QStringLiteral("Select a disk/drive/folder to copy (backup) your Kestrova data files to..."));

  asked = static_cast<int>(g.messages->asked.size());
  WriteFileBytes(target / "holiday.jpg", "not ours");
  g.folderPicker->answers = {QString::fromStdString(target.path().string())};
  g.messages->Press(2);  // no, cancel
  ChooseMenuItem(admin, 1);
  EXPECT_EQ(Captions(asked), QStringList{QStringLiteral("Caution")});
  EXPECT_FALSE(fs::exists(target / "Kestrova.Data"));
  fs::remove(target / "holiday.jpg");

  asked = static_cast<int>(g.messages->asked.size());
  g.folderPicker->answers = {QString::fromStdString(target.path().string())};
  g.messages->Press(1).Press(1);
  bool busy = false;
  QString caption;
  // Runs while the files are copied, in the pause before the first one.
  QTimer::singleShot(0, admin, [&] {
    busy = !admin->isEnabled() && QApplication::overrideCursor() &&
           QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    caption = admin->windowTitle();
  });
  ChooseMenuItem(admin, 1);
  EXPECT_EQ(Captions(asked), (QStringList{QStringLiteral("Ready to Backup..."), QStringLiteral("Backup Successful")}));
  EXPECT_TRUE(busy) << "the window is disabled with the wait pointer while copying";
  EXPECT_EQ(caption, QStringLiteral("Copying Kestrova.Data..."));
  for (const char* name : {"Kestrova.Data", "User.List", "Search.Log", "Kestrova.Access"}) {
    EXPECT_EQ(ReadFileBytes(target / name), ReadFileBytes(g.folder / name)) << name;
  }
  EXPECT_FALSE(fs::exists(target / "User.Log")) << "a missing log is skipped";
  EXPECT_FALSE(fs::exists(target / "Kestrova.Data.copying"));

  // Item 4 does nothing.
  asked = static_cast<int>(g.messages->asked.size());
  ChooseMenuItem(admin, 4);
  EXPECT_EQ(asked, g.messages->asked.size());
}

TEST_F(AdminLogsAndBackup, RestoreAsksWhatItReplacesAndTheListIsReadAgain) {
  ASSERT_TRUE(reports::AppendReport(g.folder.path(), testing::Report("24-1", 1)).ok());
  frmAdmin* admin = Open();
  testing::TempFolder backup;
  g.folderPicker->answers = {QString::fromStdString(backup.path().string())};
  g.messages->Press(1).Press(1);
  ChooseMenuItem(admin, 1);
  const std::string users = ReadFileBytes(backup / "User.List");
  const std::string reports = ReadFileBytes(backup / "Kestrova.Data");

  int asked = static_cast<int>(g.messages->asked.size());
  testing::TempFolder empty;
  g.folderPicker->answers = {QString::fromStdString(empty.path().string())};
  g.messages->Press(1);
  ChooseMenuItem(admin, 2);
  EXPECT_EQ(Captions(asked), QStringList{QStringLiteral("Required file(s) missing")});
  EXPECT_EQ(g.folderPicker->asked.last().caption,
            QStringLiteral("Select the disk/drive/folder that contains your previously backed up Kestrova data files "
                           "that you wish to restore..."));

  // Another user added since; the restore brings the list back, on the screen too.
  ASSERT_TRUE(users::AddUser(g.folder.path(), User("Bea", "Brown")).ok());
  admin->findChild<QWidget*>(QStringLiteral("grid"))->setFocus();
  asked = static_cast<int>(g.messages->asked.size());
  g.folderPicker->answers = {QString::fromStdString(backup.path().string())};
  g.messages->Press(1).Press(1);
  ChooseMenuItem(admin, 2);
  EXPECT_EQ(Captions(asked),
            (QStringList{QStringLiteral("Important! Please read carefully..."), QStringLiteral("Restore Successful")}));
  EXPECT_EQ(ReadFileBytes(g.folder / "User.List"), users);
  auto* grid = Child<QTableWidget>(admin, QStringLiteral("grid"));
  ASSERT_EQ(grid->rowCount(), 1) << "the list on the screen is the restored one";
  EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Al Adams"));

  // With no data file there is nothing to replace and no question.
  fs::remove(g.folder / "Kestrova.Data");
  asked = static_cast<int>(g.messages->asked.size());
  g.folderPicker->answers = {QString::fromStdString(backup.path().string())};
  g.messages->Press(1);
  ChooseMenuItem(admin, 2);
  EXPECT_EQ(Captions(asked), QStringList{QStringLiteral("Restore Successful")});
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Data"), reports);
  EXPECT_FALSE(fs::exists(g.folder / "User.Log")) << "a log missing from the backup is skipped";

  // Cancelling the folder picker does nothing.
  asked = static_cast<int>(g.messages->asked.size());
  ChooseMenuItem(admin, 2);
  EXPECT_EQ(asked, g.messages->asked.size());
}

}  // namespace
}  // namespace kestrova::gui
