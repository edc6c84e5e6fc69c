#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <functional>

#include "core/users/passwords.h"
#include "core/users/user_list.h"
#include "gui/reports/frm_main.h"
#include "gui/session/access_code.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"
#include "gui/users/frm_add_edit_user.h"
#include "gui/users/frm_admin.h"
#include "gui/window_flow.h"
#include "platform/access_code_store.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"
#include "support/processes.h"

namespace kestrova::gui {
namespace {

using testing::Click;
using testing::RightClick;

using testing::CloseAllWindows;
using testing::FindWindow;
using testing::GuiSession;
using testing::ReadFileBytes;

users::UserRecord User(const std::string& first, const std::string& last, std::int16_t level,
                       const std::string& password) {
  users::UserRecord u;
  u.DateCreated = time::ToOleDate({2024, 1, 5, 15, 5, 0});
  u.FirstName = first;
  u.LastName = last;
  u.Password = users::EncodePassword(password);
  u.AccessLevel = level;
  return u;
}

class AdminWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& u : {User("Cy", "Adams", 2, "cypass1"), User("ann", "ZETA", 1, "annpass"),
                          User("Bob", "adams", 3, "bobpass"), User("Al", "Adams", 4, "Secret12")}) {
      ASSERT_TRUE(users::AddUser(g.folder.path(), u).ok());
    }
  }
  void TearDown() override { CloseAllWindows(*g.session); }

  frmAdmin* Open() {
    frmAdmin* admin = g.flow->OpenAdministrativeWindow();
    admin->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(admin));
    testing::Activate(admin);
    return admin;
  }
  template <class T>
  static T* Child(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
  }
  static QStringList Names(frmAdmin* admin) {
    auto* grid = Child<QTableWidget>(admin, "grid");
    QStringList names;
    for (int r = 0; r < grid->rowCount(); ++r) names << grid->item(r, 0)->text();
    return names;
  }
  std::string Log(const char* name) { return ReadFileBytes(g.folder / name); }
  void SetAccessCode(const QString& code) { (void)platform::AccessCodeStore(*g.settings, g.folder.path()).Set(code); }

  GuiSession g;
};

TEST_F(AdminWindowTest, ListsUsersByLastThenFirstNameIgnoringCase) {
  frmAdmin* admin = Open();
  EXPECT_EQ(admin->windowTitle(), QStringLiteral("Kestrova - Administrative Window"));
  EXPECT_EQ(Names(admin), (QStringList{QStringLiteral("Al Adams"), QStringLiteral("Bob adams"),
                                       QStringLiteral("Cy Adams"), QStringLiteral("ann ZETA")}));
  auto* grid = Child<QTableWidget>(admin, "grid");
  EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("Full Access"));
  EXPECT_EQ(grid->item(0, 2)->text(), QStringLiteral("01/05/2024"));
  EXPECT_EQ(grid->item(0, 4)->text(), QStringLiteral("4")) << "the record number";
  EXPECT_EQ(grid->item(1, 0)->background().color(), QColor(224, 240, 224)) << "even rows are shaded";
  EXPECT_NE(grid->item(0, 0)->background().color(), QColor(224, 240, 224));
  EXPECT_EQ(grid->currentRow(), 0);
  EXPECT_EQ(admin->GridToolTip(), QStringLiteral(" Double-click to select this User "));
  auto* selected = Child<ZelButton>(admin, "cmdUserSelected");
  EXPECT_TRUE(selected->isVisible());
  EXPECT_EQ(selected->Caption(), QStringLiteral("&Sign in the Highlighted User"));
  EXPECT_TRUE(g.messages->asked.isEmpty());
}

