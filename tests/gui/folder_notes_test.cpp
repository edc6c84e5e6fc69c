#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "core/reports/data_file.h"
#include "core/users/passwords.h"
#include "core/users/user_list.h"
#include "gui/ui/zel_button.h"
#include "gui/users/frm_admin.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

using testing::CloseAllWindows;
using testing::GuiSession;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

reports::ReportRecord Report(const std::string& caseNumber) {
  reports::ReportRecord r;
  r.CaseNumber = caseNumber;
  r.DateEntered = 45296.25;
  r.ProgramVersion = 414;
  return r;
}

QWidget* VisibleWindow(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

// Another workstation holds the folder: the write waits behind a note that
// says so, the windows keep painting, and Cancel ends the wait.
TEST(FolderNotes, AWriteWaitingForAnotherWorkstationShowsANoteWithCancel) {
  GuiSession g;
  const std::string lock = "Kestrova lock\nhost=elsewhere\nmachine=x\npid=1\ntoken=1\nbeat=1\n";
  WriteFileBytes(g.folder / "Kestrova.Lock", lock);
  QString shown;
  int ticks = 0;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    ++ticks;  // timers run: the program is not frozen while it waits
    QWidget* note = VisibleWindow(QStringLiteral("frmFolderWait"));
    if (!note || ticks < 5) return;
    shown = note->findChild<QLabel*>(QStringLiteral("lblFolderWait"))->text();
    QTest::mouseClick(note->findChild<ZelButton*>(QStringLiteral("cmdCancelWait")), Qt::LeftButton);
    poll.stop();
  });
  poll.start();
  auto n = reports::AppendReport(g.session->folder(), Report("A"));
  ASSERT_FALSE(n.ok());
  EXPECT_NE(n.message().find("You stopped waiting"), std::string::npos) << n.message();
  EXPECT_TRUE(
      shown.startsWith(QStringLiteral("Waiting for another workstation (elsewhere)\nto finish "
                                      "writing to the data folder...")))
      << shown.toStdString();
  EXPECT_EQ(VisibleWindow(QStringLiteral("frmFolderWait")), nullptr) << "the note goes with the wait";
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Lock"), lock);
  EXPECT_TRUE(g.messages->asked.isEmpty());
}

// A save that finds an interrupted one repairs it; the notice comes once,
// after the save, when the folder is no longer locked.
TEST(FolderNotes, ARepairIsToldOnceAfterTheWriteThatMadeIt) {
  GuiSession g;
  ASSERT_TRUE(reports::AppendReport(g.session->folder(), Report("A")).ok());
  WriteFileBytes(g.folder / "Kestrova.Data", ReadFileBytes(g.folder / "Kestrova.Data") + "partial");
  g.messages->Press(1);
  ASSERT_TRUE(reports::AppendReport(g.session->folder(), Report("B")).ok());
  EXPECT_TRUE(g.messages->asked.isEmpty()) << "not while the lock is held";
  QTest::qWait(20);
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Interrupted Save Repaired"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("Kestrova.Data.partial-20261206140509")));
  ASSERT_TRUE(reports::AppendReport(g.session->folder(), Report("C")).ok());
  QTest::qWait(20);
  EXPECT_EQ(g.messages->asked.size(), 1);
}

// A user list with a bad record still lists every valid user under its own
// record number, says what is wrong once, and signs the right user in.
TEST(FolderNotes, TheAdministrativeWindowListsADamagedUserListOnce) {
  GuiSession g;
  for (const char* first : {"Ann", "Bob", "Cy"}) {
    users::UserRecord u;
    u.FirstName = first;
    u.LastName = "Lee";
    u.Password = users::EncodePassword(std::string(first) + "pass");
    u.AccessLevel = 3;
    ASSERT_TRUE(users::AddUser(g.folder.path(), u).ok());
  }
  std::string bytes = ReadFileBytes(g.folder / "User.List");
  bytes[500 + 59] = 9;  // Bob
  WriteFileBytes(g.folder / "User.List", bytes);

  g.messages->Press(1);
  auto open = [&] {
    auto* admin = new frmAdmin(*g.session);
    admin->show();
    admin->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(admin));
    testing::Activate(admin);
    QTest::qWait(20);
    return admin;
  };
  frmAdmin* admin = open();
  auto* grid = admin->findChild<QTableWidget*>(QStringLiteral("grid"));
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Cy Lee"));
  EXPECT_EQ(grid->item(1, 4)->text(), QStringLiteral("3")) << "its own record number";
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("User List Problem"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("user number 2 has the access level 9")));
  CloseAllWindows(*g.session);
  admin = open();
  EXPECT_EQ(g.messages->asked.size(), 1) << "told once";

  admin->findChild<QTableWidget*>(QStringLiteral("grid"))->setCurrentCell(1, 0);
  testing::Click(admin, "cmdUserSelected");
  QTest::keyClicks(admin->findChild<QLineEdit*>(QStringLiteral("txtPassword")), QStringLiteral("Cypass"));
  QTest::keyClick(admin, Qt::Key_Return);
  EXPECT_EQ(g.session->signIn.CurrentUserName, "Cy Lee");
  CloseAllWindows(*g.session);
}

}  // namespace
}  // namespace kestrova::gui
