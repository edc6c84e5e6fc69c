#include <gtest/gtest.h>

#include <QTest>

#include "gui/users/frm_admin.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

class NotAvailableYet : public testing::MainWindowFixture {
 protected:
  // Clicks the button with the mouse; the notice it gave.
  QString Click(ZelButton* button) {
    const auto before = g.messages->asked.size();
    g.messages->Press(1);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(g.messages->asked.size(), before + 1) << button->objectName().toStdString();
    return g.messages->asked.size() > before ? g.messages->Last().message : QString();
  }
};

TEST_F(NotAvailableYet, CommandsNotBuiltSaySoWhenClicked) {
  for (int day = 1; day <= 3; ++day) Add(testing::Report("24-" + std::to_string(day), day));
  frmMain* m = Open();
  EXPECT_EQ(Click(Cmd(m, "cmdPrintEntry")), QStringLiteral("'Print this Report...' is not available yet:\n"
                                                           "it comes in a later version of Kestrova."));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Not Available Yet"));
  EXPECT_EQ(g.messages->Last().buttons, QStringList{QStringLiteral("&Okay")});
  EXPECT_TRUE(Click(Cmd(m, "cmdPrintList")).startsWith(QStringLiteral("'Print this list...' is not")));
  testing::CloseAllWindows(*g.session);

  auto* admin = new frmAdmin(*g.session);
  g.messages->Press(1);  // "'User List' empty"
  admin->show();
  admin->Form_Activate();
  // Log review and backup/restore are there now: they ask for the access
  // code (here cancelled) instead of saying they are not.
  const auto before = g.messages->asked.size();
  for (const char* name : {"cmdReviewLogs", "cmdBackupRestore"}) {
    QTest::mouseClick(admin->findChild<ZelButton*>(QString::fromLatin1(name)), Qt::LeftButton);
  }
  EXPECT_EQ(g.messages->asked.size(), before) << "no 'Not Available Yet'";
  EXPECT_EQ(g.inputBox->requests.size(), 2) << "the access code was asked for each";
}

}  // namespace
}  // namespace kestrova::gui
