#include "platform/input_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <algorithm>

namespace kestrova::platform {

void FitTitle(QWidget& dialog) {
  // The title bar's font is the desktop's; the application's bold font is a
  // fair stand-in. The buttons of the title bar take about 130 pixels.
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const int wanted = QFontMetrics(font).horizontalAdvance(dialog.windowTitle()) + 130;
  // The dialog's layout sets its size from its parts: the prompt is widened.
  QLayout* layout = dialog.layout();
  auto* prompt = dialog.findChild<QLabel*>();
  if (!layout || !prompt) {
    dialog.setMinimumWidth(std::max(dialog.minimumSizeHint().width(), wanted));
    return;
  }
  const QMargins margins = layout->contentsMargins();
  prompt->setMinimumWidth(std::max(prompt->minimumSizeHint().width(), wanted - margins.left() - margins.right()));
}

std::optional<QString> QtInputBox::Ask(const InputRequest& request, QWidget* parent) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(request.title);
  dialog.setLabelText(request.prompt);
  dialog.setTextEchoMode(request.password ? QLineEdit::Password : QLineEdit::Normal);
  dialog.setTextValue(request.defaultText);
  FitTitle(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

}  // namespace kestrova::platform
