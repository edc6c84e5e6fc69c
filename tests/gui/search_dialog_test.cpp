#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "core/reports/data_file.h"
#include "gui/reports/frm_main.h"
#include "gui/search/frm_find.h"
#include "gui/ui/zel_button.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

using testing::CloseAllWindows;
using testing::GuiSession;

class SearchDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { CloseAllWindows(*g.session); }
  frmFind* Open() {
    auto* find = new frmFind(*g.session);
    find->setAttribute(Qt::WA_DeleteOnClose);
    find->show();
    find->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(find));
    find->Form_Activate();
    return find;
  }
  template <class T>
  static T* Child(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
  }
  GuiSession g;
};

TEST_F(SearchDialogTest, APhraseReportsCannotHoldIsRefusedBeforeAnySearch) {
  for (const char* c : {"24-1", "24-2", "24-3"}) {
    reports::ReportRecord r;
    r.CaseNumber = c;
    r.ProgramVersion = 414;
    ASSERT_TRUE(reports::AppendReport(g.folder.path(), r).ok());
  }
  g.session->signIn = {"Al Adams", 4};
  auto* main = new frmMain(*g.session);
  main->show();
  main->Form_Activate();
  g.messages->Press(1);
  bool stayedOpen = false;
  bool focusInPhrase = false;
  testing::WhenModalOpens<frmFind>([&](frmFind* find) {
    find->Form_Activate();
    auto* phrase = find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"));
    phrase->setText(QStringLiteral("Caf\u00e9 \u0418\u0432\u0430\u043d \U0001F600"));
    find->findChild<ZelButton*>(QStringLiteral("cmdCancel"))->setFocus();
    QTest::mouseClick(find->findChild<ZelButton*>(QStringLiteral("cmdFind")), Qt::LeftButton);
    stayedOpen = find->isVisible();
    focusInPhrase = phrase->hasFocus();
    find->cmdCancel_Click();
  });
  main->cmdFindEntries_Click();
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(focusInPhrase);
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Characters Not Stored"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("\u0418 \u0432 \u0430 \u043d \U0001F600")));
  EXPECT_FALSE(g.messages->Last().message.contains(QStringLiteral("\u00e9"))) << "only what cannot be stored";
  EXPECT_TRUE(main->FullListShown) << "no search ran";
  EXPECT_FALSE(std::filesystem::exists(g.folder / "Search.Log")) << "nothing was logged";
}

}  // namespace
}  // namespace kestrova::gui
