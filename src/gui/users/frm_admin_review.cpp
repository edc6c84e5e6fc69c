#include <QCursor>
#include <QTableWidget>

#include "gui/session/access_code.h"
#include "gui/session/session.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "gui/users/backup_restore_menu.h"
#include "gui/users/frm_admin.h"
#include "gui/users/log_review_panel.h"

// The administrative window's log review and its backup/restore menu.
namespace kestrova::gui {

void frmAdmin::cmdReviewLogs_Click() {
  if (mode_ == Mode::Reviewing) {
    LeaveLogReview();
    return;
  }
  if (!RequestAccessCode(session_, this)) return;
  mode_ = Mode::Reviewing;
  reviewLogsTag_ = cmdReviewLogs_->Caption();
  cmdReviewLogs_->setCaption(QStringLiteral("&Finished Reviewing"));
  reviewLogsToolTip_ = cmdReviewLogs_->toolTip();
  cmdReviewLogs_->setToolTip(QStringLiteral(" Click here when finished reviewing the activity logs "));
  grid_->hide();
  ShowCommands();
  SetDefaultButton(this, nullptr);
  picLogsTop_ = picLogs_->y();
  picLogs_->move(picLogs_->x(), grid_->y());
  windowCaptionTag_ = windowTitle();
  setWindowTitle(session_.applicationTitle() + QStringLiteral(" - Activity Logs"));
  flasher_->Start(cmdReviewLogs_, 10, 10);
  picLogs_->Enter();
}

void frmAdmin::LeaveLogReview() {
  mode_ = Mode::List;
  flasher_->Stop();
  picLogs_->Leave();
  picLogs_->move(picLogs_->x(), picLogsTop_);
  grid_->setVisible(userCount_ >= 1);
  cmdReviewLogs_->setCaption(reviewLogsTag_);
  cmdReviewLogs_->setToolTip(reviewLogsToolTip_);
  ButtonFlasher::Rest(cmdReviewLogs_);
  ShowCommands();
  if (!cmdUserSelected_->isHidden()) SetDefaultButton(this, cmdUserSelected_);
  setWindowTitle(windowCaptionTag_);
  // Users another workstation added or removed meanwhile.
  RereadChangedList();
}

void frmAdmin::picLogs_SearchStarted() {
  ShowCommands();
  flasher_->Stop();
  SetCancelButton(this, picLogs_->finishButton());
  flasher_->Start(picLogs_->finishButton(), 10, 10);
}

void frmAdmin::picLogs_SearchEnded() {
  flasher_->Stop();
  ShowCommands();
  flasher_->Start(cmdReviewLogs_, 10, 10);
  SetCancelButton(this, cmdQuit_);
}

void frmAdmin::cmdBackupRestore_Click() {
  if (!RequestAccessCode(session_, this)) return;
  const QScreen* s = screen();
  backupRestore_->PopUp(mapToGlobal(QPoint(ToPixels(6200, s), ToPixels(550, s))));
}

void frmAdmin::UsersReplaced() {
  FillUserList();
  if (grid_->isVisible()) {
    SelectRow(1);
    if (!cmdUserSelected_->isHidden()) SetDefaultButton(this, cmdUserSelected_);
  }
}

}  // namespace kestrova::gui
