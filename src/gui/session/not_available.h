#pragma once

class QWidget;

namespace kestrova::gui {

class Session;
class ZelButton;

// A command whose work comes in a later version says so when it is used,
// through the message dialog, instead of doing nothing. The notice names
// the button's caption at the time of the click.
void SayNotAvailableYet(Session& session, ZelButton* button);

}  // namespace kestrova::gui
