#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <optional>
#include <set>

#include "core/reports/data_file.h"
#include "gui/reports/frm_main.h"
#include "gui/session/version_check.h"
#include "gui/startup/frm_title_page.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"
#include "gui/window_flow.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

using namespace std::chrono_literals;
using testing::Click;

// A web server on this computer: it answers every request with one reply,
// or, without one, never.
class LocalServer {
 public:
  explicit LocalServer(std::optional<QByteArray> body, QByteArray status = "200 OK") {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
    QObject::connect(&server_, &QTcpServer::newConnection, [this, body, status] {
      QTcpSocket* s = server_.nextPendingConnection();
      ++connections;
      QObject::connect(s, &QTcpSocket::disconnected, [this] { ++hungUp; });
      QObject::connect(s, &QTcpSocket::readyRead, [s, body, status] {
        if (!body || !s->peek(s->bytesAvailable()).contains("\r\n\r\n")) return;
        s->write("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body->size()) +
                 "\r\nConnection: close\r\n\r\n" + *body);
        s->disconnectFromHost();
      });
    });
  }
  QString Address() const { return QStringLiteral("http://127.0.0.1:%1/v.txt").arg(server_.serverPort()); }
  int connections = 0;
  int hungUp = 0;

 private:
  QTcpServer server_;
};

class VersionCheckTest : public ::testing::Test {
 protected:
  explicit VersionCheckTest(std::chrono::milliseconds timeout = 10s)
      : g(std::make_unique<platform::QtHttpFetch>(timeout)) {
    qunsetenv("KESTROVA_UPDATE_URL");
  }
  void TearDown() override { testing::CloseAllWindows(*g.session); }
  frmTitlePage* Title() {
    auto* title = new frmTitlePage(*g.session);
    title->show();
    testing::Activate(title);
    return title;
  }
  // Clicks "Version Check" with the server as the address; waits for the end.
  void Check(frmTitlePage* title, const LocalServer& server) {
    g.settings->Write(QStringLiteral("UpdateAddress"), server.Address());
    Click(title, "cmdUpdateCheck");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !title->versionCheck().checking(); }, 5000));
  }
  testing::GuiSession g;
};

TEST_F(VersionCheckTest, ANewerVersionNamesItsKindAndOffersTheMakersPage) {
  frmTitlePage* title = Title();
  const char* cases[][2] = {
      {"05.00.00::Big news",
       "Big news\n\nA major upgrade is currently available.\nSee our website for further details."},
      {"04.15.00::New reports menu\r\n",
       "New reports menu\n\nAn upgrade is currently available. Pricing may apply.\nSee our website for further "
       "details."},
      {"04.14.12",
       "4.14.12\n\nA minor upgrade is available at no cost.\nDownload from our website at your convenience."}};
  for (const auto& c : cases) {
    const LocalServer server{QByteArray(c[0])};
    g.messages->Press(&c == &cases[1] ? 1 : 2);
    Check(title, server);
    ASSERT_EQ(g.messages->asked.size(), &c - cases + 1) << c[0];
    const MessageRequest& r = g.messages->Last();
    EXPECT_EQ(r.caption, QStringLiteral("Update available!"));
    EXPECT_EQ(r.iconKind, IconKind::Information);
    EXPECT_EQ(r.message, QString::fromLatin1(c[1]));
    EXPECT_EQ(r.buttons,
              (QStringList{QStringLiteral("&Go to the Kestrova team web site"), QStringLiteral("&Ignore for now")}));
    EXPECT_EQ(r.defaultButton, 2);
  }
  EXPECT_EQ(g.shell->opened, QStringList{QStringLiteral("http://www.kestrova.example/html/kestrova.html")});
}

