#include "platform/folder_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kestrova::platform {

std::optional<QString> QtFolderPicker::PickFolder(QWidget* parent, const QString& caption, const QString& startFolder) {
  QString start = startFolder;
  while (!start.isEmpty() && !QFileInfo(start).isDir()) {
    const QString up = QFileInfo(start).absolutePath();
    if (up == start) break;
    start = up;
  }
  if (start.isEmpty()) start = QDir::homePath();
  const QString folder = QFileDialog::getExistingDirectory(parent, caption, start, QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return QDir::cleanPath(folder);
}

}  // namespace kestrova::platform
