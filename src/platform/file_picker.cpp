#include "platform/file_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace kestrova::platform {

std::optional<QString> QtFilePicker::OpenPicture(QWidget* parent) {
  // Any file the platform can read as a picture is accepted.
  const QString path = QFileDialog::getOpenFileName(
      parent, QStringLiteral("Choose a picture"), QString(),
      QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff);;All files (*)"));
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> QtFilePicker::SavePdf(QWidget* parent, const QString& proposedName) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  QFileDialog dialog(parent, QStringLiteral("Save the printout as"), QDir(folder).filePath(proposedName),
                     QStringLiteral("PDF documents (*.pdf)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace kestrova::platform