TEST_F(AdminWindowTest, UsersAddedOrRemovedElsewhereShowWhenTheWindowIsActiveAgain) {
  frmAdmin* admin = Open();
  auto* grid = Child<QTableWidget>(admin, "grid");
  grid->setCurrentCell(2, 0);  // Cy Adams
  // Another workstation adds one user and removes Bob (record 3).
  ASSERT_TRUE(testing::RunInChildren(1, [&](int) {
    const bool done = users::AddUser(g.folder.path(), User("Dee", "Baker", 1, "deepass")).ok() &&
                      users::DeleteUser(g.folder.path(), 3, nullptr).ok();
    return done ? 0 : 1;
  }));
  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
  admin->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(admin));
  EXPECT_EQ(Names(admin), (QStringList{QStringLiteral("Al Adams"), QStringLiteral("Cy Adams"),
                                       QStringLiteral("Dee Baker"), QStringLiteral("ann ZETA")}));
  EXPECT_EQ(grid->item(grid->currentRow(), 0)->text(), QStringLiteral("Cy Adams")) << "the same user stays highlighted";
  EXPECT_EQ(grid->item(0, 4)->text(), QStringLiteral("3")) << "Al Adams moved from record 4: rows point at the file";
  // The password box keeps the text's size: its dots are no giants.
  testing::Click(admin, "cmdUserSelected");
  auto* password = Child<QLineEdit>(admin, "txtPassword");
  EXPECT_LE(QFontMetrics(password->font()).height(), QFontMetrics(grid->font()).height() * 5 / 4);
  const QChar dot(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password));
  EXPECT_LE(QFontMetrics(password->font()).horizontalAdvance(dot),
            QFontMetrics(password->font()).horizontalAdvance(QLatin1Char('n')));
}

TEST_F(AdminWindowTest, PasswordModeEnablesSignInFromTheFourthCharacter) {
  frmAdmin* admin = Open();
  testing::Click(admin, "cmdUserSelected");
  ASSERT_EQ(admin->mode(), frmAdmin::Mode::Password);
  auto* selected = Child<ZelButton>(admin, "cmdUserSelected");
  auto* signIn = Child<ZelButton>(admin, "cmdSignIn");
  auto* password = Child<QLineEdit>(admin, "txtPassword");
  EXPECT_EQ(selected->Caption(), QStringLiteral("Enter Password at right"));
  EXPECT_FALSE(selected->isEnabled());
  EXPECT_TRUE(password->isVisible());
  EXPECT_FALSE(signIn->isEnabled());

  QTest::keyClicks(password, QStringLiteral("Sec"));
  EXPECT_FALSE(signIn->isEnabled());
  QTest::keyClick(admin, Qt::Key_Return);
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::Password) << "with 1 to 3 characters Enter does nothing";
  EXPECT_FALSE(testing::FlasherOf(admin).IsRunning());

  QTest::keyClicks(password, QStringLiteral("r"));
  EXPECT_TRUE(signIn->isEnabled());
  EXPECT_TRUE(testing::FlasherOf(admin).IsRunning());
  EXPECT_EQ(testing::FlasherOf(admin).target(), signIn);

  QTest::keyClicks(password, QStringLiteral("et12345"));
  EXPECT_EQ(password->text().size(), 8) << "no ninth character";

  password->clear();
  QTest::keyClick(admin, Qt::Key_Return);
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::List) << "an empty box: Enter cancels";
  EXPECT_TRUE(selected->isEnabled());
  EXPECT_EQ(selected->Caption(), QStringLiteral("&Sign in the Highlighted User"));
}

TEST_F(AdminWindowTest, AWrongPasswordIsLoggedAndEmptiesTheUserName) {
  frmAdmin* admin = Open();
  testing::Click(admin, "cmdUserSelected");
  auto* password = Child<QLineEdit>(admin, "txtPassword");
  QTest::keyClicks(password, QStringLiteral("secret12"));  // wrong letter case
  g.messages->Press(1);                                    // "&Try again"
  testing::Click(admin, "cmdSignIn");
  const MessageRequest& r = g.messages->Last();
  EXPECT_EQ(r.caption, QStringLiteral("Incorrect Password"));
  EXPECT_EQ(r.iconKind, IconKind::Error);
  EXPECT_EQ(r.lines(), (QStringList{QStringLiteral("That is not the correct password"),
                                    QStringLiteral("associated with this name")}));
  EXPECT_EQ(r.buttons, (QStringList{QStringLiteral("&Try again"), QStringLiteral("&Cancel sign-in")}));
  EXPECT_EQ(Log("SignInOut.Log"), "12/06/2026 at 14:05:09 - Al Adams - Incorrect password submitted\r\n");
  EXPECT_EQ(g.session->signIn.CurrentUserName, "");
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::Password);
  EXPECT_TRUE(password->text().isEmpty());
  // Enabled again from the fourth character, but nothing pulses any more.
  QTest::keyClicks(password, QStringLiteral("Secr"));
  EXPECT_TRUE(Child<ZelButton>(admin, "cmdSignIn")->isEnabled());
  EXPECT_EQ(testing::FlasherOf(admin).target(), nullptr);

  g.messages->Press(2);  // "&Cancel sign-in"
  password->clear();
  QTest::keyClicks(password, QStringLiteral("nope"));
  testing::Click(admin, "cmdSignIn");
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::List);
}

