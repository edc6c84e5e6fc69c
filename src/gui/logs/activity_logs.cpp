#include "gui/logs/activity_logs.h"

#include "core/logs/activity_log.h"
#include "gui/session.h"
#include "gui/ui/message_dialog.h"

namespace kestrova::gui {
namespace {

void Report(Session& session, QWidget* owner, const Status& status) {
  if (status.ok()) return;
  ShowNotice(session, owner, QStringLiteral("Activity Log Not Written"),
             QString::fromStdString(status.message()) +
                 QStringLiteral("\n\nWhat you did was done; only its log line is missing."),
             kIconWarning);
}

}  // namespace

void LogSignInOut(Session& s, QWidget* owner, logs::LogAction action) {
  Report(
      s, owner,
      logs::LogSignInOut(s.folder(), s.clock().Now(), action, s.signIn.CurrentUserName, s.signIn.CurrentAccessLevel));
}

void LogUserListChange(Session& s, QWidget* owner, logs::LogAction action, const std::string& userName) {
  Report(s, owner, logs::LogUserListChange(s.folder(), s.clock().Now(), action, userName));
}

void LogRecordChange(Session& s, QWidget* owner, logs::LogAction action, const reports::ReportRecord& report) {
  Report(s, owner, logs::LogRecordChange(s.folder(), s.clock().Now(), action, report, s.signIn.CurrentUserName));
}

void LogSearch(Session& s, QWidget* owner, const std::string& description) {
  Report(s, owner, logs::LogSearch(s.folder(), s.clock().Now(), s.signIn.CurrentUserName, description));
}

}  // namespace kestrova::gui
