// The main window's commands that write reports: adding, editing,
// archiving, restoring and deleting.

#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QTableView>
#include <algorithm>

#include "core/logs/activity_log.h"
#include "core/reports/report_actions.h"
#include "core/reports/report_writing.h"
#include "core/text/fixed_text.h"
#include "gui/network/refresh_watch.h"
#include "gui/reports/command_bar.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/picture_slots.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/session/activity_logs.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/busy_window.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {

using reports::Command;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IsMovedElsewhere(const Error& error) {
  return error.kind == Error::Kind::Conflict || error.kind == Error::Kind::NotFound;
}

}  // namespace

QList<QWidget*> frmMain::ListSide() const {
  QList<QWidget*> side = list_->optionFrames();
  side << command(Command::RefreshGrid) << command(Command::NetworkInfo);
  return side;
}

void frmMain::SaveButtonRule() {
  if (mode_ == Mode::Viewing) return;
  // An edit can be saved once something changed, a new report at once;
  // both only with the four mandatory fields filled.
  command(adding() ? Command::AddSave : Command::EditSave)
      ->setEnabled((adding() || entriesChanged_) && reports::SaveAllowed(form_->Texts()));
}

void frmMain::WriteRefused(const Error& error, const QString& caption) {
  if (IsMovedElsewhere(error)) {
    ReportMovedElsewhere(error);
  } else {
    ShowNotice(session_, this, caption, Q(error.message) + QStringLiteral("\n\nNothing was changed."), kIconError);
  }
}

void frmMain::ReportMovedElsewhere(const Error& error) {
  ShowNotice(session_, this, QStringLiteral("Report Changed Elsewhere"),
             Q(error.message) + QStringLiteral("\n\nNothing was written; the list is brought up to date."),
             kIconWarning);
  // The rebuild answers the refresh alert.
  refreshWatch_->Reset();
  RefreshAll();
}

reports::Author frmMain::Author() const {
  return {session_.folder(), session_.clock(), session_.signIn.CurrentUserName};
}

// Adding.

void frmMain::ShrinkToTheForm(bool shrink) {
  const QList<QWidget*> side = ListSide();
  // A maximised window keeps its size; the list's room stays below.
  const bool sized = !isMaximized() && !isFullScreen();
  if (shrink) {
    savedGeometry_ = geometry();
    listSideShown_.clear();
    for (QWidget* w : side) listSideShown_.append(w->isVisible());
    lift_ = frame2_->y() - list_->frame()->y();
    list_->frame()->setEnabled(false);
    list_->frame()->hide();
    for (QWidget* w : side) w->hide();
    if (!sized) return;
    resize(width(), std::max(minimumHeight(), height() - lift_));
    // A quarter of the way down the screen, if all of it fits there.
    if (const QScreen* s = screen()) {
      const QRect room = s->availableGeometry();
      const int frameHeight = frameGeometry().height() - geometry().height();
      const int top = std::min(room.top() + s->geometry().height() / 4, room.bottom() + 1 - height() - frameHeight);
      move(x(), std::max(room.top(), top));
    }
    return;
  }
  if (sized) setGeometry(savedGeometry_);
  for (int i = 0; i < side.size() && i < listSideShown_.size(); ++i) side[i]->setVisible(listSideShown_[i]);
  list_->frame()->show();
  list_->frame()->setEnabled(true);
}

void frmMain::StartAdding(bool rightButton) {
  if (mode_ != Mode::Viewing) return;
  template_ = rightButton && !form_->fieldText(1).trimmed().isEmpty();
  form_->BeginAdding(template_);
  mode_ = Mode::Adding;
  entriesChanged_ = false;
  ShrinkToTheForm(true);
  RefreshCommandState();
  // The caret waits in the case number, whichever tab was showing.
  form_->show();
  form_->FocusField(1);
}

void frmMain::cmdAddSave_Click() {
  if (!form_->CheckEntries()) return;
  auto saved = reports::AddReport(Author(), form_->Texts(), form_->pictures().ForSave());
  if (!saved.ok()) {
    ShowNotice(session_, this, QStringLiteral("Report Not Saved"),
               Q(saved.message()) + QStringLiteral("\n\nYour entries are still in the form."), kIconError);
    return;
  }
  ShowLogProblem(session_, this, saved->logged);
  EndAdding(form_->fieldText(1));
}

void frmMain::EndAdding(const QString& savedCase) {
  auto pause = session_.PauseChangeWatch();
  const bool saved = !savedCase.isNull();
  mode_ = Mode::Viewing;
  template_ = false;
  flags_ = {true, false, false};
  form_->EndWriting();
  command(Command::AddSave)->hide();
  command(Command::AddCancel)->hide();
  QApplication::processEvents();
  ShrinkToTheForm(false);
  QApplication::processEvents();
  if (saved) {
    BuildReportList();
    // The new report: the first row with its case number.
    const auto& rows = list_->model().rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (Q(rows[i].caseNumber) == savedCase) {
        list_->SelectRow(static_cast<int>(i) + 1, static_cast<int>(i) + 1);
        break;
      }
    }
    form_->setCurrentIndex(0);
  }
  ShowSelectedReport();
  RefreshCommandState();
  GiveTheListTheKeyboard();
}

