#include "gui/startup/startup.h"

#include "gui/session.h"
#include "gui/window_flow.h"
#include "platform/instance_guard.h"

namespace kestrova::gui {

frmTitlePage* StartProgram(Session& session, platform::InstanceGuard& guard) {
  if (!guard.TryAcquire()) {
    session.systemMessage().ShowCritical(QStringLiteral("Terminating..."),
                                         session.applicationTitle() + QStringLiteral(" is already loaded\n") +
                                             QStringLiteral("and running on your computer!"),
                                         nullptr);
    return nullptr;
  }
  // The file set and the access levels are fixed in the core; printing sets
  // its own units when it starts a page.
  return session.flow().OpenTitleWindow();
}

}  // namespace kestrova::gui