TEST_F(AdminWindowTest, TheRightPasswordSignsInAndTheMainWindowSignsOut) {
  frmAdmin* admin = Open();
  testing::Click(admin, "cmdUserSelected");
  QTest::keyClicks(Child<QLineEdit>(admin, "txtPassword"), QStringLiteral("Secret12"));
  QTest::keyClick(admin, Qt::Key_Return);
  EXPECT_EQ(Log("SignInOut.Log"), "12/06/2026 at 14:05:09 - Al Adams signed in w/ Full Access privileges\r\n");
  EXPECT_EQ(g.session->signIn.CurrentUserName, "Al Adams");
  EXPECT_EQ(g.session->signIn.CurrentAccessLevel, users::AccessLevel::FullAccess);
  EXPECT_EQ(FindWindow<frmAdmin>(), nullptr);
  frmMain* main = FindWindow<frmMain>();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Kestrova"));

  Click(main, "cmdAdminWindow");
  EXPECT_NE(Log("SignInOut.Log").find("12/06/2026 at 14:05:09 - Al Adams signed out\r\n"), std::string::npos);
  EXPECT_EQ(FindWindow<frmMain>(), nullptr);
  EXPECT_NE(FindWindow<frmAdmin>(), nullptr) << "a new administrative window";
}

// Another workstation deletes a user while this list is shown: the rows'
// record numbers now point at other users.
TEST_F(AdminWindowTest, ASignInOrDeletionChecksTheRecordStillHoldsTheUserShown) {
  frmAdmin* admin = Open();
  ASSERT_EQ(Names(admin).first(), QStringLiteral("Al Adams"));       // record 4
  ASSERT_TRUE(users::DeleteUser(g.folder.path(), 1, nullptr).ok());  // Cy Adams
  testing::Click(admin, "cmdUserSelected");
  QTest::keyClicks(Child<QLineEdit>(admin, "txtPassword"), QStringLiteral("Secret12"));
  g.messages->Press(1);
  QTest::keyClick(admin, Qt::Key_Return);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("User List Changed"));
  EXPECT_EQ(Log("SignInOut.Log"), "") << "nobody signed in";
  EXPECT_TRUE(g.session->signIn.CurrentUserName.empty());
  EXPECT_EQ(FindWindow<frmMain>(), nullptr);
  EXPECT_EQ(Names(admin).size(), 3) << "the list is read again";

  // Deleting is one of the administrative functions behind the access code.
  SetAccessCode(QStringLiteral("Kestrel1"));
  g.inputBox->answers = {QStringLiteral("Kestrel1")};
  testing::Click(admin, "cmdEditList");
  ASSERT_EQ(admin->mode(), frmAdmin::Mode::Editing);
  ASSERT_TRUE(users::DeleteUser(g.folder.path(), 1, nullptr).ok());  // ann ZETA: Al moves to record 2
  const std::string before = ReadFileBytes(g.folder / "User.List");
  g.messages->Press(1).Press(1);
  testing::Click(admin, "cmdDeleteUser");  // the row still says record 3 for Al Adams
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("User List Changed"));
  EXPECT_EQ(ReadFileBytes(g.folder / "User.List"), before) << "Bob adams was not deleted in Al's place";
  EXPECT_EQ(Log("UserList.Log"), "");
}

