#include "gui/reports/list_moves.h"

#include <QApplication>

#include "gui/network/refresh_watch.h"
#include "gui/reports/browsing_side.h"
#include "gui/reports/report_list_panel.h"
#include "gui/session/activity_logs.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/busy_window.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

using reports::Command;

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IsMovedElsewhere(const Error& error) {
  return error.kind == Error::Kind::Conflict || error.kind == Error::Kind::NotFound;
}

}  // namespace

ListMoves::ListMoves(const MainWindowParts& parts, BrowsingSide& browsing)
    : QObject(parts.window), parts_(parts), browsing_(browsing) {
  connect(parts_.command(Command::ArchiveEntry), &ZelButton::Click, this, &ListMoves::cmdArchiveEntry_Click);
  connect(parts_.command(Command::RestoreEntry), &ZelButton::Click, this, &ListMoves::cmdRestoreEntry_Click);
  connect(parts_.command(Command::DeleteEntry), &ZelButton::Click, this, &ListMoves::cmdDeleteEntry_Click);
}

void ListMoves::WriteRefused(const Error& error, const QString& caption) {
  if (IsMovedElsewhere(error)) {
    ReportMovedElsewhere(error);
  } else {
    ShowNotice(parts_.session, parts_.window, caption, Q(error.message) + QStringLiteral("\n\nNothing was changed."),
               kIconError);
  }
}

void ListMoves::ReportMovedElsewhere(const Error& error) {
  ShowNotice(parts_.session, parts_.window, QStringLiteral("Report Changed Elsewhere"),
             Q(error.message) + QStringLiteral("\n\nNothing was written; the list is brought up to date."),
             kIconWarning);
  // The rebuild answers the refresh alert.
  parts_.refreshWatch->Reset();
  browsing_.RefreshAll();
}

std::optional<reports::MoveResult> ListMoves::MoveShownReport(std::uint8_t list, logs::LogAction logAction,
                                                              const QString& refused) {
  auto moved = reports::MoveReport(parts_.session.folder(), browsing_.ShownIdentity(), list);
  if (!moved.ok()) {
    WriteRefused(moved.error(), refused);
    return std::nullopt;
  }
  LogRecordChange(parts_.session, parts_.window, logAction, moved->report);
  return *moved;
}

void ListMoves::cmdArchiveEntry_Click() {
  if (!browsing_.displayed()) return;
  if (!AskUnlessSkipped(
          parts_.session, parts_.window, skipArchiveQuestion_,
          {.caption = QStringLiteral("Archive Option"),
           .iconKind = kIconQuestion,
           .message = QStringLiteral("This action will archive this report, moving it\nto the 'Inactive List' "
                                     "without deleting it.\n\nDo you wish to proceed?"),
           .showCheckBox = true,
           .buttons = {QStringLiteral("&Yes") + QStringLiteral(", archive to the 'Inactive List'"),
                       QStringLiteral("&Cancel, don't do anything")}})) {
    return;
  }
  if (MoveShownReport(reports::kInactiveList, logs::kArchived, QStringLiteral("Report Not Archived"))) {
    browsing_.RefreshAll();
  }
}

void ListMoves::cmdRestoreEntry_Click() {
  if (!browsing_.displayed()) return;
  if (!AskUnlessSkipped(
          parts_.session, parts_.window, skipRestoreQuestion_,
          {.caption = QStringLiteral("Confirm Restoration"),
           .iconKind = kIconQuestion,
           .message = QStringLiteral("Are you SURE you want to \nrestore this archived report\nto the 'Active "
                                     "List' of reports?"),
           .showCheckBox = true,
           .buttons = {QStringLiteral("&Yes") + QStringLiteral(", restore this report"),
                       QStringLiteral("&No") + QStringLiteral(", cancel this operation")}})) {
    return;
  }
  const auto moved = MoveShownReport(reports::kActiveList, logs::kRestored, QStringLiteral("Report Not Restored"));
  if (!moved) return;
  if (!moved->counts) {
    // Restored all the same; the list is rebuilt from what can be read.
    ShowNotice(
        parts_.session, parts_.window, QStringLiteral("Lists Not Counted"),
        QStringLiteral("The report was restored, but the lists could not be counted:\n\n") + Q(moved->countError),
        kIconWarning);
  } else {
    browsing_.setCounts(*moved->counts);
  }
  if (!moved->counts || browsing_.counts().InactiveCount > 0) {
    browsing_.RefreshAll();
  } else {
    browsing_.InactiveListEmpty();
  }
}

void ListMoves::cmdDeleteEntry_Click() {
  if (!browsing_.displayed()) return;
  Session& session = parts_.session;
  const MessageRequest question{
      .caption = QStringLiteral("Confirm Entry Deletion"),
      .iconKind = kIconQuestion,
      .message = QStringLiteral("Are you SURE you want to permanently delete\nthis report from the ") +
                 session.applicationTitle() + QStringLiteral(" database?"),
      .defaultButton = 2,
      .buttons = {QStringLiteral("&Yes") + QStringLiteral(", delete this report"),
                  QStringLiteral("&No") + QStringLiteral(", do not delete this report")}};
  if (ShowMessage(session, question, parts_.window).pressedButton != 1) return;
  auto pause = session.PauseChangeWatch();
  auto busy = std::make_unique<BusyWindow>(parts_.window);
  browsing_.RememberGridPosition();
  const std::string user = session.signIn.CurrentUserName;
  auto left = reports::DeleteReport(
      session.folder(), browsing_.ShownIdentity(), [&](const reports::ReportRecord& report, logs::LogAction action) {
        return logs::LogRecordChange(session.folder(), session.clock().Now(), action, report, user);
      });
  busy.reset();
  QApplication::processEvents();
  if (!left.ok()) {
    browsing_.ForgetGridPosition();
    WriteRefused(left.error(), QStringLiteral("Report Not Deleted"));
    return;
  }
  browsing_.setCounts(*left);
  if (parts_.list->display() == reports::DisplayList::Inactive && left->InactiveCount == 0) {
    browsing_.InactiveListEmpty();
  } else {
    browsing_.RefreshAll();
  }
}

}  // namespace kestrova::gui
