#include "platform/file_picker.h"

#include <QFileDialog>

namespace kestrova::platform {

std::optional<QString> QtFilePicker::OpenPicture(QWidget* parent) {
  // Any file the platform can read as a picture is accepted.
  const QString path = QFileDialog::getOpenFileName(
      parent, QStringLiteral("Choose a picture"), QString(),
      QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff);;All files (*)"));
  if (path.isEmpty()) return std::nullopt;
  return path;
}

}  // namespace kestrova::platform
