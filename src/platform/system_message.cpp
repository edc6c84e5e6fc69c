#include "platform/system_message.h"

#include <QMessageBox>

namespace kestrova::platform {

void QtSystemMessage::ShowCritical(const QString& title, const QString& text, QWidget* parent) {
  QMessageBox::critical(parent, title, text);
}

}  // namespace kestrova::platform