TEST_F(AdminWindowTest, TheUserFormKeepsStoredCommentsAndRefusesTextItCannotStore) {
  auto al = users::ReadAllUsers(g.folder.path())->back();
  const auto id = users::IdentityOf(al);
  al.Comments = "Night shift\r\n\tbadge 7";
  ASSERT_TRUE(users::ChangeUser(g.folder.path(), 4, id, al).ok());
  const std::string before = ReadFileBytes(g.folder / "User.List");
  const auto edit = [&](const std::function<void(frmAddEditUser*)>& step) {
    frmAddEditUser form(*g.session, frmAddEditUser::Mode::ViewEdit, 4);
    form.show();
    testing::Activate(&form);
    step(&form);
  };
  edit([](frmAddEditUser* form) {
    auto* created = form->findChild<QLabel*>(QStringLiteral("lblDateCreated"));
    EXPECT_LE(created->geometry().right(), form->width()) << "Record Created runs off the form";
    EXPECT_TRUE(created->width() >= created->sizeHint().width() ||
                (created->wordWrap() && created->height() >= created->heightForWidth(created->width())))
        << "Record Created is cut off";
    EXPECT_EQ(form->findChild<QPlainTextEdit*>(QStringLiteral("txtfield4"))->toPlainText(),
              QStringLiteral("Night shift\n\tbadge 7"));
    form->findChild<QRadioButton*>(QStringLiteral("optAccessLevel3"))->click();
    testing::Click(form, "cmdSave");
  });
  std::string after = ReadFileBytes(g.folder / "User.List");
  EXPECT_EQ(after.substr(1500 + 59, 2), std::string("\x03\x00", 2));
  after.replace(1500 + 43, 18, before.substr(1500 + 43, 18));  // the password is encoded afresh
  EXPECT_EQ(after, before) << "only the level and the password's filler changed";

  edit([&](frmAddEditUser* form) {
    form->findChild<QPlainTextEdit*>(QStringLiteral("txtfield4"))->setPlainText(QStringLiteral("a\nb"));
    form->findChild<QLineEdit*>(QStringLiteral("txtfield1"))->setText(QStringLiteral("\u0410\u043B"));
    g.messages->Press(1);
    testing::Click(form, "cmdSave");
    EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Characters Not Stored"));
    EXPECT_EQ(g.messages->Last().lines()[0], QStringLiteral("'First Name' holds characters"));
    EXPECT_FALSE(form->saved());
    form->findChild<QLineEdit*>(QStringLiteral("txtfield1"))->setText(QStringLiteral("Al"));
    testing::Click(form, "cmdSave");
  });
  EXPECT_EQ(users::ReadAllUsers(g.folder.path())->back().Comments, "a\r\nb");
}

