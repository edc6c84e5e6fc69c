#include <gtest/gtest.h>

#include <QTest>

#include "gui/users/frm_admin.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

class NotAvailableYet : public testing::MainWindowFixture {};

TEST_F(NotAvailableYet, CommandsNotBuiltSaySoWhenClicked) {
  auto* admin = new frmAdmin(*g.session);
  g.messages->Press(1);  // "'User List' empty"
  admin->show();
  testing::Activate(admin);
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
