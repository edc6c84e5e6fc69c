#pragma once

#include <QColor>
#include <QObject>
#include <QTimer>
#include <functional>

#include "core/network/change_watch.h"

namespace kestrova::gui {

class Session;
class ZelButton;

// The main window's watch on the data folder: a one-second timer that
// looks at the folder's stamp and, when another workstation changed it,
// makes the "Refresh List" button flash (with "update.wav" when the user
// asked for it), until the user refreshes. It also owns the button's
// right-click menu of sound options.
class RefreshWatch : public QObject {
  Q_OBJECT

 public:
  // `listed` says whether the list shows at least one report.
  RefreshWatch(Session& session, ZelButton* button, std::function<bool()> listed);

  // The stamp as the window first sees it.
  void RememberNow();
  // The user refreshes: the button rests again.
  void Reset();
  void ShowSoundMenu(const QPoint& globalPos);
  const network::ChangeWatch& watch() const { return watch_; }

  static constexpr const char* kSound = ":/sounds/update.wav";

 private:
  void timerConcurrentUserCheck_Timer();
  void ShowLook();

  Session& session_;
  ZelButton* button_;
  std::function<bool()> listed_;
  network::ChangeWatch watch_;
  QTimer timer_;                // timerConcurrentUserCheck
  QColor restBack_, restFore_;  // the button's resting (and hover) colours
};

}  // namespace kestrova::gui
