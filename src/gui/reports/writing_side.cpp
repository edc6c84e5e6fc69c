#include "gui/reports/writing_side.h"

#include <QApplication>
#include <QGroupBox>

#include "core/text/fixed_text.h"
#include "gui/reports/browsing_side.h"
#include "gui/reports/picture_slots.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/session/activity_logs.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

using reports::Command;

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

WritingSide::WritingSide(const MainWindowParts& parts, BrowsingSide& browsing)
    : QObject(parts.window), parts_(parts), browsing_(browsing) {
  // Adding starts on the release of a mouse button over the command: the
  // right button starts a template entry. Enter and the space bar start an
  // ordinary one.
  ZelButton* add = parts_.command(Command::AddEntry);
  connect(add, &ZelButton::Click, this, [this] { StartAdding(false); });
  connect(add, &ZelButton::MouseUp, this, [this, add](int button, int, int x, int y) {
    if (button == ZelButton::kRightButton && add->rect().contains(x, y)) StartAdding(true);
  });
  connect(parts_.command(Command::AddSave), &ZelButton::Click, this, &WritingSide::cmdAddSave_Click);
  connect(parts_.command(Command::AddCancel), &ZelButton::Click, this, [this] { EndAdding(QString()); });
  connect(parts_.command(Command::EditEntry), &ZelButton::Click, this, &WritingSide::cmdEditEntry_Click);
  connect(parts_.command(Command::EditSave), &ZelButton::Click, this, &WritingSide::cmdEditSave_Click);
  connect(parts_.command(Command::EditCancel), &ZelButton::Click, this, [this] { EndEditing(false); });
  ReportForm* form = parts_.form;
  connect(form, &ReportForm::FieldChanged, this, [this] {
    entriesChanged_ = true;
    SaveButtonRule();
  });
  connect(&form->pictures(), &PictureSlots::Changed, this, [this] {
    entriesChanged_ = true;
    emit CommandsStale();
  });
  // The keyboard leaves the fields for the commands of the mode.
  connect(form, &ReportForm::TabbedPastLastField, this, [this] {
    ZelButton* save = parts_.command(adding() ? Command::AddSave : Command::EditSave);
    (save->isEnabled() ? save : parts_.command(adding() ? Command::AddCancel : Command::EditCancel))
        ->setFocus(Qt::TabFocusReason);
  });
  connect(form, &ReportForm::TabbedBeforeFirstField, this, [this] {
    parts_.command(adding() ? Command::AddCancel : Command::EditCancel)->setFocus(Qt::BacktabFocusReason);
  });
}

void WritingSide::SetMode(Mode mode) {
  mode_ = mode;
  browsing_.SetWriting(mode != Mode::Viewing);
}

reports::Author WritingSide::Author() const {
  return {parts_.session.folder(), parts_.session.clock(), parts_.session.signIn.CurrentUserName};
}

void WritingSide::SaveButtonRule() {
  if (mode_ == Mode::Viewing) return;
  parts_.command(adding() ? Command::AddSave : Command::EditSave)
      ->setEnabled((adding() || entriesChanged_) && reports::SaveAllowed(parts_.form->Texts()));
}

// Adding.

void WritingSide::StartAdding(bool rightButton) {
  if (mode_ != Mode::Viewing) return;
  ReportForm* form = parts_.form;
  template_ = rightButton && !form->fieldText(1).trimmed().isEmpty();
  form->BeginAdding(template_);
  SetMode(Mode::Adding);
  entriesChanged_ = false;
  emit FormAlone(true);
  emit CommandsStale();
  // The caret waits in the case number, whichever tab was showing.
  form->show();
  form->FocusField(1);
}

void WritingSide::cmdAddSave_Click() {
  ReportForm* form = parts_.form;
  if (!form->CheckEntries()) return;
  auto saved = reports::AddReport(Author(), form->Texts(), form->pictures().ForSave());
  if (!saved.ok()) {
    ShowNotice(parts_.session, parts_.window, QStringLiteral("Report Not Saved"),
               Q(saved.message()) + QStringLiteral("\n\nYour entries are still in the form."), kIconError);
    return;
  }
  ShowLogProblem(parts_.session, parts_.window, saved->logged);
  EndAdding(form->fieldText(1));
}

