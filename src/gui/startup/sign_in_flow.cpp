#include "gui/startup/sign_in_flow.h"

#include <QApplication>
#include <QCursor>
#include <filesystem>

#include "core/reports/data_file.h"
#include "core/startup/data_file_upgrade.h"
#include "gui/session/exit_program.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/startup/frm_title_page.h"
#include "gui/startup/overview_text.h"

namespace kestrova::gui {
namespace {

namespace fs = std::filesystem;

void Notice(Session& s, QWidget* owner, const QString& caption, const QString& message,
            const QString& button = QStringLiteral("&Continue"), IconKind icon = kIconInformation) {
  ShowNotice(s, owner, caption, message, icon, button);
}

void ShowFailure(Session& s, QWidget* owner, const QString& caption, const std::string& message) {
  Notice(s, owner, caption, QString::fromStdString(message), QStringLiteral("&Okay"), kIconError);
}

void ShowNewUserOverview(Session& s, QWidget* owner) {
  if (s.settings().Read(QStringLiteral("NewUser")).value_or(QString()) == QStringLiteral("NoShow")) return;
  const MessageRequest r{.caption = s.applicationTitle() + QStringLiteral(" - New User Overview"),
                         .iconKind = kIconInformation,
                         .message = QStringLiteral("Welcome! Are you a new user? ") +
                                    QStringLiteral("If so, then let's take a moment for a quick overview.") +
                                    QStringLiteral("\n\n") + NewUserOverview(),
                         .showCheckBox = true,
                         .buttons = {QStringLiteral("&Continue")}};
  if (ShowMessage(s, r, owner).dontAskAgain) s.settings().Write(QStringLiteral("NewUser"), QStringLiteral("NoShow"));
}

void ScreenCheck(Session& s, QWidget* owner) {
  const QSize screen = s.screenSize();
  if (screen.width() >= 1024) return;
  const QString title = s.applicationTitle();
  Notice(s, owner, QStringLiteral("Screen Resolution Issue"),
         title + QStringLiteral(" is designed for use on a\n") +
             QStringLiteral("screen resolution of at least 1024x720. \n\n") + title +
             QStringLiteral(" may not display correctly on\n") +
             QStringLiteral("your current screen resolution (%1x%2).\n\n").arg(screen.width()).arg(screen.height()) +
             QStringLiteral("To adjust your screen resolution settings,\n") +
             QStringLiteral("right-click on your screen desktop and\n") +
             QStringLiteral("select the appropriate menu options."));
  QApplication::processEvents();
}

void OldestDataFile(Session& s, QWidget* owner) {
  auto done = startup::DeleteEmptyOldestDataFile(s.folder().path());
  if (!done.ok()) {
    ShowFailure(s, owner, QStringLiteral("Data File Problem"), done.message());
    return;
  }
  if (*done) return;
  // An earlier set-aside keeps its name; this one gets its own.
  auto name = startup::FreeSetAsideName(s.folder().path(), startup::kOldestSetAsideName, s.clock().Now());
  if (!name.ok()) {
    ShowFailure(s, owner, QStringLiteral("Data File Problem"), name.message());
    return;
  }
  const QString dat = QString::fromLatin1(startup::kOldestDataFileName.data());
  Notice(s, owner, QStringLiteral("Data file can not be updated"),
         QStringLiteral("Your old '") + dat + QStringLiteral("' data file\n") +
             QStringLiteral("is too old to be converted.\n\n") + QStringLiteral("It will be saved as '") +
             QString::fromStdString(*name) + QStringLiteral("'\n") + QStringLiteral("and a new ('") +
             QString::fromLatin1(reports::kDataFileName.data()) + QStringLiteral("') data file\n") +
             QStringLiteral("will be created for you now."));
  Status moved = startup::SetAsideOldestDataFile(s.folder(), *name);
  if (!moved.ok()) ShowFailure(s, owner, QStringLiteral("Data File Problem"), moved.message());
}

}  // namespace

bool UpgradeDataFile(Session& s, frmTitlePage* title) {
  QApplication::processEvents();
  auto state = startup::ClassifyDataFile(s.folder().path());
  if (!state.ok()) {
    ShowFailure(s, title, QStringLiteral("Data File Problem"), state.message());
    return true;
  }
  if (*state == startup::DataFileState::Empty) {
    // A database without reports keeps no data file.
    (void)startup::RemoveEmptyDataFile(s.folder());
    return true;
  }
  if (*state != startup::DataFileState::Version3 && *state != startup::DataFileState::Version2) return true;

  const QString old = QString::fromLatin1(startup::kOldDataFileName.data());
  const MessageRequest ask{.caption = QStringLiteral("Update older version data file?"),
                           .iconKind = kIconQuestion,
                           .message = QStringLiteral("You have an older version data file that I would like\n"
                                                     "to convert and use with this newer software version.\n\n"
                                                     "If you agree, I will update your existing data file\n"
                                                     "and save a copy of the old one as '") +
                                      old +
                                      QStringLiteral("'.\n\n"
                                                     "Or, if you'd rather, you can start fresh with a new data file\n"
                                                     "(I will still rename and save a copy of the old data file).\n\n"
                                                     "Or, if you're not ready to answer right now, you can select\n"
                                                     "the last option."),
                           .defaultButton = 1,
                           .buttons = {QStringLiteral("&Yes") + QStringLiteral(", update our existing data file"),
                                       QStringLiteral("&Let's start over with a new data file"),
                                       QStringLiteral("&Quit the program, let me think about it")}};
  const int answer = ShowMessage(s, ask, title).pressedButton;
  QString closing;
  std::string earlierCopy;
  if (answer == 1) {
    if (title) title->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto converted = startup::ConvertDataFile(s.folder(), *state, s.clock().Now());
    QApplication::restoreOverrideCursor();
    if (title) title->setEnabled(true);
    if (!converted.ok()) {
      ShowFailure(s, title, QStringLiteral("Data File Not Converted"),
                  converted.message() + "\n\nThe data file was left as it was.");
      return false;
    }
    closing = QStringLiteral("Your data file has been\nsuccessfully converted!\n");
    earlierCopy = converted->earlierCopyKeptAs;
  } else if (answer == 2) {
    auto moved = startup::StartOverDataFile(s.folder(), s.clock().Now());
    if (!moved.ok()) {
      ShowFailure(s, title, QStringLiteral("Data File Not Renamed"), moved.message());
      return false;
    }
    earlierCopy = moved->earlierCopyKeptAs;
  } else {
    // Quit: no data file is touched. The workstation leaves the count it
    // joined when the title window opened.
    UncountThisWorkstation(s);
    s.exiting = true;
    if (title) title->CloseByProgram();
    if (s.endProgram) s.endProgram();
    return false;
  }
  if (!earlierCopy.empty()) {
    // The copy an earlier upgrade kept is not lost: say where it is.
    closing += (closing.isEmpty() ? QString() : QStringLiteral("\n")) + QStringLiteral("The earlier copy '") + old +
               QStringLiteral("' was kept\nas '") + QString::fromStdString(earlierCopy) + QStringLiteral("'.");
  }
  QApplication::processEvents();
  const MessageRequest finished{.caption = QStringLiteral("Finished Updating!"),
                                .iconKind = kIconInformation,
                                .message = closing,
                                .defaultButton = 1,
                                .buttons = {QStringLiteral("Thank you-- let's &continue")}};
  ShowMessage(s, finished, title);
  return true;
}

bool RunSignInFlow(Session& s, frmTitlePage* title) {
  ShowNewUserOverview(s, title);
  ScreenCheck(s, title);
  if (!UpgradeDataFile(s, title)) return false;
  OldestDataFile(s, title);
  QApplication::processEvents();
  if (title) title->CloseByProgram();
  return true;
}

}  // namespace kestrova::gui
