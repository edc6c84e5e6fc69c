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
  auto* admin = new frmAdmin(*g.session);
  g.messages->Press(1);  // "'User List' empty"
  admin->show();
  admin->Form_Activate();
  EXPECT_EQ(Click(admin->findChild<ZelButton*>(QStringLiteral("cmdReviewLogs"))),
            QStringLiteral("'Activity Logs' is not available yet:\nit comes in a later version of Kestrova."));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Not Available Yet"));
  EXPECT_EQ(g.messages->Last().buttons, QStringList{QStringLiteral("&Okay")});
  EXPECT_TRUE(Click(admin->findChild<ZelButton*>(QStringLiteral("cmdBackupRestore")))
                  .startsWith(QStringLiteral("'Backup/Restore Data' is not")));
  EXPECT_TRUE(g.inputBox->requests.isEmpty()) << "no access code is asked for a command that is not there";
}

}  // namespace
}  // namespace kestrova::gui
