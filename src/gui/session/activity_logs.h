#pragma once

#include <string>

#include "core/logs/activity_log.h"
#include "core/reports/report_record.h"
#include "core/status.h"
#include "core/users/sign_in.h"

class QWidget;

namespace kestrova::gui {

class Session;

// The activity log writers as the windows call them: the time from the
// session's clock, the user from its sign-in state. A log that cannot be
// written is reported once in a message; the action itself stands.
void LogSignInOut(Session& session, QWidget* owner, logs::LogAction action, const users::SignInState& who);
void LogUserListChange(Session& session, QWidget* owner, logs::LogAction action, const std::string& userName);
void LogRecordChange(Session& session, QWidget* owner, logs::LogAction action, const reports::ReportRecord& report);
void LogSearch(Session& session, QWidget* owner, const std::string& description);
// The notice of a log line that a use-case could not write.
void ShowLogProblem(Session& session, QWidget* owner, const Status& logged);

}  // namespace kestrova::gui
