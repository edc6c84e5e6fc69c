// kestrova_illustrate: pictures of the real windows for the manual, taken
// offscreen on a made-up data folder (generated reports and the demo
// users), so that the manual shows the windows as this build draws them.
//
//   kestrova_illustrate OUTPUT_FOLDER
//
// Writes title-window.png, admin-window.png, main-window.png,
// search-dialog.png and message-dialog.png.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "cli/report_generator.h"
#include "gui/reports/frm_main.h"
#include "gui/search/frm_find.h"
#include "gui/session/session.h"
#include "gui/startup/frm_title_page.h"
#include "gui/ui/frm_msg_box.h"
#include "gui/ui/message_request.h"
#include "gui/users/frm_admin.h"
#include "gui/window_flow.h"
#include "platform/clock.h"

namespace {

using namespace kestrova;

constexpr std::int32_t kReports = 60;
constexpr std::uint64_t kSeed = 2026;

// A message nobody answers: the windows shown here ask nothing on a
// folder with reports and users, and a question would hold up the build.
class NoAnswers : public gui::MessageAnswerer {
 public:
  gui::MessageResult Answer(const gui::MessageRequest& request, QWidget*) override {
    std::fprintf(stderr, "kestrova_illustrate: unexpected message \"%s\"\n", qPrintable(request.caption));
    unexpected = true;
    return {};
  }
  bool unexpected = false;
};

// Lets the windows finish their first activation and paint.
void Settle(int milliseconds = 300) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget* window, const QString& folder, const char* name) {
  Settle();
  const QString path = folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
  if (!window->grab().save(path)) {
    std::fprintf(stderr, "kestrova_illustrate: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

gui::Desktop Doubles(NoAnswers*& answers) {
  gui::Desktop d;
  d.settings = std::make_unique<platform::MemorySettingsStore>();
  d.shell = std::make_unique<platform::FakeShell>();
  d.sound = std::make_unique<platform::FakeSoundPlayer>();
  d.inputBox = std::make_unique<platform::ScriptedInputBox>();
  d.systemMessage = std::make_unique<platform::FakeSystemMessage>();
  auto m = std::make_unique<NoAnswers>();
  answers = m.get();
  d.messages = std::move(m);
  d.clock = std::make_unique<platform::FixedClock>();
  d.filePicker = std::make_unique<platform::ScriptedFilePicker>();
  d.folderPicker = std::make_unique<platform::ScriptedFolderPicker>();
  d.http = std::make_unique<platform::ScriptedHttpFetch>();
  d.printing = std::make_unique<platform::RecordingPrinting>();
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
  if (argc != 2) {
    std::fprintf(stderr, "usage: kestrova_illustrate OUTPUT_FOLDER\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);

  QTemporaryDir data;
  const std::filesystem::path folder = data.path().toStdString();
  if (const auto made = cli::GenerateReports(folder, kReports, kSeed); !made.ok()) {
    std::fprintf(stderr, "kestrova_illustrate: %s\n", made.message().c_str());
    return 1;
  }
  const auto users = cli::GenerateDemoUsers(folder, platform::FixedClock().Now());
  if (!users.ok() || users->empty()) {
    std::fprintf(stderr, "kestrova_illustrate: the demo users could not be made\n");
    return 1;
  }

  NoAnswers* answers = nullptr;
  gui::Session session(folder, Doubles(answers));
  session.endProgram = [] {};
  gui::WindowFlow flow(session);

  bool ok = true;
  QWidget* title = flow.OpenTitleWindow();
  ok = Save(title, out, "title-window") && ok;
  title->hide();

  QWidget* admin = flow.OpenAdministrativeWindow();
  ok = Save(admin, out, "admin-window") && ok;
  admin->hide();

  // Signed in as the demo user with full access, as the sign-in would.
  const cli::DemoUser& user = users->back();
  session.signIn.CurrentUserName = user.name;
  session.signIn.CurrentAccessLevel = users::AccessLevel::FullAccess;
  QWidget* main = flow.OpenMainWindow();
  ok = Save(main, out, "main-window") && ok;

  {
    gui::frmFind find(session, main);
    find.show();
    ok = Save(&find, out, "search-dialog") && ok;
    find.hide();
  }

  {
    const gui::MessageRequest request{
        .caption = QStringLiteral("Confirm Entry Deletion"),
        .iconKind = gui::kIconQuestion,
        .message =
            QStringLiteral("Are you SURE you want to permanently delete\nthis report from the Kestrova database?"),
        .defaultButton = 2,
        .buttons = {QStringLiteral("&Yes, delete this report"), QStringLiteral("&No, do not delete this report")}};
    gui::frmMsgBox box(session.sound(), session.systemMessage(), request, main);
    QTimer::singleShot(0, &box, [&] {
      ok = Save(&box, out, "message-dialog") && ok;
      box.reject();
    });
    box.Run();
  }

  // The windows are left as they are: closing them would ask whether to
  // end the program.
  return ok && !answers->unexpected ? 0 : 1;
}
