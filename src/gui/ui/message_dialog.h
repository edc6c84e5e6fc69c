#pragma once

#include "gui/ui/message_request.h"

namespace kestrova::platform {
class SoundPlayer;
class SystemMessage;
}  // namespace kestrova::platform

namespace kestrova::gui {

class Session;

// Shows the program's own message dialog, modally.
class DialogMessageAnswerer : public MessageAnswerer {
 public:
  DialogMessageAnswerer(platform::SoundPlayer& sound, platform::SystemMessage& systemMessage)
      : sound_(sound), systemMessage_(systemMessage) {}
  MessageResult Answer(const MessageRequest& request, QWidget* parent) override;

 private:
  platform::SoundPlayer& sound_;
  platform::SystemMessage& systemMessage_;
};

// The front end every window calls.
MessageResult ShowMessage(Session& session, const MessageRequest& request, QWidget* parent = nullptr);

// A question with "Don't show this again": skipped (true) once that was
// ticked; otherwise true when the first button was pressed. The box's state
// is kept in `skip` whichever button was pressed.
bool AskUnlessSkipped(Session& session, QWidget* parent, bool& skip, const MessageRequest& question);

// A notice with one button, the usual shape of a message that only informs.
void ShowNotice(Session& session, QWidget* parent, const QString& caption, const QString& message,
                IconKind iconKind = kIconInformation, const QString& button = QStringLiteral("&Okay"));

}  // namespace kestrova::gui
