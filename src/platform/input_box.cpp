#include "platform/input_box.h"

#include <QInputDialog>
#include <QLineEdit>

namespace kestrova::platform {

std::optional<QString> QtInputBox::Ask(const InputRequest& request, QWidget* parent) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent, request.title, request.prompt,
                            request.password ? QLineEdit::Password : QLineEdit::Normal, request.defaultText, &ok);
  if (!ok) return std::nullopt;
  return text;
}

}  // namespace kestrova::platform
