#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
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

// The version check: asks the maker's server for the newest version
// without holding up the windows, and says what it found. It belongs to the
// session, not to the title window that starts it: an answer that comes
// after the user signed in is shown over whichever window is active then.
// Also the menu that switches the check at start-up on and off.
class VersionCheck : public QObject {
  Q_OBJECT

 public:
  explicit VersionCheck(Session& session);
  ~VersionCheck() override;

  // Starts a check. `userAsked` decides, now, whether the check may end in
  // "No updates available"; `askedFrom` is the window the user asked in.
  // While a check runs no second one starts; a user's request during the
  // automatic one makes it the user's.
  void CheckForUpdate(bool userAsked, QWidget* askedFrom = nullptr);
  // Drops the check under way: its answer is never shown.
  void Abandon();
  bool checking() const { return pending_ != nullptr || answering_; }

  // Pops up menuUpdateCheckmenu at a screen position and acts on the item
  // chosen.
  void ShowMenu(const QPoint& at);
  QMenu* menu() const { return menu_.get(); }

 private:
  void Answered(std::optional<QByteArray> body);
  // The window the answer is shown over.
  QWidget* Owner() const;

  Session& session_;
  QPointer<QWidget> askedFrom_;
  std::unique_ptr<platform::PendingFetch> pending_;
  bool userAsked_ = false;
  // The answer's message is open.
  bool answering_ = false;
  std::unique_ptr<QMenu> menu_;
  QList<QAction*> menuUpdateCheck_;  // items 1 to 6, separators included
};

}  // namespace kestrova::gui
