#include "gui/session/exit_program.h"

#include <QApplication>
#include <QWidget>

#include "core/network/concurrent_users.h"
#include "core/startup/file_set.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"

namespace kestrova::gui {

bool ExitProgram(Session& session, bool skip, QWidget* owner) {
  if (!skip) {
    const QString title = session.applicationTitle();
    const MessageRequest request{.caption = QStringLiteral("Exit ") + title + QStringLiteral("?"),
                                 .iconKind = kIconQuestion,
                                 .message = QStringLiteral("This will close ") + title + QStringLiteral(".\n\n") +
                                            QStringLiteral("Is this what you want to do?"),
                                 .defaultButton = 1,
                                 .buttons = {QStringLiteral("&Yes") + QStringLiteral(", exit ") + title,
                                             QStringLiteral("&No") + QStringLiteral(", don't quit yet")}};
    if (ShowMessage(session, request, owner).pressedButton != 1) return false;
    // Confirmed: this workstation leaves the count.
    UncountThisWorkstation(session);
  }
  session.exiting = true;
  // No file is held open between operations; let pending work finish.
  QApplication::processEvents();
  startup::DeleteEmptyFiles(session.folder().path(), session.folder().lockOptions());
  // Each window's own closing work runs; the windows let themselves close
  // now that the session is ending.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) window->close();
  }
  if (session.endProgram) session.endProgram();
  return true;
}

void CountThisWorkstation(Session& session) {
  if (session.workstationCounted) return;
  session.workstationCounted =
      network::UpdateConcurrentUsers(session.folder().path(), network::kWorkstationStarts, session.folder().options())
          .ok();
}

void UncountThisWorkstation(Session& session) {
  if (!session.workstationCounted) return;
  if (network::UpdateConcurrentUsers(session.folder().path(), network::kWorkstationEnds, session.folder().options())
          .ok()) {
    session.workstationCounted = false;
  }
}

}  // namespace kestrova::gui
