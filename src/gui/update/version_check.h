#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace kestrova::platform {
class PendingFetch;
class SettingsStore;
}  // namespace kestrova::platform

namespace kestrova::gui {

class Session;

// Where the version information is fetched from: the environment variable
// KESTROVA_UPDATE_URL when set, else the setting "UpdateAddress", else the
// address built into the program.
QString VersionInfoAddress(const platform::SettingsStore& settings);

// Whether the setting "AutoUpdateCheck" asks for a check at start-up.
bool AutoUpdateCheckOn(const platform::SettingsStore& settings);

// The title window's version check: asks the maker's server for the newest
// version without holding up the window, and says what it found. Also the
// menu that switches the check at start-up on and off.
class VersionCheck : public QObject {
  Q_OBJECT

 public:
  VersionCheck(Session& session, QWidget* window);
  ~VersionCheck() override;

  // Starts a check. `userAsked` decides, now, whether the check may end in
  // "No updates available". While a check runs no second one starts; a
  // user's request during the automatic one makes it the user's.
  void CheckForUpdate(bool userAsked);
  // Drops the check under way: its answer is never shown.
  void Abandon();
  bool checking() const { return pending_ != nullptr || answering_; }

  // Pops up menuUpdateCheckmenu at a screen position and acts on the item
  // chosen.
  void ShowMenu(const QPoint& at);
  QMenu* menu() const { return menu_; }

 private:
  void Answered(std::optional<QByteArray> body);

  Session& session_;
  QWidget* window_;
  std::unique_ptr<platform::PendingFetch> pending_;
  bool userAsked_ = false;
  // The answer's message is open.
  bool answering_ = false;
  QMenu* menu_ = nullptr;
  QList<QAction*> menuUpdateCheck_;  // items 1 to 6, separators included
};

}  // namespace kestrova::gui
