#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The program's questions and notices as data: what the message dialog is
// asked, what it answers, and who answers.
namespace kestrova::gui {

// Icon kinds of the message dialog, by their numbers.
enum class IconKind : int { None = 0, Application = 1, Error = 2, Question = 3, Warning = 4, Information = 5 };
inline constexpr IconKind kIconApplication = IconKind::Application;
inline constexpr IconKind kIconError = IconKind::Error;
inline constexpr IconKind kIconQuestion = IconKind::Question;
inline constexpr IconKind kIconWarning = IconKind::Warning;
inline constexpr IconKind kIconInformation = IconKind::Information;

// A question or notice: lines separated by "\n" (an empty line by two in a
// row); buttons left to right, each caption with an optional "&" access key.
struct MessageRequest {
  QString caption = {};
  IconKind iconKind = kIconInformation;
  QString message = {};
  int defaultButton = 1;
  bool showCheckBox = false;
  QStringList buttons = {};
  // The message can be selected and copied (names and passwords shown once).
  bool copyable = false;

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