TEST_F(VersionCheckTest, TheSameVersionIsNamedOnlyWhenTheUserAsked) {
  LocalServer server(QByteArray("04.14.11"));
  g.settings->Write(QStringLiteral("AutoUpdateCheck"), QStringLiteral("True"));
  qputenv("KESTROVA_UPDATE_URL", server.Address().toUtf8());
  frmTitlePage* title = Title();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !title->versionCheck().checking(); }, 5000));
  EXPECT_EQ(server.connections, 1) << "the check at start-up asked the server";
  EXPECT_TRUE(g.messages->asked.isEmpty()) << "and said nothing";
  g.settings->Write(QStringLiteral("UpdateAddress"), QStringLiteral("http://127.0.0.1:1/none"));
  g.messages->Press(1);
  Click(title, "cmdUpdateCheck");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !title->versionCheck().checking(); }, 5000));
  EXPECT_EQ(server.connections, 2) << "the environment's address wins over the setting";
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("No updates available"));
  EXPECT_EQ(g.messages->Last().message, QStringLiteral("This is the most current\nversion of Kestrova."));
  EXPECT_EQ(g.messages->Last().buttons, QStringList{QStringLiteral("&Okay")});
}

TEST_F(VersionCheckTest, AMalformedRefusedOrOversizedReplyIsSilent) {
  frmTitlePage* title = Title();
  const LocalServer oneDigitMajor(QByteArray("4.14.11::x"));
  const LocalServer missing(QByteArray("05.00.00::not found page"), "404 Not Found");
  const LocalServer huge(QByteArray("05.00.00::") + QByteArray(5000, 'x'));
  for (const LocalServer* server : {&oneDigitMajor, &missing, &huge}) {
    Check(title, *server);
    EXPECT_EQ(server->connections, 1);
  }
  EXPECT_TRUE(g.messages->asked.isEmpty());
}

class VersionCheckTimeOutTest : public VersionCheckTest {
 protected:
  VersionCheckTimeOutTest() : VersionCheckTest(300ms) {}
};

TEST_F(VersionCheckTimeOutTest, AServerThatNeverAnswersEndsTheCheckSilentlyWhileTheWindowLives) {
  const LocalServer silent(std::nullopt);
  g.settings->Write(QStringLiteral("UpdateAddress"), silent.Address());
  frmTitlePage* title = Title();
  auto* signIn = title->findChild<ZelButton*>(QStringLiteral("cmdSignIn"));
  testing::FlasherOf(title).Start(signIn, 15, 15);
  std::set<QRgb> colours;  // of "Sign In" while the check runs
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (title->versionCheck().checking()) colours.insert(signIn->BackColor().rgb());
  });
  watch.start(5);
  Click(title, "cmdUpdateCheck");
  EXPECT_TRUE(title->versionCheck().checking()) << "the click returns while the server is asked";
  EXPECT_TRUE(QTest::qWaitFor([&] { return silent.connections == 1; }, 5000));
  Click(title, "cmdUpdateCheck");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !title->versionCheck().checking(); }, 5000));
  EXPECT_GT(colours.size(), 1u) << "the window's timers kept running";
  EXPECT_EQ(silent.connections, 1) << "one check at a time";
  EXPECT_TRUE(QTest::qWaitFor([&] { return silent.hungUp == 1; }, 5000)) << "the request was given up";
  EXPECT_TRUE(g.messages->asked.isEmpty());
}

// Right-clicks "Version Check", clicks item `choose` of the menu; the items
// as they were shown, "(off) " marking those disabled.
QStringList UseMenu(frmTitlePage* title, int choose) {
  QStringList seen;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    poll.stop();
    for (QAction* a : menu->actions()) {
      seen << (a->isSeparator() ? QStringLiteral("-")
                                : (a->isEnabled() ? QString() : QStringLiteral("(off) ")) + a->text());
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[choose - 1]).center());
  });
  poll.start(5);
  testing::RightClick(title, "cmdUpdateCheck");
  EXPECT_FALSE(poll.isActive()) << "the menu opened";
  return seen;
}