void frmMain::GiveTheListTheKeyboard() {
  // Writing is over: the keyboard goes back to the list, not to a locked field.
  if (grid()->isVisible() && grid()->isEnabled()) grid()->setFocus();
}

// Editing.

void frmMain::cmdEditEntry_Click() {
  if (!displayed_ || mode_ != Mode::Viewing) return;
  mode_ = Mode::Editing;
  entriesChanged_ = false;
  list_->frame()->setEnabled(false);
  QApplication::processEvents();
  form_->BeginEditing(*displayed_);
  // What the save compares with: a field left as it was keeps its stored bytes.
  textsAtEditStart_ = form_->Texts();
  RefreshCommandState();
  form_->FocusFirstFieldOfTab();
}

void frmMain::cmdEditSave_Click() {
  if (!form_->CheckEntries()) return;
  if (!displayed_) return;
  // Written where the report is now, found by the bytes it was shown with.
  const int listed = list_->selectedRecordNumber();
  auto saved = reports::SaveEdit(
      Author(), {listed, displayedBytes_, textsAtEditStart_, form_->Texts(), form_->pictures().ChangedForSave()});
  if (!saved.ok()) {
    ShowNotice(session_, this, QStringLiteral("Report Not Saved"),
               Q(saved.message()) + QStringLiteral("\n\nYour changes are still in the form."), kIconError);
    return;
  }
  const reports::EditedReport& written = saved->edited;
  if (!written.written) {
    EditRefused(written.recordNumber);
    return;
  }
  ShowLogProblem(session_, this, saved->logged);
  if (written.recordNumber != listed) {
    // Reports before it were deleted elsewhere: the list's numbers are old.
    mode_ = Mode::Viewing;
    form_->EndWriting();
    RebuildListAt(written.recordNumber);
    return;
  }
  EndEditing(true);
}

void frmMain::EditRefused(std::int32_t changedReportAt) {
  const QString caseNumber = Q(std::string(text::Trim(displayed_->CaseNumber)));
  const MessageRequest r{
      .caption = QStringLiteral("Report Changed Elsewhere"),
      .iconKind = kIconWarning,
      .message = QStringLiteral("Report ") + caseNumber +
                 QStringLiteral(" was deleted or changed on another workstation\n"
                                "while you were editing it, so your changes were not written over it.\n\n"
                                "Your text is still here: save it as a new report,\n"
                                "or keep writing and copy what you need."),
      .defaultButton = 2,
      .buttons = {QStringLiteral("&Save it as a new report"), QStringLiteral("&Keep writing")}};
  if (ShowMessage(session_, r, this).pressedButton == 1) {
    SaveEditAsNew();
    return;
  }
  // The list catches up with the other workstation; the form is untouched
  // and its save still looks for the report as it was read.
  RebuildListAt(changedReportAt);
  list_->frame()->setEnabled(false);
  form_->FocusField(form_->currentField());
}

void frmMain::SaveEditAsNew() {
  if (!form_->CheckEntries()) return;
  auto saved = reports::SaveEditAsNew(Author(), form_->Texts(), form_->pictures().ChangedForSave(), *displayed_);
  if (!saved.ok()) {
    ShowNotice(session_, this, QStringLiteral("Report Not Saved"),
               Q(saved.message()) + QStringLiteral("\n\nYour changes are still in the form."), kIconError);
    return;
  }
  ShowLogProblem(session_, this, saved->logged);
  mode_ = Mode::Viewing;
  form_->EndWriting();
  // The new report is on the full Active List.
  flags_ = {true, false, false};
  flasher_->Stop();
  list_->ChooseActiveList();
  RebuildListAt(saved->recordNumber);
}

void frmMain::RebuildListAt(std::int32_t recordNumber) {
  auto pause = session_.PauseChangeWatch();
  refreshWatch_->Reset();
  BuildReportList();
  const auto& rows = list_->model().rows();
  for (std::size_t i = 0; recordNumber > 0 && i < rows.size(); ++i) {
    if (rows[i].recordNumber == recordNumber) {
      list_->SelectRow(static_cast<int>(i) + 1, static_cast<int>(i) + 1);
      break;
    }
  }
  if (mode_ != Mode::Viewing) return;
  ShowSelectedReport();
  RefreshCommandState();
  QApplication::processEvents();
  list_->frame()->setEnabled(list_->rowCount() > 0);
  GiveTheListTheKeyboard();
}

