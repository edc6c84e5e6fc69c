#include "gui/session/not_available.h"

#include "core/controls/button_rules.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {

void SayNotAvailableYet(Session& session, ZelButton* button) {
  QObject::connect(button, &ZelButton::Click, button, [&session, button] {
    const QString command = QString::fromStdString(controls::ShownCaption(button->Caption().toStdString()));
    ShowNotice(session, button->window(), QStringLiteral("Not Available Yet"),
               QStringLiteral("'") + command + QStringLiteral("' is not available yet:\n") +
                   QStringLiteral("it comes in a later version of ") + session.applicationTitle() +
                   QStringLiteral("."));
  });
}

}  // namespace kestrova::gui
