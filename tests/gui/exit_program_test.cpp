#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <filesystem>

#include "core/network/concurrent_users.h"
#include "gui/session/exit_program.h"
#include "gui/session/shared_utilities.h"
#include "gui/startup/frm_title_page.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

namespace fs = std::filesystem;
using testing::GuiSession;
using testing::WriteFileBytes;

TEST(ExitProgram, AsksTheExitQuestionExactly) {
  GuiSession g;
  g.messages->Press(2);
  EXPECT_FALSE(ExitProgram(*g.session, false));
  const MessageRequest& r = g.messages->Last();
  EXPECT_EQ(r.caption, QStringLiteral("Exit Kestrova?"));
  EXPECT_EQ(r.iconKind, IconKind::Question);
  EXPECT_EQ(r.lines(), (QStringList{QStringLiteral("This will close Kestrova."), QString(),
                                    QStringLiteral("Is this what you want to do?")}));
  EXPECT_EQ(r.defaultButton, 1);
  EXPECT_FALSE(r.showCheckBox);
  EXPECT_EQ(r.buttons, (QStringList{QStringLiteral("&Yes, exit Kestrova"), QStringLiteral("&No, don't quit yet")}));
}

TEST(ExitProgram, DecliningLeavesEverythingAsItWas) {
  GuiSession g;
  WriteFileBytes(g.folder / "Search.Log", "");
  frmTitlePage title(*g.session);
  title.show();
  g.messages->Press(2);
  EXPECT_FALSE(ExitProgram(*g.session, false, &title));
  EXPECT_TRUE(title.isVisible());
  EXPECT_TRUE(fs::exists(g.folder / "Search.Log"));
  EXPECT_FALSE(g.session->exiting);
  EXPECT_EQ(g.programEnded, 0);
  g.messages->Press(0);  // the close box of the question
  EXPECT_FALSE(ExitProgram(*g.session, false, &title));
  EXPECT_TRUE(title.isVisible());
}

TEST(ExitProgram, ConfirmingRemovesEmptyFilesAndClosesTheWindows) {
  GuiSession g;
  WriteFileBytes(g.folder / "Search.Log", "");
  WriteFileBytes(g.folder / "Kestrova.Data", "");
  WriteFileBytes(g.folder / "SignInOut.Log", "01/05/2024 at 10:00:00 ...\r\n");
  auto* title = new frmTitlePage(*g.session);
  title->show();
  g.messages->Press(1);
  EXPECT_TRUE(ExitProgram(*g.session, false, title));
  EXPECT_EQ(g.programEnded, 1);
  EXPECT_FALSE(fs::exists(g.folder / "Search.Log"));
  EXPECT_FALSE(fs::exists(g.folder / "Kestrova.Data"));
  EXPECT_TRUE(fs::exists(g.folder / "SignInOut.Log"));
  EXPECT_FALSE(fs::exists(g.folder / "User.List")) << "a missing file is not created";
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return QApplication::topLevelWidgets().indexOf(title) < 0 || !title->isVisible(); }, 2000));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(ExitProgram, SkippingTheQuestionGoesStraightOut) {
  GuiSession g;
  WriteFileBytes(g.folder / "User.Log", "");
  EXPECT_TRUE(ExitProgram(*g.session, true));
  EXPECT_TRUE(g.messages->asked.isEmpty());
  EXPECT_FALSE(fs::exists(g.folder / "User.Log"));
}

TEST(ExitProgram, TakesAwayOnlyACountItAdded) {
  GuiSession g;
  // The folder is out of reach when the title window counts this workstation...
  const fs::path away = g.folder.path().string() + "-away";
  fs::rename(g.folder.path(), away);
  auto* title = new frmTitlePage(*g.session);
  title->show();
  testing::Activate(title);
  fs::rename(away, g.folder.path());
  EXPECT_FALSE(g.session->workstationCounted);
  // ...and back when another workstation counts itself.
  ASSERT_EQ(*network::UpdateConcurrentUsers(g.folder.path(), network::kWorkstationStarts), 1);
  g.messages->Press(1);
  EXPECT_TRUE(ExitProgram(*g.session, false, title));
  EXPECT_EQ(*network::ReadConcurrentUsers(g.folder.path()), 1) << "the other workstation stays counted";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(TitleWindow, LoadsAtItsSizeWithItsCaptionAndVersion) {
  GuiSession g;
  frmTitlePage title(*g.session);
  title.show();
  testing::Activate(&title);
  EXPECT_EQ(title.size(), QSize(ToPixels(8745), ToPixels(4875)));
  EXPECT_EQ(title.windowTitle(), QStringLiteral("Kestrova - Title Window"));
  EXPECT_EQ(title.findChild<QLabel*>(QStringLiteral("labelVersion"))->text(), QStringLiteral("Version w4.14.11"));
  EXPECT_EQ(title.findChild<QLabel*>(QStringLiteral("labelAppTitle"))->text(), QStringLiteral("Kestrova "));
  EXPECT_EQ(title.findChild<ZelButton*>(QStringLiteral("cmdQuit"))->Caption(), QStringLiteral("Exit Kestrova"));
  auto* background = title.findChild<QLabel*>(QStringLiteral("imgBackground"));
  EXPECT_LT(background->x(), 0);
  EXPECT_GT(background->geometry().right(), title.width() - 1) << "no edge of the window shows";
  EXPECT_EQ(VersionCaption(), QStringLiteral("Version w4.14.11"));
}

TEST(TitleWindow, TheCloseBoxAsksTheExitQuestion) {
  GuiSession g;
  frmTitlePage title(*g.session);
  title.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
  g.messages->Press(2);
  title.windowHandle()->close();
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Exit Kestrova?"));
  EXPECT_TRUE(title.isVisible()) << "declined: the window stays";
}

TEST(TitleWindow, TheQuitButtonAsksTheExitQuestion) {
  GuiSession g;
  frmTitlePage title(*g.session);
  title.show();
  g.messages->Press(2);
  QTest::mouseClick(title.findChild<ZelButton*>(QStringLiteral("cmdQuit")), Qt::LeftButton);
  EXPECT_EQ(g.messages->asked.size(), 1);
}

}  // namespace
}  // namespace kestrova::gui
