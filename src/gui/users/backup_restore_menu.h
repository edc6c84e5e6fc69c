#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <chrono>

class QMenu;
class QWidget;

namespace kestrova::gui {

class Session;

// The administrative window's backup/restore menu and the two procedures
// it starts. The window is the owner of every dialog; while files are
// copied it is disabled and shows the wait pointer, and its caption says
// which file is being copied.
class BackupRestoreMenu : public QObject {
  Q_OBJECT

 public:
  BackupRestoreMenu(Session& session, QWidget* window);

  // Pops the menu up at `globalPos`; an item, once chosen, runs at once.
  void PopUp(const QPoint& globalPos);
  // The pause before each file of a backup (one second); tests shorten it.
  void setPace(std::chrono::milliseconds pace) { pace_ = pace; }

 signals:
  // A restore got as far as copying (whether it went through or not): the
  // user list on the screen may no longer be the one in the folder.
  void UsersReplaced();

 private:
  void menuBackupRestore_Click(int item);

  Session& session_;
  QWidget* window_;
  QMenu* menu_ = nullptr;
  std::chrono::milliseconds pace_{1000};
  // Where the folder picker opens: the folder chosen last, else the home folder.
  QString lastFolder_;
};

}  // namespace kestrova::gui
