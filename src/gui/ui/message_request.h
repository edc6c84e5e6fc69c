#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The program's questions and notices as data: what the message dialog is
// asked, what it answers, and who answers.
namespace kestrova::gui {

// Icon kinds of the message dialog.
inline constexpr int kIconApplication = 1;
inline constexpr int kIconError = 2;
inline constexpr int kIconQuestion = 3;
inline constexpr int kIconWarning = 4;
inline constexpr int kIconInformation = 5;

// A question or notice: lines separated by "\n" (an empty line by two in a
// row); buttons left to right, each caption with an optional "&" access key.
struct MessageRequest {
  QString caption;
  int iconKind = kIconInformation;
  QString message;
  int defaultButton = 1;
  bool showCheckBox = false;
  QStringList buttons;

  QStringList lines() const { return message.split(QLatin1Char('\n')); }
};

// pressedButton: 1..n, or 0 when the dialog was closed without a button
// (close box, Escape, or a message too big for the screen). dontAskAgain:
// the check box was shown, ticked, and a button was pressed.
struct MessageResult {
  int pressedButton = 0;
  bool dontAskAgain = false;
};

// Who answers the program's questions: the dialog itself, or in tests a
// script.
class MessageAnswerer {
 public:
  virtual ~MessageAnswerer() = default;
  virtual MessageResult Answer(const MessageRequest& request, QWidget* parent) = 0;
};

}  // namespace kestrova::gui
