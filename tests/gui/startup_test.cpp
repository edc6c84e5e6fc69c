#include <gtest/gtest.h>

#include <QApplication>

#include "gui/startup/frm_title_page.h"
#include "gui/window_flow.h"
#include "platform/instance_guard.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

using testing::GuiSession;

int TitleWindows() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) n += qobject_cast<frmTitlePage*>(w) && w->isVisible();
  return n;
}

TEST(Startup, ASecondInstanceIsToldAndStops) {
  GuiSession g;
  platform::FakeInstanceGuard guard;
  guard.alreadyRunning = true;
  const int before = TitleWindows();
  EXPECT_EQ(StartProgram(*g.flow, *g.session, guard), nullptr);
  ASSERT_EQ(g.systemMessage->shown.size(), 1);
  EXPECT_EQ(g.systemMessage->shown[0].title, QStringLiteral("Terminating..."));
  EXPECT_EQ(g.systemMessage->shown[0].text,
            QStringLiteral("Kestrova is already loaded\nand running on your computer!"));
  EXPECT_EQ(TitleWindows(), before);
  EXPECT_TRUE(std::filesystem::is_empty(g.folder.path())) << "no file is touched";
}

TEST(Startup, TheFirstInstanceShowsTheTitleWindow) {
  GuiSession g;
  platform::FakeInstanceGuard guard;
  frmTitlePage* title = StartProgram(*g.flow, *g.session, guard);
  ASSERT_NE(title, nullptr);
  EXPECT_TRUE(title->isVisible());
  EXPECT_TRUE(g.systemMessage->shown.isEmpty());
  title->CloseByProgram();
  EXPECT_FALSE(title->isVisible());
  EXPECT_TRUE(g.messages->asked.isEmpty()) << "the program's own closing asks nothing";
}

}  // namespace
}  // namespace kestrova::gui
