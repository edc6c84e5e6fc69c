#pragma once

#include <QString>

class QWidget;

namespace kestrova::gui {

class Session;

inline constexpr int kAddressEmail = 1;
inline constexpr int kAddressWeb = 2;

// Opens a new mail to the address (kind 1) or the web page (kind 2) with the
// desktop's programs; an empty address means the maker's. A failure ends in
// the "Connection Error" notice.
void OpenAddress(Session& session, int kind, QWidget* owner, const QString& address);

// Opens the manual, the program's title followed by ".PDF", found beside the
// program or in its installed share folder, or says it is missing.
void OpenManual(Session& session, QWidget* owner);

// "Version w4.14.11": major and minor as "##", the revision as "####".
QString VersionCaption();

// Sends a key press (a Windows virtual-key code) to the widget that has the
// keyboard focus, as if the user had pressed it.
void PressKey(int virtualKey);

}  // namespace kestrova::gui
