#pragma once

#include "gui/ui/message_request.h"

namespace kestrova::gui {

class Session;

// The front end every window calls: the session's answerer (the message
// dialog, or a test's script) answers.
MessageResult ShowMessage(Session& session, const MessageRequest& request, QWidget* parent = nullptr);

// A question with "Don't show this again": skipped (true) once that was
// ticked; otherwise true when the first button was pressed. The box's state
// is kept in `skip` whichever button was pressed.
bool AskUnlessSkipped(Session& session, QWidget* parent, bool& skip, const MessageRequest& question);

// A notice with one button, the usual shape of a message that only informs.
void ShowNotice(Session& session, QWidget* parent, const QString& caption, const QString& message,
                IconKind iconKind = kIconInformation, const QString& button = QStringLiteral("&Okay"));

}  // namespace kestrova::gui
