#include "gui/ui/message_dialog.h"

#include "gui/session.h"
#include "gui/ui/frm_msg_box.h"

namespace kestrova::gui {

MessageResult DialogMessageAnswerer::Answer(const MessageRequest& request, QWidget* parent) {
  frmMsgBox dialog(session_, request, parent);
  return dialog.Run();
}

MessageResult ShowMessage(Session& session, const MessageRequest& request, QWidget* parent) {
  return session.messages().Answer(request, parent);
}

}  // namespace kestrova::gui
