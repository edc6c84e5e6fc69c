// kestrova_illustrate: pictures of the real windows for the manual, taken
// offscreen on a made-up data folder (generated reports and the demo
// users), so that the manual shows the windows as this build draws them.
//
//   kestrova_illustrate OUTPUT_FOLDER
//
// Writes title-window.png, admin-window.png, user-form.png,
// main-window.png, search-dialog.png, message-dialog.png, print-option.png,
// print-list.png, chart-window.png and report-form.png,
// report-form-when.png, report-form-narrative.png (a new report being
// written, three of its tabs).

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "cli/report_generator.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_panel.h"
#include "gui/search/frm_find.h"
#include "gui/session/session.h"
#include "gui/startup/frm_title_page.h"
#include "gui/stats/frm_chart.h"
#include "gui/ui/frm_msg_box.h"
#include "gui/ui/message_request.h"
#include "gui/ui/program_look.h"
#include "gui/ui/zel_button.h"
#include "gui/users/frm_add_edit_user.h"
#include "gui/users/frm_admin.h"
#include "gui/window_flow.h"
#include "platform/clock.h"

namespace {

using namespace kestrova;

constexpr std::int32_t kReports = 60;
constexpr std::uint64_t kSeed = 2026;

// The program's questions: the one a picture is taken of is answered by
// `expected` (which shows the real dialog); any other is unexpected, as
// the windows shown here ask nothing else on a folder with reports and
// users, and a question would hold up the build.
class NoAnswers : public gui::MessageAnswerer {
 public:
  gui::MessageResult Answer(const gui::MessageRequest& request, QWidget* parent) override {
    if (expected && request.caption == expectedCaption) {
      asked = true;
      return expected(request, parent);
    }
    std::fprintf(stderr, "kestrova_illustrate: unexpected message \"%s\"\n", qPrintable(request.caption));
    unexpected = true;
    return {};
  }
  QString expectedCaption;
  std::function<gui::MessageResult(const gui::MessageRequest&, QWidget*)> expected;
  bool asked = false;
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

// The message dialog the program asked for, shown for real, its picture
// taken, then closed by its last button (the one that stops).
bool SaveQuestion(gui::Session& session, NoAnswers& answers, const QString& caption, QWidget* owner,
                  const std::function<void()>& ask, const QString& folder, const char* name) {
  bool saved = false;
  answers.asked = false;
  answers.expectedCaption = caption;
  answers.expected = [&](const gui::MessageRequest& request, QWidget* parent) {
    gui::frmMsgBox box(session.sound(), session.systemMessage(), request, parent ? parent : owner);
    QTimer::singleShot(0, &box, [&] {
      saved = Save(&box, folder, name);
      box.reject();
    });
    box.Run();
    return gui::MessageResult{.pressedButton = static_cast<int>(request.buttons.size())};
  };
  ask();
  answers.expected = nullptr;
  if (!answers.asked) std::fprintf(stderr, "kestrova_illustrate: \"%s\" was not asked\n", qPrintable(caption));
  return saved && answers.asked;
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
  gui::UseProgramLook();
  if (argc != 2) {
    std::fprintf(stderr, "usage: kestrova_illustrate OUTPUT_FOLDER\n");
    return 2;
  }
  // A window that waits for an answer nobody gives must not hold up the
  // build: give up after two minutes.
  QTimer::singleShot(120000, [] {
    std::fprintf(stderr, "kestrova_illustrate: stopped, a window was still waiting after two minutes\n");
    std::_Exit(1);
  });
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
  {
    // A demo user, open to view and edit, as "Edit User" shows it.
    gui::frmAddEditUser form(session, gui::frmAddEditUser::Mode::ViewEdit, 1, admin);
    form.show();
    ok = Save(&form, out, "user-form") && ok;
    form.hide();
  }
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

  // The questions before printing, asked by the print commands on the
  // report shown and on the list.
  const auto click = [main](const char* name) {
    if (auto* b = main->findChild<gui::ZelButton*>(QLatin1String(name))) {
      b->PerformClick();
    } else {
      std::fprintf(stderr, "kestrova_illustrate: no button %s\n", name);
    }
  };
  ok = SaveQuestion(
           session, *answers, QStringLiteral("Print Option"), main, [&] { click("cmdPrintEntry"); }, out,
           "print-option") &&
       ok;
  ok = SaveQuestion(
           session, *answers, QStringLiteral("Print List"), main, [&] { click("cmdPrintList"); }, out, "print-list") &&
       ok;

  // The chart of the Active List, once its count has been shown.
  {
    gui::ChartSubject subject;
    if (auto* list = main->findChild<gui::ReportListPanel*>(QStringLiteral("reportList"))) {
      subject.listName = list->caption().trimmed();
    }
    gui::frmChart* chart = flow.OpenChartWindow(main, subject);
    QElapsedTimer waited;
    waited.start();
    while (chart->counting() && waited.elapsed() < 30000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    ok = Save(chart, out, "chart-window") && ok;
    chart->close();
  }

  // A new report being written: the form alone, three of its tabs filled
  // in as a user would.
  // The main window active again, as under the user's hands, so that
  // entering a field does what it does for them.
  main->activateWindow();
  Settle();
  click("cmdAddEntry");
  if (auto* form = main->findChild<gui::ReportForm*>(QStringLiteral("MainTab"))) {
    // A context field offers its pick-list when entered empty: the item
    // is picked from it, as the user would.
    QString pick;
    form->setPickListChooser([&pick](const reports::PickList& list, QPoint) {
      for (std::size_t k = 0; k < list.items.size(); ++k) {
        if (QString::fromStdString(list.items[k]) == pick) return static_cast<int>(k) + 1;
      }
      return 0;
    });
    const auto type = [form](int field, const char* text) {
      form->FocusField(field);
      QApplication::processEvents();
      form->SetFieldText(field, QString::fromUtf8(text));
    };
    type(1, "26-0417");
    type(2, "Bicycle taken from the rack at the north entrance");
    type(3, "Theft (petty)");
    type(4, "Ofc. R. Delgado");
    form->FocusField(5);  // takes the current moment
    QApplication::processEvents();
    if (form->fieldText(5).isEmpty()) {
      std::fprintf(stderr, "kestrova_illustrate: the date entered was not filled in\n");
      ok = false;
    }
    form->FocusField(1);
    ok = Save(main, out, "report-form") && ok;
    type(6, "12/04/2026 18:30");
    type(7, "12/05/2026 07:15");
    type(8, "North entrance, bicycle rack B");
    type(9, "12/05/2026 07:40");
    type(10, "Front desk");
    type(11, "Jordan Whitaker  W/M  03/14/1990");
    pick = QStringLiteral("Owner");
    form->FocusField(12);
    QApplication::processEvents();
    if (form->fieldText(12) != pick) {
      std::fprintf(stderr, "kestrova_illustrate: the context was not picked\n");
      ok = false;
    }
    type(13, "14 Larch Street, (555) 010-2231");
    form->FocusField(6);
    ok = Save(main, out, "report-form-when") && ok;
    type(44,
         "The owner locked a grey Trek bicycle to rack B at about 18:30 and found the cable cut the next "
         "morning at 07:15. The rack is outside the camera's view. No witnesses so far.");
    ok = Save(main, out, "report-form-narrative") && ok;
  } else {
    std::fprintf(stderr, "kestrova_illustrate: no report form\n");
    ok = false;
  }

  // The windows are left as they are: closing them would ask whether to
  // end the program.
  return ok && !answers->unexpected ? 0 : 1;
}
