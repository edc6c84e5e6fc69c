// The main window's commands that write reports: adding, editing,
// archiving, restoring, deleting, and the picture slots.

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>

#include "core/logs/activity_log.h"
#include "core/reports/report_actions.h"
#include "core/reports/report_entry.h"
#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "core/time/date_format.h"
#include "core/time/date_parse.h"
#include "gui/logs/activity_logs.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/session.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString Lines(const std::vector<std::string>& lines) {
  QStringList out;
  for (const auto& l : lines) out << Q(l);
  return out.join(QLatin1Char('\n'));
}

}  // namespace

QList<QWidget*> frmMain::ListSide() const {
  return {frameDisplay_, frameSort_, frameShow_, command(QStringLiteral("cmdRefreshGrid")),
          command(QStringLiteral("cmdNetworkInfo"))};
}

void frmMain::SaveButtonRule() {
  if (!AddMode && !EditMode) return;
  // An edit can be saved once something changed, a new report at once;
  // both only with the four mandatory fields filled.
  command(AddMode ? QStringLiteral("cmdAddSave") : QStringLiteral("cmdEditSave"))
      ->setEnabled((AddMode || entriesChanged_) && reports::SaveAllowed(form_->Texts()));
}

bool frmMain::CheckEntries() {
  reports::FieldTexts46 texts = form_->Texts();
  reports::EntryCheck check = reports::GoodData(texts, session_.clock().Now().year);
  // Trimmed texts and "0" for empty values go back into the form either way.
  form_->SetTexts(texts);
  // Nothing is saved that the data file would change: a character it cannot
  // hold would come back as "?".
  if (check.ok) check = reports::StorableText(texts);
  if (check.ok) return true;
  QApplication::processEvents();
  MessageRequest r;
  r.caption = Q(check.caption);
  r.iconKind = kIconError;
  r.message = Lines(check.lines);
  r.defaultButton = 1;
  r.buttons = {QStringLiteral("&Okay")};
  ShowMessage(session_, r, this);
  form_->setCurrentIndex(check.tab);
  form_->setCurrentField(check.field);
  form_->FocusField(check.field);
  return false;
}

bool frmMain::IsMovedElsewhere(const Error& error) {
  return error.kind == Error::Kind::Conflict || error.kind == Error::Kind::NotFound;
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
  if (EditMode) {
    EditMode = false;
    form_->setEditing(false);
    form_->MarkMandatory(false);
    frame1_->setEnabled(true);
    storedPicturePaths_ = {};
  }
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

// Adding.

void frmMain::StartAdding(bool rightButton) {
  if (AddMode || EditMode) return;
  TemplateMode = rightButton && !form_->fieldText(1).trimmed().isEmpty();
  form_->UnlockForAdding(TemplateMode);
  form_->setEditing(true);
  AddMode = true;
  entriesChanged_ = false;
  // The window shrinks to the form.
  savedGeometry_ = geometry();
  savedFormTop_ = frame2_->y();
  savedRow1Top_ = commandRow1_->y();
  savedRow2Top_ = commandRow2_->y();
  listSideShown_.clear();
  for (QWidget* w : ListSide()) listSideShown_.append(w->isVisible());
  const int lift = frame2_->y() - frame1_->y();
  frame1_->setEnabled(false);
  frame1_->hide();
  for (QWidget* w : {static_cast<QWidget*>(frame2_), commandRow1_, commandRow2_}) w->move(w->x(), w->y() - lift);
  resize(width(), height() - lift);
  if (const QScreen* s = screen()) move(x(), s->availableGeometry().top() + s->geometry().height() / 4);
  form_->ShowControlNumber(false);
  // Pictures are never taken over from a template.
  for (int slot = 1; slot <= 3; ++slot) {
    form_->ClearPicture(slot);
    form_->pictureCaption(slot)->setText(QStringLiteral("No\npicture"));
    form_->pictureCaption(slot)->show();
  }
  RefreshCommandState();
  // The caret waits in the case number, whichever tab was showing.
  form_->show();
  form_->FocusField(1);
}

void frmMain::cmdAddSave_Click() {
  if (!CheckEntries()) {
    form_->FocusField(form_->currentField());
    return;
  }
  const time::DateTime now = session_.clock().Now();
  reports::ReportRecord r;
  r.ControlNumber = time::ToOleDate(now);
  reports::FillFromFields(form_->Texts(), now.year, r);
  r.Picture1 = form_->picturePaths()[0].toStdString();
  r.Picture2 = form_->picturePaths()[1].toStdString();
  r.Picture3 = form_->picturePaths()[2].toStdString();
  r.ListStatus = reports::kActiveList;
  r.ProgramVersion = reports::CurrentProgramVersion();
  OwnChangeFlag = true;
  // Appended under the folder's lock at the end of the file as it is now.
  auto n = reports::AppendReport(session_.dataFolder(), r);
  if (!n.ok()) {
    ShowNotice(session_, this, QStringLiteral("Report Not Saved"),
               Q(n.message()) + QStringLiteral("\n\nYour entries are still in the form."), kIconError);
    return;
  }
  LogRecordChange(session_, this, logs::kAdded, r);
  EndAdding(form_->fieldText(1));
}

void frmMain::cmdAddCancel_Click() { EndAdding(QString()); }

void frmMain::EndAdding(const QString& savedCase) {
  const bool saved = !savedCase.isNull();
  AddMode = false;
  TemplateMode = false;
  FullListShown = true;
  form_->setEditing(false);
  form_->MarkMandatory(false);
  form_->ShowControlNumber(true);
  command(QStringLiteral("cmdAddSave"))->hide();
  command(QStringLiteral("cmdAddCancel"))->hide();
  const QList<QWidget*> side = ListSide();
  for (int i = 0; i < side.size() && i < listSideShown_.size(); ++i) side[i]->setVisible(listSideShown_[i]);
  QApplication::processEvents();
  setGeometry(savedGeometry_);
  frame2_->move(frame2_->x(), savedFormTop_);
  commandRow1_->move(commandRow1_->x(), savedRow1Top_);
  commandRow2_->move(commandRow2_->x(), savedRow2Top_);
  frame1_->show();
  frame1_->setEnabled(true);
  QApplication::processEvents();
  if (saved) {
    BuildReportList();
    // The new report: the first row with its case number.
    const auto& rows = model_->rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (Q(rows[i].caseNumber) == savedCase) {
        SelectRow(static_cast<int>(i) + 1, static_cast<int>(i) + 1);
        break;
      }
    }
    form_->setCurrentIndex(0);
  }
  ShowSelectedReport();
  RefreshCommandState();
}

