#pragma once

class QWidget;

namespace kestrova::gui {

class Session;

// Asks for the administrative access code; true when the right code was
// entered. When no code has been chosen yet, asks the administrator to
// choose one first (typed twice), and says where it is kept.
bool RequestAccessCode(Session& session, QWidget* owner);

}  // namespace kestrova::gui
