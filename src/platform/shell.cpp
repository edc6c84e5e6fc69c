#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kestrova::platform {

bool QtShell::OpenAddress(const QString& address) {
  const QUrl url(address, QUrl::TolerantMode);
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

bool QtShell::OpenDocument(const QString& path) {
  if (!QFileInfo::exists(path)) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

}  // namespace kestrova::platform
