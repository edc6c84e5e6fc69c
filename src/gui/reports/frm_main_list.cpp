// The main window's list, its search and its commands' state.

#include <QApplication>
#include <QGroupBox>

#include "core/reports/command_state.h"
#include "core/reports/report_actions.h"
#include "gui/logs/activity_logs.h"
#include "gui/reports/command_bar.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/picture_slots.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/session.h"
#include "gui/ui/busy_window.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/message_dialog.h"
#include "gui/ui/zel_button.h"
#include "gui/window_flow.h"

namespace kestrova::gui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void frmMain::RefreshAll() {
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

void frmMain::BuildReportList() {
  list_->BeginRebuild();
  QApplication::processEvents();
  auto busy = std::make_unique<BusyWindow>(this);
  reports::ListRequest request;
  request.display = list_->display();
  request.sort = list_->sortOption() == 2 ? reports::SortOption::Entered : reports::SortOption::CaseNumber;
  request.show = list_->showOption() == 2 ? reports::ShowOption::Violations : reports::ShowOption::Remarks;
  request.flags = flags_;
  request.criteria = session_.searchCriteria;
  request.summaryCaption = findTag_.toStdString();
  auto list = reports::BuildReportList(session_.dataFolder(), request, heads_);
  if (!list.ok()) {
    busy.reset();
    ShowNotice(session_, this, QStringLiteral("Data File Problem"), Q(list.message()), kIconError);
    busy = std::make_unique<BusyWindow>(this);
    list = reports::ReportList{};
  }
  counts_ = list->counts;
  list_->ShowRows(std::move(list->rows), Q(list->rightColumnHeading));
  const int rows = list_->rowCount();

  bool noMatches = false;
  if (flags_.FullListShown && rows >= 1) {
    list_->setCaption(Q(list->caption));
    const reports::GridPosition p = reports::FullListPosition(rows, savedGridRow_, savedGridTopRow_);
    list_->SelectRow(p.currentRow, p.topRow);
  }
  if (!flags_.FullListShown && list->searched) {
    if (rows >= 1) {
      // Every search that runs is logged, also one that finds nothing
      // (after its notice).
      LogSearch(session_, this, list->searchLogDescription);
      list_->setCaption(Q(list->caption));
      list_->SelectRow(1, 1);
      flasher_->Start(command(reports::Command::SeeAllEntries), 15, 15);
    } else {
      noMatches = true;
    }
    if (flags_.SummaryActive) findTag_.clear();
  }
  list_->EnableDisplayChoices(counts_);
  busy.reset();

  if (noMatches) {
    list_->frame()->hide();
    frame2_->hide();
    QStringList lines;
    for (const auto& line : list->noMatchLines) lines << Q(line);
    const int answer = ShowMessage(session_,
                                   {.caption = QStringLiteral("No Matches"),
                                    .iconKind = kIconInformation,
                                    .message = lines.join(QLatin1Char('\n')),
                                    .buttons = {QStringLiteral("&Okay"), QStringLiteral("&Try another search")}},
                                   this)
                           .pressedButton;
    LogSearch(session_, this, list->searchLogDescription);
    list_->frame()->show();
    frame2_->show();
    cmdSeeAllEntries_Click();
    if (answer == 2) cmdFindEntries_Click();
  }
}

void frmMain::ShowSelectedReport() {
  auto pause = session_.PauseChangeWatch();
  auto busy = std::make_unique<BusyWindow>(this);
  std::optional<reports::ReportRecord> report;
  std::string problem;
  if (const int n = list_->selectedRecordNumber(); n > 0) {
    // Read fresh from the file: another workstation may have changed it.
    auto read = reports::ReadStoredReport(session_.dataFolder(), n);
    if (read.ok()) {
      report = read->report;
      displayedBytes_ = read->bytes;
    } else {
      problem = read.message();
    }
  }
  displayed_ = report;
  form_->ShowReport(report);
  busy.reset();
  if (!problem.empty()) ShowNotice(session_, this, QStringLiteral("Report Not Shown"), Q(problem), kIconError);
}

void frmMain::RefreshCommandState() {
  reports::MainWindowState s;
  s.FullListShown = flags_.FullListShown;
  s.PhraseSearchActive = flags_.PhraseSearchActive;
  s.SummaryActive = flags_.SummaryActive;
  s.AddMode = adding();
  s.EditMode = editing();
  s.InactiveListShown = list_->display() == reports::DisplayList::Inactive;
  s.selectedRow = list_->currentRow();
  s.rowCount = list_->rowCount() + 1;
  s.accessLevel = session_.signIn.CurrentAccessLevel;
  for (std::size_t i = 0; i < 3; ++i) s.picturePaths[i] = form_->picturePaths()[i].toStdString();
  commands_->Apply(reports::CommandState(s, session_.applicationTitle().toStdString()));
  form_->pictures().ApplyButtons(s);
  // While a report is written the list options cannot change the list;
  // while adding they are out of sight with the list.
  list_->HoldStill(mode_ != Mode::Viewing);
  if (adding()) {
    for (QWidget* w : ListSide()) w->hide();
  }
  if (mode_ != Mode::Viewing) SaveButtonRule();
  frame2_->setVisible(true);
  form_->setVisible(s.selectedRow > 0 || adding());
}

void frmMain::cmdSeeAllEntries_Click() {
  flasher_->Stop();
  QApplication::processEvents();
  flags_ = {true, false, false};
  RefreshAll();
  // The command clicked is hidden now; the keyboard goes to the list.
  GiveTheListTheKeyboard();
}

void frmMain::cmdFindEntries_Click() {
  const search::FindDialogOutcome outcome = session_.flow().AskForSearch(this);
  if (!outcome.summaryCaption.empty()) findTag_ = Q(outcome.summaryCaption);
  switch (search::StartAfterDialog(session_.searchCriteria)) {
    case search::SearchStart::Phrase: flags_.PhraseSearchActive = true; break;
    case search::SearchStart::Summary: flags_.SummaryActive = true; break;
    case search::SearchStart::None: return;
  }
  flags_.FullListShown = false;
  savedGridRow_ = list_->currentRow();
  savedGridTopRow_ = list_->topRow();
  BuildReportList();
  if (!flags_.FullListShown) {
    ShowSelectedReport();
    RefreshCommandState();
    GiveTheListTheKeyboard();
  }
}

void frmMain::optDisplay_Click(int) { RefreshAll(); }

void frmMain::optSort_Click(int index) {
  if (!activated_) return;
  session_.settings().Write(QStringLiteral("SortOption"), QString::number(index));
  RefreshAll();
}

void frmMain::optShow_Click(int index) {
  if (!activated_) return;
  session_.settings().Write(QStringLiteral("ShowOption"), QString::number(index));
  RefreshAll();
}

void frmMain::InactiveListEmpty() {
  list_->frame()->hide();
  frame2_->hide();
  ShowMessage(session_,
              {.caption = QStringLiteral("'Inactive List' Empty"),
               .iconKind = kIconInformation,
               .message = QStringLiteral("The 'Inactive List' of archived entries\nis now empty."),
               .buttons = {QStringLiteral("&Return to the 'Active List'")}},
              this);
  list_->frame()->show();
  frame2_->show();
  // The Active List comes back on the row a delete saved, if any.
  list_->ChooseActiveList();
  optDisplay_Click(1);
}

}  // namespace kestrova::gui
