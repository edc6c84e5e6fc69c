#include "gui/session/message_dialog.h"

#include "gui/session/session.h"

namespace kestrova::gui {

MessageResult ShowMessage(Session& session, const MessageRequest& request, QWidget* parent) {
  return session.messages().Answer(request, parent);
}

bool AskUnlessSkipped(Session& session, QWidget* parent, bool& skip, const MessageRequest& question) {
  if (skip) return true;
  const MessageResult answer = ShowMessage(session, question, parent);
  skip = answer.dontAskAgain;
  return answer.pressedButton == 1;
}

void ShowNotice(Session& session, QWidget* parent, const QString& caption, const QString& message, IconKind iconKind,
                const QString& button) {
  const MessageRequest r{.caption = caption, .iconKind = iconKind, .message = message, .buttons = {button}};
  ShowMessage(session, r, parent);
}

}  // namespace kestrova::gui