TEST_F(AdminWindowTest, AddingEditingAndDeletingUsersIsLogged) {
  SetAccessCode(QStringLiteral("Kestrel1"));
  frmAdmin* admin = Open();
  g.inputBox->answers = {QStringLiteral("Kestrel1")};
  testing::Click(admin, "cmdEditList");
  ASSERT_EQ(admin->mode(), frmAdmin::Mode::Editing);
  EXPECT_EQ(admin->windowTitle(), QStringLiteral("'User List' Administration"));
  EXPECT_EQ(Child<ZelButton>(admin, "cmdEditList")->Caption(), QStringLiteral("&Finished editing"));
  EXPECT_FALSE(Child<ZelButton>(admin, "cmdUserSelected")->isVisible());
  EXPECT_TRUE(Child<ZelButton>(admin, "cmdAddUser")->isEnabled());
  EXPECT_EQ(testing::FlasherOf(admin).target(), Child<ZelButton>(admin, "cmdEditList"));

  // Add.
  testing::WhenModalOpens<frmAddEditUser>([](frmAddEditUser* form) {
    testing::Activate(form);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Add a User - Kestrova"));
    form->findChild<QLineEdit*>(QStringLiteral("txtfield1"))->setText(QStringLiteral("  Dee "));
    form->findChild<QLineEdit*>(QStringLiteral("txtfield2"))->setText(QStringLiteral("Baker"));
    form->findChild<QLineEdit*>(QStringLiteral("txtfield3"))->setText(QStringLiteral(" dee123 "));
    form->findChild<QRadioButton*>(QStringLiteral("optAccessLevel3"))->click();
    testing::Click(form, "cmdSave");
  });
  testing::Click(admin, "cmdAddUser");
  EXPECT_EQ(Log("UserList.Log"), "12/06/2026 at 14:05:09 - 'Dee Baker' added to the 'User List'\r\n");
  auto all = users::ReadAllUsers(g.folder.path());
  ASSERT_EQ(all->size(), 5u);
  EXPECT_EQ(all->back().FirstName, "Dee");
  EXPECT_EQ(all->back().AccessLevel, 3);
  EXPECT_TRUE(users::PasswordMatches(all->back().Password, "dee123"));
  EXPECT_EQ(all->back().DateCreated, time::ToOleDate({2026, 12, 6, 14, 5, 9}));
  auto* grid = Child<QTableWidget>(admin, "grid");
  EXPECT_EQ(grid->item(grid->currentRow(), 0)->text(), QStringLiteral("Dee Baker")) << "the new user is selected";

  // Edit: only the level changes.
  testing::WhenModalOpens<frmAddEditUser>([](frmAddEditUser* form) {
    testing::Activate(form);
    auto* save = form->findChild<ZelButton*>(QStringLiteral("cmdSave"));
    auto* cancel = form->findChild<ZelButton*>(QStringLiteral("cmdCancel"));
    EXPECT_FALSE(save->isVisible());
    EXPECT_EQ(cancel->Caption(), QStringLiteral("&Finished Viewing"));
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("lblDateCreated"))->text(),
              QStringLiteral(" Record Created 12/06/2026 02:05pm "));
    form->findChild<QRadioButton*>(QStringLiteral("optAccessLevel4"))->click();
    EXPECT_TRUE(save->isVisible());
    EXPECT_EQ(cancel->Caption(), QStringLiteral("&Cancel Changes"));
    testing::Click(form, "cmdSave");
  });
  testing::Click(admin, "cmdEditUser");
  EXPECT_NE(Log("UserList.Log").find("'Dee Baker' edited in the 'User List'\r\n"), std::string::npos);
  all = users::ReadAllUsers(g.folder.path());
  EXPECT_EQ(all->back().AccessLevel, 4);
  EXPECT_EQ(all->back().DateCreated, time::ToOleDate({2026, 12, 6, 14, 5, 9})) << "an edit keeps the date";

  // Delete the user in row 1; row 1 is selected afterwards.
  grid->setCurrentCell(0, 0);
  g.messages->Press(1).Press(1);
  testing::Click(admin, "cmdDeleteUser");
  const MessageRequest& confirm = g.messages->asked[g.messages->asked.size() - 2];
  EXPECT_EQ(confirm.caption, QStringLiteral("Confirm Deletion"));
  EXPECT_EQ(confirm.lines(),
            (QStringList{QStringLiteral("Are you sure you want to remove"), QString(), QStringLiteral("Al Adams"),
                         QString(), QStringLiteral("from the 'User List'?")}));
  EXPECT_EQ(confirm.defaultButton, 2);
  EXPECT_TRUE(confirm.showCheckBox);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("User removed"));
  EXPECT_EQ(g.messages->Last().buttons, QStringList{QStringLiteral("&Continue editing")});
  EXPECT_NE(Log("UserList.Log").find("'Al Adams' deleted from the 'User List'\r\n"), std::string::npos);
  EXPECT_EQ(grid->rowCount(), 4);
  EXPECT_EQ(grid->currentRow(), 0);

  // Row 3 deleted with the box ticked: row 2 is selected, later deletions ask nothing.
  grid->setCurrentCell(2, 0);
  g.messages->Press(1, true);
  testing::Click(admin, "cmdDeleteUser");
  EXPECT_EQ(grid->currentRow(), 1);
  const int asked = static_cast<int>(g.messages->asked.size());
  testing::Click(admin, "cmdDeleteUser");
  EXPECT_EQ(g.messages->asked.size(), asked) << "immediate and silent";
  EXPECT_EQ(grid->rowCount(), 2);

  testing::Click(admin, "cmdEditList");
  EXPECT_EQ(admin->mode(), frmAdmin::Mode::List);
  EXPECT_EQ(admin->windowTitle(), QStringLiteral("Kestrova - Administrative Window"));
  EXPECT_FALSE(testing::FlasherOf(admin).IsRunning());
}

