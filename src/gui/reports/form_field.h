#pragma once

#include <QString>
#include <string_view>

class QColor;
class QLabel;
class QMenu;
class QPoint;
class QSize;
class QWidget;

namespace kestrova::reports {
struct PickList;
}

// What the report form does to one of its fields, whether a line or a
// multi-line box.
namespace kestrova::gui::form_field {

QString Text(const QWidget* field);
// Sets the text only where it differs, so an unchanged field sends no change.
void SetText(QWidget* field, const QString& text);
void SetReadOnly(QWidget* field, bool readOnly);
void Clear(QWidget* field);
void Paint(QWidget* field, const QColor& back, const QColor& text);
// A field's heading in bold while the field has the focus; bold text is
// wider, so the heading grows until none of it is cut off.
void SetHeadingBold(QLabel* heading, bool bold);
// A heading's text as its label shows it: the label names its field for the
// keyboard, so an "&" in the text is doubled to be shown, not taken as the
// mark of an access key.
QString HeadingText(std::string_view heading);

// Where a field's pick-list opens in a window of this size: towards the
// window's lower right, higher for the fields further down their tab.
QPoint PickListPlace(int field, const QSize& window);

// A pick-list shown as a pop-up menu at a point of the screen: the item
// chosen (1-based), 0 for none.
int ChooseFromMenu(QWidget* parent, const reports::PickList& list, const QPoint& at);

}  // namespace kestrova::gui::form_field
