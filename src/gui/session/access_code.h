#pragma once

class QWidget;

namespace kestrova::gui {

class Session;

// Asks for the data folder's administrative access code; true when the
// right code was entered. When the folder has none yet, asks the
// administrator to choose one first (typed twice), and says where it is
// kept. The code is typed masked and never shown back.
bool RequestAccessCode(Session& session, QWidget* owner);

}  // namespace kestrova::gui