TEST_F(AdminWindowTest, EditingAnEmptyListOpensTheAddFormAtOnce) {
  CloseAllWindows(*g.session);
  std::filesystem::remove(g.folder / "User.List");
  SetAccessCode(QStringLiteral("Kestrel1"));
  g.messages->Press(1);  // "'User List' empty"
  frmAdmin* admin = Open();
  EXPECT_FALSE(Child<QTableWidget>(admin, "grid")->isVisible());
  EXPECT_FALSE(Child<ZelButton>(admin, "cmdUserSelected")->isVisible());
  g.inputBox->answers = {QStringLiteral("Kestrel1")};
  bool opened = false;
  testing::WhenModalOpens<frmAddEditUser>([&](frmAddEditUser* form) {
    opened = true;
    form->reject();
  });
  testing::Click(admin, "cmdEditList");
  EXPECT_TRUE(opened);
  EXPECT_FALSE(Child<ZelButton>(admin, "cmdEditUser")->isEnabled());
}

TEST(AddEditUserForm, TheHintTheIndicatorAndTheInvalidPassword) {
  GuiSession g;
  frmAddEditUser form(*g.session, frmAddEditUser::Mode::Add, 0);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  testing::Activate(&form);
  auto* save = form.findChild<ZelButton*>(QStringLiteral("cmdSave"));
  EXPECT_EQ(save->Caption(), QStringLiteral("&Save New Entry"));
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(form.findChild<QRadioButton*>(QStringLiteral("optAccessLevel1"))->isChecked());
  EXPECT_EQ(form.findChild<QRadioButton*>(QStringLiteral("optAccessLevel3"))->text(), QStringLiteral("Read/Edit/Add"));
  form.findChild<QLineEdit*>(QStringLiteral("txtfield1"))->setText(QStringLiteral("Eve"));
  form.findChild<QLineEdit*>(QStringLiteral("txtfield2"))->setText(QStringLiteral("Ng"));
  EXPECT_FALSE(save->isEnabled());
  auto* password = form.findChild<QLineEdit*>(QStringLiteral("txtfield3"));
  password->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(password->text(), QStringLiteral("<4 to 8 chars only>"));
  EXPECT_EQ(password->selectedText(), QStringLiteral("<4 to 8 chars only>"));
  EXPECT_TRUE(save->isEnabled()) << "the hint counts as an entry";
  g.messages->Press(1);
  testing::Click(&form, "cmdSave");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Invalid Password Entry"));
  EXPECT_EQ(g.messages->Last().lines(),
            (QStringList{QStringLiteral("The password must be"), QStringLiteral("4 to 8 characters, using"),
                         QStringLiteral("letters and numbers only.")}));
  EXPECT_EQ(g.messages->Last().buttons, QStringList{QStringLiteral("&Please enter valid password")});
  EXPECT_FALSE(form.saved());
  EXPECT_FALSE(std::filesystem::exists(g.folder / "User.List"));

  auto* comments = form.findChild<QPlainTextEdit*>(QStringLiteral("txtfield4"));
  auto* full = form.findChild<QLabel*>(QStringLiteral("lblSpaceFull"));
  comments->setPlainText(QStringLiteral("abcd"));
  EXPECT_EQ(full->text(), QStringLiteral(" 1% full "));
  comments->setPlainText(QString(500, QLatin1Char('x')));
  EXPECT_EQ(comments->toPlainText().size(), 439);
  EXPECT_EQ(full->text(), QStringLiteral(" 100% full "));
  comments->clear();
  EXPECT_FALSE(full->isVisible());
  EXPECT_EQ(CommentsFullCaption(219), QStringLiteral(" 50% full "));
}

TEST(AddEditUserForm, ViewingAndFinishingWritesNothing) {
  GuiSession g;
  ASSERT_TRUE(users::AddUser(g.folder.path(), User("Ann", "Lee", 2, "annpass")).ok());
  const std::string before = ReadFileBytes(g.folder / "User.List");
  frmAddEditUser form(*g.session, frmAddEditUser::Mode::ViewEdit, 1);
  form.show();
  testing::Activate(&form);
  EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("txtfield3"))->text(), QStringLiteral("annpass"));
  EXPECT_TRUE(form.findChild<QRadioButton*>(QStringLiteral("optAccessLevel2"))->isChecked());
  form.reject();
  EXPECT_FALSE(form.saved());
  EXPECT_EQ(ReadFileBytes(g.folder / "User.List"), before);
  EXPECT_FALSE(std::filesystem::exists(g.folder / "UserList.Log"));
}

}  // namespace
}  // namespace kestrova::gui