void WritingSide::EndAdding(const QString& savedCase) {
  auto pause = parts_.session.PauseChangeWatch();
  const bool saved = !savedCase.isNull();
  SetMode(Mode::Viewing);
  template_ = false;
  browsing_.ShowFullList();
  parts_.form->EndWriting();
  parts_.command(Command::AddSave)->hide();
  parts_.command(Command::AddCancel)->hide();
  QApplication::processEvents();
  emit FormAlone(false);
  QApplication::processEvents();
  if (saved) {
    browsing_.BuildReportList();
    // The new report: the first row with its case number.
    const auto& rows = parts_.list->model().rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (Q(rows[i].caseNumber) == savedCase) {
        parts_.list->SelectRow(static_cast<int>(i) + 1, static_cast<int>(i) + 1);
        break;
      }
    }
    parts_.form->setCurrentIndex(0);
  }
  browsing_.ShowSelectedReport();
  emit CommandsStale();
  browsing_.GiveTheListTheKeyboard();
}

// Editing.

void WritingSide::cmdEditEntry_Click() {
  if (!browsing_.displayed() || mode_ != Mode::Viewing) return;
  SetMode(Mode::Editing);
  entriesChanged_ = false;
  parts_.list->frame()->setEnabled(false);
  QApplication::processEvents();
  parts_.form->BeginEditing(*browsing_.displayed());
  // What the save compares with: a field left as it was keeps its stored bytes.
  textsAtEditStart_ = parts_.form->Texts();
  emit CommandsStale();
  parts_.form->FocusFirstFieldOfTab();
}

void WritingSide::cmdEditSave_Click() {
  ReportForm* form = parts_.form;
  if (!form->CheckEntries()) return;
  if (!browsing_.displayed()) return;
  // Written where the report is now, found by the bytes it was shown with.
  const int listed = parts_.list->selectedRecordNumber();
  auto saved = reports::SaveEdit(Author(), {listed, browsing_.displayedBytes(), textsAtEditStart_, form->Texts(),
                                            form->pictures().ChangedForSave()});
  if (!saved.ok()) {
    ShowNotice(parts_.session, parts_.window, QStringLiteral("Report Not Saved"),
               Q(saved.message()) + QStringLiteral("\n\nYour changes are still in the form."), kIconError);
    return;
  }
  const reports::EditedReport& written = saved->edited;
  if (!written.written) {
    EditRefused(written.recordNumber);
    return;
  }
  ShowLogProblem(parts_.session, parts_.window, saved->logged);
  if (written.recordNumber != listed) {
    // Reports before it were deleted elsewhere: the list's numbers are old.
    SetMode(Mode::Viewing);
    form->EndWriting();
    browsing_.RebuildListAt(written.recordNumber);
    return;
  }
  EndEditing(true);
}

void WritingSide::EditRefused(std::int32_t changedReportAt) {
  const QString caseNumber = Q(std::string(text::Trim(browsing_.displayed()->CaseNumber)));
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
  if (ShowMessage(parts_.session, r, parts_.window).pressedButton == 1) {
    SaveEditAsNew();
    return;
  }
  // The list catches up with the other workstation; the form is untouched
  // and its save still looks for the report as it was read.
  browsing_.RebuildListAt(changedReportAt);
  parts_.list->frame()->setEnabled(false);
  parts_.form->FocusField(parts_.form->currentField());
}

void WritingSide::SaveEditAsNew() {
  ReportForm* form = parts_.form;
  if (!form->CheckEntries()) return;
  auto saved =
      reports::SaveEditAsNew(Author(), form->Texts(), form->pictures().ChangedForSave(), *browsing_.displayed());
  if (!saved.ok()) {
    ShowNotice(parts_.session, parts_.window, QStringLiteral("Report Not Saved"),
               Q(saved.message()) + QStringLiteral("\n\nYour changes are still in the form."), kIconError);
    return;
  }
  ShowLogProblem(parts_.session, parts_.window, saved->logged);
  SetMode(Mode::Viewing);
  form->EndWriting();
  // The new report is on the full Active List.
  browsing_.ShowFullList();
  parts_.flasher->Stop();
  parts_.list->ChooseActiveList();
  browsing_.RebuildListAt(saved->recordNumber);
}

void WritingSide::EndEditing(bool saved) {
  SetMode(Mode::Viewing);
  parts_.form->EndWriting();
  const int row = parts_.list->currentRow();
  browsing_.ShowSelectedReport();
  emit CommandsStale();
  QApplication::processEvents();
  parts_.list->frame()->setEnabled(true);
  if (saved && browsing_.displayed() && row >= 1) parts_.list->UpdateRow(row, *browsing_.displayed());
  browsing_.GiveTheListTheKeyboard();
}

}  // namespace kestrova::gui
