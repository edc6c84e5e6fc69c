#include "platform/file_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QObject>
#include <QStandardPaths>
#include <algorithm>

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

std::optional<QString> QtFilePicker::SaveChart(QWidget* parent, const QString& proposedName) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  const QStringList types = {QStringLiteral("PNG picture (*.png)"), QStringLiteral("PDF document (*.pdf)"),
                             QStringLiteral("CSV table for a spreadsheet (*.csv)")};
  const QStringList suffixes = {QStringLiteral("png"), QStringLiteral("pdf"), QStringLiteral("csv")};
  QFileDialog dialog(parent, QStringLiteral("Save the chart as"), QDir(folder).filePath(proposedName),
                     types.join(QStringLiteral(";;")));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The type chosen gives a name typed without an ending its own.
  const auto follow = [&](const QString& type) {
    const auto i = types.indexOf(type);
    if (i >= 0) dialog.setDefaultSuffix(suffixes[i]);
  };
  const QString proposedSuffix = QFileInfo(proposedName).suffix().toLower();
  const auto proposedType = std::max<qsizetype>(0, suffixes.indexOf(proposedSuffix));
  dialog.selectNameFilter(types[proposedType]);
  follow(types[proposedType]);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace kestrova::platform
