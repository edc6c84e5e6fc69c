#include "gui/users/backup_restore_menu.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMenu>

#include "core/backup/procedure.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/busy_window.h"
#include "gui/ui/message_from_core.h"

namespace kestrova::gui {
namespace {

// Lets the window's events run for `pause` (at least once).
void LetEventsRun(std::chrono::milliseconds pause) {
  const QDeadlineTimer deadline(pause.count());
  do {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  } while (!deadline.hasExpired());
}

}  // namespace

BackupRestoreMenu::BackupRestoreMenu(Session& session, QWidget* window)
    : QObject(window), session_(session), window_(window) {
  setObjectName(QStringLiteral("backupRestore"));
  menu_ = new QMenu(window);
  menu_->setObjectName(QStringLiteral("menuBackupRestoreMenu"));
  for (int item = 1; item <= static_cast<int>(backup::kBackupRestoreMenu.size()); ++item) {
    const std::string_view text = backup::kBackupRestoreMenu[static_cast<std::size_t>(item - 1)];
    if (text.empty()) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = menu_->addAction(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    action->setObjectName(QStringLiteral("menuBackupRestore%1").arg(item));
    connect(action, &QAction::triggered, this, [this, item] { menuBackupRestore_Click(item); });
    if (item == 1) {
      // The default item, in bold.
      QFont bold = action->font();
      bold.setBold(true);
      action->setFont(bold);
      menu_->setDefaultAction(action);
    }
  }
}

void BackupRestoreMenu::PopUp(const QPoint& globalPos) { menu_->popup(globalPos, menu_->defaultAction()); }

void BackupRestoreMenu::menuBackupRestore_Click(int item) {
  const std::optional<backup::Procedure> procedure = backup::MenuItemProcedure(item);
  if (!procedure) return;
  const files::DataFolder& folder = session_.folder();
  backup::ProcedureHost host;
  host.chooseFolder = [this](const std::string& prompt) -> std::optional<std::filesystem::path> {
    const QString start = lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_;
    // A dialog's title is one line.
    const QString title = QString::fromStdString(prompt).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const auto chosen = session_.folderPicker().PickFolder(window_, title, start);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    lastFolder_ = *chosen;
    return std::filesystem::path(chosen->toStdString());
  };
  host.ask = [this](const backup::Message& m) { return ShowMessage(session_, RequestFor(m), window_).pressedButton; };
  host.caption = [this] { return window_->windowTitle().toStdString(); };
  host.setCaption = [this](const std::string& text) {
    window_->setWindowTitle(QString::fromStdString(text));
    window_->repaint();
  };
  std::optional<BusyWindow> busy;
  host.setBusy = [this, &busy](bool on) {
    if (on && !busy) busy.emplace(window_);
    if (!on) busy.reset();
  };
  host.wait = [](std::chrono::milliseconds pause) { LetEventsRun(pause); };
  host.progress = [](const backup::Progress&) { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  backup::ProcedureOptions options;
  options.pace = pace_;
  options.lock = folder.lockOptions();
  options.clock = folder.options().clock;
  options.observer = folder.options().observer;
  // The change watch would only see the procedure's own copies.
  const auto paused = session_.PauseChangeWatch();
  backup::ProcedureRun run(*procedure, folder.path(), session_.applicationTitle().toStdString(), std::move(host),
                           std::move(options));
  run.Run();
  if (run.reloadUsers()) emit UsersReplaced();
}

}  // namespace kestrova::gui
