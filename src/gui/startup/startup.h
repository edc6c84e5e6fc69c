#pragma once

namespace kestrova::platform {
class InstanceGuard;
}

namespace kestrova::gui {

class Session;
class frmTitlePage;

// The start-up routine: refuses a second instance (the desktop's plain
// "Terminating..." notice, then nothing), else shows the title window and
// returns it. The caller runs the event loop.
frmTitlePage* StartProgram(Session& session, platform::InstanceGuard& guard);

}  // namespace kestrova::gui
