#include "gui/session/own_writes.h"

#include <QMetaMethod>

namespace kestrova::gui {

// The stamp is read only when someone listens.
void OwnWrites::AboutToWrite(const std::filesystem::path& folder) {
  if (!isSignalConnected(QMetaMethod::fromSignal(&OwnWrites::WriteStarting))) return;
  if (auto stamp = network::ReadDataStamp(folder); stamp.ok()) emit WriteStarting(*stamp);
}

void OwnWrites::Committed(const std::filesystem::path& folder) {
  if (!isSignalConnected(QMetaMethod::fromSignal(&OwnWrites::WriteCommitted))) return;
  if (auto stamp = network::ReadDataStamp(folder); stamp.ok()) emit WriteCommitted(*stamp);
}

}  // namespace kestrova::gui
