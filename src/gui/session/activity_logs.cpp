#include "gui/session/activity_logs.h"

#include "core/logs/activity_log.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"

namespace kestrova::gui {

void ShowLogProblem(Session& session, QWidget* owner, const Status& logged) {
  if (logged.ok()) return;
  ShowNotice(session, owner, QStringLiteral("Activity Log Not Written"),
             QString::fromStdString(logged.message()) +
                 QStringLiteral("\n\nWhat you did was done; only its log line is missing."),
             kIconWarning);
}

void LogSignInOut(Session& s, QWidget* owner, logs::LogAction action, const users::SignInState& who) {
  ShowLogProblem(s, owner,
                 logs::LogSignInOut(s.folder(), s.clock().Now(), action, who.CurrentUserName, who.CurrentAccessLevel));
}

void LogUserListChange(Session& s, QWidget* owner, logs::LogAction action, const std::string& userName) {
  ShowLogProblem(s, owner, logs::LogUserListChange(s.folder(), s.clock().Now(), action, userName));
}

void LogRecordChange(Session& s, QWidget* owner, logs::LogAction action, const reports::ReportRecord& report) {
  ShowLogProblem(s, owner,
                 logs::LogRecordChange(s.folder(), s.clock().Now(), action, report, s.signIn.CurrentUserName));
}

void LogSearch(Session& s, QWidget* owner, const std::string& description) {
  ShowLogProblem(s, owner, logs::LogSearch(s.folder(), s.clock().Now(), s.signIn.CurrentUserName, description));
}

}  // namespace kestrova::gui
