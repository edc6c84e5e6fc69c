#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace kestrova::gui {

class Session;

// Keeps a text box within the characters its record member holds. Typing
// past the limit is refused as a full box refuses it; text pasted past it
// is cut to fit and a short message names the field and its limit, so
// nothing is lost without the user knowing. In a multi-line box a line
// break counts the two characters it takes in the file.
void LimitLineLength(Session& session, QLineEdit* box, int limit, std::function<QString()> fieldName);
void LimitBoxLength(Session& session, QPlainTextEdit* box, int limit, std::function<QString()> fieldName);

// The characters a multi-line box's text takes once stored.
int StoredLength(const QString& shown);

// "Characters Not Stored" for a text the data files cannot hold; false
// (after the message, with the focus on the box) when it holds any.
bool CheckStorable(Session& session, QWidget* owner, QWidget* box, const QString& text, const QString& fieldName);

}  // namespace kestrova::gui
