#pragma once

#include <QObject>
#include <filesystem>

#include "core/files/folder_events.h"
#include "core/network/change_watch.h"

namespace kestrova::gui {

// This workstation's own writes to the data folder, as Qt signals: the
// folder's options name this as their write observer, and whoever must
// know (the main window's change watch) connects to it, so a window that
// closes stops listening by itself. Each signal comes while the writer
// holds the folder's lock, with the folder's stamp as it is then.
class OwnWrites : public QObject, public files::WriteObserver {
  Q_OBJECT

 public:
  using QObject::QObject;

 signals:
  // Nothing written yet: the stamp is everyone else's doing.
  void WriteStarting(const kestrova::network::DataStamp& stamp);
  // Written, and the change counter bumped: the stamp is this write's.
  void WriteCommitted(const kestrova::network::DataStamp& stamp);

 private:
  void AboutToWrite(const std::filesystem::path& folder) override;
  void Committed(const std::filesystem::path& folder) override;
};

}  // namespace kestrova::gui