void frmMain::EndEditing(bool saved) {
  mode_ = Mode::Viewing;
  form_->EndWriting();
  const int row = list_->currentRow();
  ShowSelectedReport();
  RefreshCommandState();
  QApplication::processEvents();
  list_->frame()->setEnabled(true);
  if (saved && displayed_ && row >= 1) list_->UpdateRow(row, *displayed_);
  GiveTheListTheKeyboard();
}

// Archive, restore, delete.

reports::ReportIdentity frmMain::ShownIdentity() const {
  return {list_->selectedRecordNumber(), displayed_->ControlNumber, displayed_->CaseNumber};
}

std::optional<reports::MoveResult> frmMain::MoveShownReport(std::uint8_t list, logs::LogAction logAction,
                                                            const QString& refused) {
  auto moved = reports::MoveReport(session_.folder(), ShownIdentity(), list);
  if (!moved.ok()) {
    WriteRefused(moved.error(), refused);
    return std::nullopt;
  }
  LogRecordChange(session_, this, logAction, moved->report);
  return *moved;
}

void frmMain::cmdArchiveEntry_Click() {
  if (!displayed_) return;
  if (!AskUnlessSkipped(
          session_, this, skipArchiveQuestion_,
          {.caption = QStringLiteral("Archive Option"),
           .iconKind = kIconQuestion,
           .message = QStringLiteral("This action will archive this report, moving it\nto the 'Inactive List' "
                                     "without deleting it.\n\nDo you wish to proceed?"),
           .showCheckBox = true,
           .buttons = {QStringLiteral("&Yes") + QStringLiteral(", archive to the 'Inactive List'"),
                       QStringLiteral("&Cancel, don't do anything")}})) {
    return;
  }
  if (MoveShownReport(reports::kInactiveList, logs::kArchived, QStringLiteral("Report Not Archived"))) RefreshAll();
}

void frmMain::cmdRestoreEntry_Click() {
  if (!displayed_) return;
  if (!AskUnlessSkipped(
          session_, this, skipRestoreQuestion_,
          {.caption = QStringLiteral("Confirm Restoration"),
           .iconKind = kIconQuestion,
           .message = QStringLiteral("Are you SURE you want to \nrestore this archived report\nto the 'Active "
                                     "List' of reports?"),
           .showCheckBox = true,
           .buttons = {QStringLiteral("&Yes") + QStringLiteral(", restore this report"),
                       QStringLiteral("&No") + QStringLiteral(", cancel this operation")}})) {
    return;
  }
  const auto moved = MoveShownReport(reports::kActiveList, logs::kRestored, QStringLiteral("Report Not Restored"));
  if (!moved) return;
  if (!moved->counts) {
    // Restored all the same; the list is rebuilt from what can be read.
    ShowNotice(
        session_, this, QStringLiteral("Lists Not Counted"),
        QStringLiteral("The report was restored, but the lists could not be counted:\n\n") + Q(moved->countError),
        kIconWarning);
  } else {
    counts_ = *moved->counts;
  }
  if (!moved->counts || counts_.InactiveCount > 0) {
    RefreshAll();
  } else {
    InactiveListEmpty();
  }
}

void frmMain::cmdDeleteEntry_Click() {
  if (!displayed_) return;
  const MessageRequest question{
      .caption = QStringLiteral("Confirm Entry Deletion"),
      .iconKind = kIconQuestion,
      .message = QStringLiteral("Are you SURE you want to permanently delete\nthis report from the ") +
                 session_.applicationTitle() + QStringLiteral(" database?"),
      .defaultButton = 2,
      .buttons = {QStringLiteral("&Yes") + QStringLiteral(", delete this report"),
                  QStringLiteral("&No") + QStringLiteral(", do not delete this report")}};
  if (ShowMessage(session_, question, this).pressedButton != 1) return;
  auto pause = session_.PauseChangeWatch();
  auto busy = std::make_unique<BusyWindow>(this);
  savedGridRow_ = list_->currentRow();
  savedGridTopRow_ = list_->topRow();
  const std::string user = session_.signIn.CurrentUserName;
  auto left = reports::DeleteReport(
      session_.folder(), ShownIdentity(), [&](const reports::ReportRecord& report, logs::LogAction action) {
        return logs::LogRecordChange(session_.folder(), session_.clock().Now(), action, report, user);
      });
  busy.reset();
  QApplication::processEvents();
  if (!left.ok()) {
    savedGridRow_ = savedGridTopRow_ = 0;
    WriteRefused(left.error(), QStringLiteral("Report Not Deleted"));
    return;
  }
  counts_ = *left;
  if (list_->display() == reports::DisplayList::Inactive && counts_.InactiveCount == 0) {
    InactiveListEmpty();
  } else {
    RefreshAll();
  }
}

}  // namespace kestrova::gui