TEST_F(VersionCheckTest, TheMenuSwitchesTheCheckAtStartUp) {
  frmTitlePage* title = Title();
  const QString on = QStringLiteral("Automatically check for a version update when program starts");
  const QString off = QStringLiteral("Disable automatic version update checking");
  const QString state = QStringLiteral("Automatic version udpate checking is currently ");
  const QString exit = QStringLiteral("Exit this menu");
  const QString sep = QStringLiteral("-");
  EXPECT_EQ(UseMenu(title, 6),
            (QStringList{state + QStringLiteral("disabled"), sep, on, QStringLiteral("(off) ") + off, sep, exit}));
  EXPECT_FALSE(g.settings->Read(QStringLiteral("AutoUpdateCheck")).has_value());
  UseMenu(title, 3);
  EXPECT_EQ(g.settings->Read(QStringLiteral("AutoUpdateCheck")), QStringLiteral("True"));
  EXPECT_EQ(UseMenu(title, 4),
            (QStringList{state + QStringLiteral("enabled"), sep, QStringLiteral("(off) ") + on, off, sep, exit}));
  EXPECT_EQ(g.settings->Read(QStringLiteral("AutoUpdateCheck")), QStringLiteral("False"));
  EXPECT_FALSE(title->versionCheck().checking()) << "the right button does not check";
}

TEST(VersionCheckSession, AnAnswerThatComesAfterSignInShowsOverTheWindowThenActive) {
  qunsetenv("KESTROVA_UPDATE_URL");
  testing::GuiSession g;
  g.settings->Write(QStringLiteral("AutoUpdateCheck"), QStringLiteral("True"));
  reports::ReportRecord r;
  r.CaseNumber = "24-1";
  r.ProgramVersion = 414;
  ASSERT_TRUE(reports::AppendReport(g.folder.path(), r).ok());
  g.session->signIn = {"Al Adams", users::AccessLevel::FullAccess};
  auto* title = new frmTitlePage(*g.session);
  title->show();
  testing::Activate(title);
  ASSERT_EQ(g.http->Waiting(), 1);
  // Signed in before the server answered: the title window is gone.
  title->CloseByProgram();
  frmMain* main = g.flow->OpenMainWindow();
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  testing::Activate(main);
  g.messages->Press(2);
  EXPECT_TRUE(g.http->Answer(QByteArray("05.00.00::Big news")));
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Update available!"));
  EXPECT_EQ(g.messages->over.last(), main);
  EXPECT_FALSE(g.http->Answer(QByteArray("05.00.00::Big news"))) << "once";
  testing::CloseAllWindows(*g.session);
}

TEST(VersionCheckAddress, TheCheckAtStartUpAndTheAddressesAsked) {
  qunsetenv("KESTROVA_UPDATE_URL");
  testing::GuiSession g;  // answers fetches from a script
  g.settings->Write(QStringLiteral("AutoUpdateCheck"), QStringLiteral("True"));
  auto* title = new frmTitlePage(*g.session);
  title->show();
  testing::Activate(title);
  testing::Activate(title);
  EXPECT_EQ(g.http->asked,
            QStringList{QStringLiteral("http://www.kestrova.example/url_text_files/kestrova_version_info.txt")});
  Click(title, "cmdUpdateCheck");  // while the first runs: it becomes the user's
  g.messages->Press(1);
  EXPECT_TRUE(g.http->Answer(QByteArray("04.14.11")));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("No updates available"));
  g.settings->Write(QStringLiteral("UpdateAddress"), QStringLiteral("http://10.0.0.5/v.txt"));
  Click(title, "cmdUpdateCheck");
  EXPECT_EQ(g.http->asked.mid(1), QStringList{QStringLiteral("http://10.0.0.5/v.txt")});
  testing::CloseAllWindows(*g.session);
  EXPECT_EQ(g.http->Waiting(), 0) << "closing the window abandons the check";
}

}  // namespace
}  // namespace kestrova::gui