// Editing.

void frmMain::cmdEditEntry_Click() {
  if (!displayed_ || AddMode || EditMode) return;
  EditMode = true;
  entriesChanged_ = false;
  frame1_->setEnabled(false);
  QApplication::processEvents();
  const std::string stored[] = {displayed_->Picture1, displayed_->Picture2, displayed_->Picture3};
  for (std::size_t i = 0; i < 3; ++i) storedPicturePaths_[i] = Q(std::string(text::Trim(stored[i])));
  form_->UnlockForEditing();
  form_->setEditing(true);
  // What the save compares with: a field left as it was keeps its stored bytes.
  textsAtEditStart_ = form_->Texts();
  RefreshCommandState();
  // The tab on display puts the caret in its first field.
  const int tab = form_->currentIndex();
  constexpr int kFirst[] = {1, 6, 14, 23, 32, -1, 44};
  if (tab >= 0 && tab < 7 && kFirst[tab] > 0) form_->FocusField(kFirst[tab]);
}

void frmMain::cmdEditSave_Click() {
  if (!CheckEntries()) {
    form_->FocusField(form_->currentField());
    return;
  }
  if (!displayed_) return;
  const reports::FieldTexts46 texts = form_->Texts();
  const int year = session_.clock().Now().year;
  const reports::ReportIdentity id{selectedRecordNumber(), displayed_->ControlNumber, displayed_->CaseNumber};
  const std::array<QString, 3> paths = form_->picturePaths();
  OwnChangeFlag = true;
  const reports::FieldTexts46 before = textsAtEditStart_;
  auto written = reports::ChangeReport(session_.dataFolder(), id, [&](reports::ReportRecord& r) {
    reports::FillChangedFields(before, texts, year, r);
    std::string* members[] = {&r.Picture1, &r.Picture2, &r.Picture3};
    for (std::size_t i = 0; i < 3; ++i) {
      // A picture that failed to load, or a change abandoned, keeps its name.
      *members[i] = (!paths[i].isEmpty() ? paths[i] : storedPicturePaths_[i]).toStdString();
    }
  });
  if (!written.ok()) {
    if (IsMovedElsewhere(written.error())) {
      ReportMovedElsewhere(written.error());
    } else {
      ShowNotice(session_, this, QStringLiteral("Report Not Saved"),
                 Q(written.message()) + QStringLiteral("\n\nYour changes are still in the form."), kIconError);
    }
    return;
  }
  LogRecordChange(session_, this, logs::kEdited, *written);
  EndEditing(true);
}

