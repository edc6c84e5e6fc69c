#include <gtest/gtest.h>

#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include "core/startup/shipped_files.h"
#include "gui/ui/first_activation.h"
#include "gui/ui/shared_utilities.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

using testing::GuiSession;

// A window's first-activation work (which may show a notice over it) waits
// until the window is active, i.e. placed by the window manager.
TEST(WhenFirstActive, WaitsForTheWindowsActivationAndRunsOnce) {
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  QWidget window;
  int ran = 0;
  WhenFirstActive(&window, [&] { ++ran; });
  QTest::qWait(50);
  EXPECT_EQ(ran, 0) << "not yet shown and active";
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran == 1; }));
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::qWait(1100);
  EXPECT_EQ(ran, 1) << "once, also after the fallback's time";
}

TEST(OpenAddress, BuildsMailAndWebAddressesWithTheMakersAsDefault) {
  GuiSession g;
  OpenAddress(*g.session, kAddressEmail, nullptr, QString());
  OpenAddress(*g.session, kAddressEmail, nullptr, QStringLiteral("chief@agency.example"));
  OpenAddress(*g.session, kAddressWeb, nullptr, QString());
  OpenAddress(*g.session, kAddressWeb, nullptr, QStringLiteral("agency.example/reports"));
  EXPECT_EQ(
      g.shell->opened,
      (QStringList{QStringLiteral("mailto:support@kestrova.example"), QStringLiteral("mailto:chief@agency.example"),
                   QStringLiteral("http://www.kestrova.example"), QStringLiteral("http://agency.example/reports")}));
  EXPECT_TRUE(g.messages->asked.isEmpty());
}

TEST(OpenAddress, AFailureEndsInTheConnectionErrorNotice) {
  GuiSession g;
  g.shell->succeed = false;
  g.messages->Press(1);
  OpenAddress(*g.session, kAddressWeb, nullptr, QString());
  ASSERT_EQ(g.messages->asked.size(), 1);
  const MessageRequest& r = g.messages->Last();
  EXPECT_EQ(r.caption, QStringLiteral("Connection Error"));
  EXPECT_EQ(r.iconKind, IconKind::Error);
  EXPECT_EQ(r.lines(),
            (QStringList{QStringLiteral("An internet connection"), QStringLiteral("could not be established.")}));
  EXPECT_EQ(r.buttons, QStringList{QStringLiteral("&Okay")});
}

TEST(OpenAddress, AMailProgramThatCannotBeOpenedSaysHowToSetOne) {
  GuiSession g;
  g.shell->succeed = false;
  g.messages->Press(1);
  OpenAddress(*g.session, kAddressEmail, nullptr, QStringLiteral("?subject=Report"));
  ASSERT_EQ(g.messages->asked.size(), 1);
  const MessageRequest& r = g.messages->Last();
  EXPECT_EQ(r.caption, QStringLiteral("No E-mail Program"));
  EXPECT_EQ(r.lines()[0], QStringLiteral("No e-mail program could be opened for this message."));
  EXPECT_TRUE(r.message.contains(QStringLiteral("xdg-settings set default-url-scheme-handler")));
  EXPECT_TRUE(r.message.endsWith(QStringLiteral("xdg-open: no method available"))) << "what the desktop said";
}

TEST(OpenManual, OpensThePdfBesideTheProgramOrSaysItIsMissing) {
  GuiSession g;
  g.session->setProgramFolder(QString::fromStdString(g.folder.path().string()));
  g.messages->Press(1);
  OpenManual(*g.session, nullptr);
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Can not open Kestrova Manual"));
  EXPECT_EQ(g.messages->Last().iconKind, IconKind::Warning);
  EXPECT_EQ(g.messages->Last().lines(),
            (QStringList{QStringLiteral("The Kestrova manual"), QStringLiteral("(in PDF format) is either"),
                         QStringLiteral("missing or can not be opened...")}));
  EXPECT_EQ(g.messages->Last().buttons, QStringList{QStringLiteral("&Okay, return to the program")});
  EXPECT_TRUE(g.shell->opened.isEmpty());

  testing::WriteFileBytes(g.folder / "Kestrova.PDF", "%PDF-1.4\n");
  OpenManual(*g.session, nullptr);
  EXPECT_EQ(g.messages->asked.size(), 1);
  ASSERT_EQ(g.shell->opened.size(), 1);
  EXPECT_EQ(g.shell->opened[0], QString::fromStdString((g.folder / "Kestrova.PDF").string()));
}

TEST(OpenManual, AnInstalledProgramOpensTheManualInItsShareFolder) {
  GuiSession g;
  const auto bin = g.folder / "bin";
  const auto share = (bin / startup::ShareFolderFromProgram()).lexically_normal();
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(share);
  testing::WriteFileBytes(share / "Kestrova.PDF", "%PDF-1.4\n");
  g.session->setProgramFolder(QString::fromStdString(bin.string()));
  OpenManual(*g.session, nullptr);
  EXPECT_TRUE(g.messages->asked.isEmpty());
  EXPECT_EQ(g.shell->opened, QStringList{QString::fromStdString((share / "Kestrova.PDF").string())});
}

class KeyRecorder : public QWidget {
 public:
  QList<int> pressed;

 protected:
  void keyPressEvent(QKeyEvent* e) override { pressed.append(e->key()); }
};

TEST(PressKey, SendsTheKeyToTheFocusedWidget) {
  KeyRecorder recorder;
  recorder.setFocusPolicy(Qt::StrongFocus);
  recorder.show();
  recorder.activateWindow();
  recorder.setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&recorder));
  PressKey(115);
  PressKey('A');
  EXPECT_EQ(recorder.pressed, (QList<int>{Qt::Key_F4, Qt::Key_A}));
}

}  // namespace
}  // namespace kestrova::gui