void frmMain::cmdEditCancel_Click() { EndEditing(false); }

void frmMain::EndEditing(bool saved) {
  EditMode = false;
  form_->setEditing(false);
  form_->MarkMandatory(false);
  const int row = currentRow();
  ShowSelectedReport();
  RefreshCommandState();
  QApplication::processEvents();
  frame1_->setEnabled(true);
  if (saved && displayed_ && row >= 1) {
    // The row is brought up to date where it stands, without re-sorting.
    reports::ListRow updated = model_->rows()[static_cast<std::size_t>(row - 1)];
    updated.caseNumber = form_->fieldText(1).toStdString();
    updated.dateEntered = time::FormatOleDate(displayed_->DateEntered, time::kDateFormat).value_or("");
    updated.rightColumn = (showOption_ == 1 ? form_->fieldText(2) : form_->fieldText(3)).toStdString();
    model_->UpdateRow(row - 1, updated);
  }
  storedPicturePaths_ = {};
}

// Archive, restore, delete.

void frmMain::cmdArchiveEntry_Click() {
  if (!displayed_) return;
  if (!SkipArchiveQuestion) {
    MessageRequest r;
    r.caption = QStringLiteral("Archive Option");
    r.iconKind = kIconQuestion;
    r.message = QStringLiteral(
        "This action will archive this report, moving it\nto the 'Inactive List' without deleting it.\n\n"
        "Do you wish to proceed?");
    r.buttons = {QStringLiteral("&Yes") + QStringLiteral(", archive to the 'Inactive List'"),
                 QStringLiteral("&Cancel, don't do anything")};
    r.defaultButton = 1;
    r.showCheckBox = true;
    const MessageResult answer = ShowMessage(session_, r, this);
    SkipArchiveQuestion = answer.dontAskAgain;
    if (answer.pressedButton != 1) return;
  }
  OwnChangeFlag = true;
  auto moved = reports::MoveReport(session_.dataFolder(),
                                   {selectedRecordNumber(), displayed_->ControlNumber, displayed_->CaseNumber},
                                   reports::kInactiveList);
  if (!moved.ok()) {
    WriteRefused(moved.error(), QStringLiteral("Report Not Archived"));
    return;
  }
  LogRecordChange(session_, this, logs::kArchived, moved->report);
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

void frmMain::cmdRestoreEntry_Click() {
  if (!displayed_) return;
  if (!SkipRestoreQuestion) {
    MessageRequest r;
    r.caption = QStringLiteral("Confirm Restoration");
    r.iconKind = kIconQuestion;
    r.message = QStringLiteral("Are you SURE you want to \nrestore this archived report\nto the 'Active List' of reports?");
    r.buttons = {QStringLiteral("&Yes") + QStringLiteral(", restore this report"),
                 QStringLiteral("&No") + QStringLiteral(", cancel this operation")};
    r.defaultButton = 1;
    r.showCheckBox = true;
    const MessageResult answer = ShowMessage(session_, r, this);
    SkipRestoreQuestion = answer.dontAskAgain;
    if (answer.pressedButton != 1) return;
  }
  OwnChangeFlag = true;
  auto moved = reports::MoveReport(session_.dataFolder(),
                                   {selectedRecordNumber(), displayed_->ControlNumber, displayed_->CaseNumber},
                                   reports::kActiveList);
  if (!moved.ok()) {
    WriteRefused(moved.error(), QStringLiteral("Report Not Restored"));
    return;
  }
  LogRecordChange(session_, this, logs::kRestored, moved->report);
  if (!moved->counts) {
    // Restored all the same; the list is rebuilt from what can be read.
    ShowNotice(session_, this, QStringLiteral("Lists Not Counted"),
               QStringLiteral("The report was restored, but the lists could not be counted:\n\n") +
                   Q(moved->countError),
               kIconWarning);
  } else {
    counts_ = *moved->counts;
  }
  if (!moved->counts || counts_.InactiveCount > 0) {
    BuildReportList();
    ShowSelectedReport();
    RefreshCommandState();
  } else {
    InactiveListEmpty();
  }
}

void frmMain::cmdDeleteEntry_Click() {
  if (!displayed_) return;
  MessageRequest r;
  r.caption = QStringLiteral("Confirm Entry Deletion");
  r.iconKind = kIconQuestion;
  r.message = QStringLiteral("Are you SURE you want to permanently delete\nthis report from the ") +
              session_.applicationTitle() + QStringLiteral(" database?");
  r.buttons = {QStringLiteral("&Yes") + QStringLiteral(", delete this report"),
               QStringLiteral("&No") + QStringLiteral(", do not delete this report")};
  r.defaultButton = 2;
  if (ShowMessage(session_, r, this).pressedButton != 1) return;
  setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SavedGridRow = currentRow();
  SavedGridTopRow = topRow();
  OwnChangeFlag = true;
  const std::string user = session_.signIn.CurrentUserName;
  auto left = reports::DeleteReport(
      session_.dataFolder(), {selectedRecordNumber(), displayed_->ControlNumber, displayed_->CaseNumber},
      [&](const reports::ReportRecord& report) {
        return logs::LogRecordChange(session_.dataFolder(), session_.clock().Now(), logs::kDeleted, report, user);
      });
  QApplication::restoreOverrideCursor();
  setEnabled(true);
  QApplication::processEvents();
  if (!left.ok()) {
    SavedGridRow = SavedGridTopRow = 0;
    WriteRefused(left.error(), QStringLiteral("Report Not Deleted"));
    return;
  }
  counts_ = *left;
  if (Display() == reports::DisplayList::Inactive && counts_.InactiveCount == 0) {
    InactiveListEmpty();
  } else {
    BuildReportList();
    ShowSelectedReport();
    RefreshCommandState();
  }
}

void frmMain::InactiveListEmpty() {
  frame1_->hide();
  frame2_->hide();
  MessageRequest r;
  r.caption = QStringLiteral("'Inactive List' Empty");
  r.iconKind = kIconInformation;
  r.message = QStringLiteral("The 'Inactive List' of archived entries\nis now empty.");
  r.buttons = {QStringLiteral("&Return to the 'Active List'")};
  r.defaultButton = 1;
  ShowMessage(session_, r, this);
  frame1_->show();
  frame2_->show();
  // The Active List comes back on the row a delete saved, if any.
  optDisplay_[1]->setChecked(true);
  optDisplay_Click(1);
}

// Pictures.

void frmMain::cmdAddEditPic_Click(int slot) {
  if (!AddMode && !EditMode) return;
  const auto path = session_.filePicker().OpenPicture(this);
  if (!path) {
    form_->SetPicturePath(slot, QString());
    return;
  }
  // The report keeps the picture's full path: one it cannot store exactly
  // would name another file, or none, when read back.
  const std::string bytes = text::Utf8ToWin1252(path->toStdString());
  const std::string bad = text::UnstorableCharacters(path->toStdString());
  if (!bad.empty() || bytes.size() > reports::kPicturePathWidth) {
    ShowNotice(session_, this, QStringLiteral("Picture Not Taken"),
               QStringLiteral("The folder and file name of this picture\ncannot be kept in a report:\n\n") + *path +
                   QStringLiteral("\n\n") +
                   (!bad.empty() ? QStringLiteral("It holds characters that cannot be stored: ") + Q(bad)
                                 : QStringLiteral("It is longer than the %1 characters a report keeps for it.")
                                       .arg(reports::kPicturePathWidth)) +
                   QStringLiteral("\n\nPlease copy the picture to a folder with a shorter, plain name."),
               kIconWarning);
    return;
  }
  form_->pictureCaption(slot)->hide();
  if (!form_->LoadPicture(slot, *path)) {
    QApplication::processEvents();
    MessageRequest r;
    r.caption = QStringLiteral("File Access Error");
    r.iconKind = kIconError;
    r.message = QStringLiteral("There is some kind of problem in\ntrying to access that picture file.");
    r.defaultButton = 1;
    r.buttons = {QStringLiteral("&Okay")};
    ShowMessage(session_, r, this);
    return;
  }
  entriesChanged_ = true;
  RefreshCommandState();
}

void frmMain::cmdDeletePic_Click(int slot) {
  if (!AddMode && !EditMode) return;
  MessageRequest r;
  r.caption = QStringLiteral("Confirm picture deletion");
  r.iconKind = kIconQuestion;
  r.defaultButton = 2;
  r.message = QStringLiteral("Are you SURE that you want\nto delete this picture?");
  r.buttons = {QStringLiteral("&Yes") + QStringLiteral(", delete"), QStringLiteral("&No") + QStringLiteral(", don't delete")};
  if (ShowMessage(session_, r, this).pressedButton != 1) return;
  form_->ClearPicture(slot);
  if (EditMode) storedPicturePaths_[static_cast<std::size_t>(slot - 1)].clear();
  entriesChanged_ = true;
  RefreshCommandState();
}

}  // namespace kestrova::gui
