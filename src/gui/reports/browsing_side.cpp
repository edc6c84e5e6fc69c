#include "gui/reports/browsing_side.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QTableView>

#include "gui/network/refresh_watch.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/search/frm_find.h"
#include "gui/session/activity_logs.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/busy_window.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

using reports::Command;

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

BrowsingSide::BrowsingSide(const MainWindowParts& parts) : QObject(parts.window), parts_(parts) {
  ReportListPanel* list = parts_.list;
  connect(parts_.command(Command::SeeAllEntries), &ZelButton::Click, this, &BrowsingSide::SeeAllEntries);
  connect(parts_.command(Command::FindEntries), &ZelButton::Click, this, &BrowsingSide::cmdFindEntries_Click);
  // The refresh button rests again and the list is rebuilt.
  connect(parts_.command(Command::RefreshGrid), &ZelButton::Click, this, [this] {
    parts_.refreshWatch->Reset();
    RefreshAll();
  });
  connect(list, &ReportListPanel::RowChanged, this, [this] {
    // While a report is written the list holds still.
    if (writing_) return;
    ShowSelectedReport();
    emit CommandsStale();
  });
  connect(list, &ReportListPanel::DisplayChosen, this, &BrowsingSide::optDisplay_Click);
  connect(list, &ReportListPanel::SortChosen, this, &BrowsingSide::optSort_Click);
  connect(list, &ReportListPanel::ShowChosen, this, &BrowsingSide::optShow_Click);
  // "Print this list..." opens its menu with a right click, or with the
  // menu key while it has the keyboard.
  ZelButton* printList = parts_.command(Command::PrintList);
  connect(printList, &ZelButton::MouseUp, this, [this, printList](int button, int, int x, int y) {
    if (button == ZelButton::kRightButton) ShowPrintListMenu(printList->mapToGlobal(QPoint(x, y)));
  });
  printList->installEventFilter(this);
}

bool BrowsingSide::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::ContextMenu && watched == parts_.command(Command::PrintList)) {
    const auto* menu = static_cast<QContextMenuEvent*>(e);
    if (menu->reason() == QContextMenuEvent::Keyboard) {
      auto* button = static_cast<QWidget*>(watched);
      ShowPrintListMenu(button->mapToGlobal(QPoint(0, button->height())));
    }
    return true;
  }
  return QObject::eventFilter(watched, e);
}

void BrowsingSide::ShowPrintListMenu(const QPoint& globalPos) {
  QMenu menu(parts_.window);
  menu.setObjectName(QStringLiteral("menuPrintList"));
  QAction* chart = menu.addAction(QStringLiteral("Chart this list..."));
  chart->setObjectName(QStringLiteral("mnuChartList"));
  menu.addSeparator();
  menu.addAction(QStringLiteral("Exit this menu"));
  if (menu.exec(globalPos) == chart) emit ChartRequested(ListShown());
}

ChartSubject BrowsingSide::ListShown() const {
  ChartSubject subject;
  subject.listName = parts_.list->caption().trimmed();
  subject.lists =
      parts_.list->display() == reports::DisplayList::Inactive ? stats::Lists::Inactive : stats::Lists::Active;
  // A search's or summary's rows, by record number; the full list as it
  // stands in the file.
  if (!flags_.FullListShown) {
    std::vector<std::int32_t> records;
    for (const auto& row : parts_.list->model().rows()) records.push_back(row.recordNumber);
    subject.records = std::move(records);
    subject.search = lastRequest_;
  }
  return subject;
}

reports::ReportIdentity BrowsingSide::ShownIdentity() const {
  return {parts_.list->selectedRecordNumber(), displayed_->ControlNumber, displayed_->CaseNumber};
}

void BrowsingSide::RememberGridPosition() {
  savedGridRow_ = parts_.list->currentRow();
  savedGridTopRow_ = parts_.list->topRow();
}

void BrowsingSide::ForgetGridPosition() { savedGridRow_ = savedGridTopRow_ = 0; }

void BrowsingSide::RefreshAll() {
  BuildReportList();
  ShowSelectedReport();
  emit CommandsStale();
}

void BrowsingSide::BuildReportList() {
  Session& session = parts_.session;
  ReportListPanel* list = parts_.list;
  list->BeginRebuild();
  QApplication::processEvents();
  auto busy = std::make_unique<BusyWindow>(parts_.window);
  reports::ListRequest request;
  request.display = list->display();
  request.sort = list->sortOption() == 2 ? reports::SortOption::Entered : reports::SortOption::CaseNumber;
  request.show = list->showOption() == 2 ? reports::ShowOption::Violations : reports::ShowOption::Remarks;
  request.flags = flags_;
  request.criteria = session.searchCriteria;
  request.summaryCaption = findTag_.toStdString();
  lastRequest_ = request;
  auto built = reports::BuildReportList(session.folder().path(), request, heads_);
  if (!built.ok()) {
    busy.reset();
    ShowNotice(session, parts_.window, QStringLiteral("Data File Problem"), Q(built.message()), kIconError);
    busy = std::make_unique<BusyWindow>(parts_.window);
    built = reports::ReportList{};
  }
  counts_ = built->counts;
  list->ShowRows(std::move(built->rows), Q(built->rightColumnHeading));
  const int rows = list->rowCount();

  bool noMatches = false;
  if (flags_.FullListShown && rows >= 1) {
    list->setCaption(Q(built->caption));
    const reports::GridPosition p = reports::FullListPosition(rows, savedGridRow_, savedGridTopRow_);
    list->SelectRow(p.currentRow, p.topRow);
  }
  if (!flags_.FullListShown && built->searched) {
    if (rows >= 1) {
      // Every search that runs is logged, also one that finds nothing
      // (after its notice).
      LogSearch(session, parts_.window, built->searchLogDescription);
      list->setCaption(Q(built->caption));
      list->SelectRow(1, 1);
      parts_.flasher->Start(parts_.command(Command::SeeAllEntries), 15, 15);
    } else {
      noMatches = true;
    }
    if (flags_.SummaryActive) findTag_.clear();
  }
  list->EnableDisplayChoices(counts_);
  busy.reset();

  if (noMatches) {
    list->frame()->hide();
    parts_.frame2->hide();
    QStringList lines;
    for (const auto& line : built->noMatchLines) lines << Q(line);
    const int answer = ShowMessage(session,
                                   {.caption = QStringLiteral("No Matches"),
                                    .iconKind = kIconInformation,
                                    .message = lines.join(QLatin1Char('\n')),
                                    .buttons = {QStringLiteral("&Okay"), QStringLiteral("&Try another search")}},
                                   parts_.window)
                           .pressedButton;
    LogSearch(session, parts_.window, built->searchLogDescription);
    list->frame()->show();
    parts_.frame2->show();
    SeeAllEntries();
    if (answer == 2) cmdFindEntries_Click();
  }
}

void BrowsingSide::ShowSelectedReport() {
  auto pause = parts_.session.PauseChangeWatch();
  auto busy = std::make_unique<BusyWindow>(parts_.window);
  std::optional<reports::ReportRecord> report;
  std::string problem;
  if (const int n = parts_.list->selectedRecordNumber(); n > 0) {
    // Read fresh from the file: another workstation may have changed it.
    auto read = reports::ReadStoredReport(parts_.session.folder(), n);
    if (read.ok()) {
      report = read->report;
      displayedBytes_ = read->bytes;
    } else {
      problem = read.message();
    }
  }
  displayed_ = report;
  parts_.form->ShowReport(report);
  busy.reset();
  if (!problem.empty()) {
    ShowNotice(parts_.session, parts_.window, QStringLiteral("Report Not Shown"), Q(problem), kIconError);
  }
}

void BrowsingSide::RebuildListAt(std::int32_t recordNumber) {
  auto pause = parts_.session.PauseChangeWatch();
  ReportListPanel* list = parts_.list;
  parts_.refreshWatch->Reset();
  BuildReportList();
  const auto& rows = list->model().rows();
  for (std::size_t i = 0; recordNumber > 0 && i < rows.size(); ++i) {
    if (rows[i].recordNumber == recordNumber) {
      list->SelectRow(static_cast<int>(i) + 1, static_cast<int>(i) + 1);
      break;
    }
  }
  if (writing_) return;
  ShowSelectedReport();
  emit CommandsStale();
  QApplication::processEvents();
  list->frame()->setEnabled(list->rowCount() > 0);
  GiveTheListTheKeyboard();
}

void BrowsingSide::GiveTheListTheKeyboard() {
  // Not to a locked field.
  QTableView* grid = parts_.list->grid();
  if (grid->isVisible() && grid->isEnabled()) grid->setFocus();
}

void BrowsingSide::SeeAllEntries() {
  parts_.flasher->Stop();
  QApplication::processEvents();
  ShowFullList();
  RefreshAll();
  // The command clicked is hidden now; the keyboard goes to the list.
  GiveTheListTheKeyboard();
}

void BrowsingSide::cmdFindEntries_Click() {
  // The search dialog only collects the choice; the list does the searching.
  frmFind find(parts_.session, parts_.window);
  find.exec();
  const search::FindDialogOutcome outcome = find.outcome();
  if (!outcome.summaryCaption.empty()) findTag_ = Q(outcome.summaryCaption);
  switch (search::StartAfterDialog(parts_.session.searchCriteria)) {
    case search::SearchStart::Phrase: flags_.PhraseSearchActive = true; break;
    case search::SearchStart::Summary: flags_.SummaryActive = true; break;
    case search::SearchStart::None: return;
  }
  flags_.FullListShown = false;
  RememberGridPosition();
  BuildReportList();
  if (!flags_.FullListShown) {
    ShowSelectedReport();
    emit CommandsStale();
    GiveTheListTheKeyboard();
  }
}

void BrowsingSide::optDisplay_Click(int) { RefreshAll(); }

void BrowsingSide::optSort_Click(int index) {
  if (!activated_) return;
  parts_.session.settings().Write(QStringLiteral("SortOption"), QString::number(index));
  RefreshAll();
}

void BrowsingSide::optShow_Click(int index) {
  if (!activated_) return;
  parts_.session.settings().Write(QStringLiteral("ShowOption"), QString::number(index));
  RefreshAll();
}

void BrowsingSide::InactiveListEmpty() {
  parts_.list->frame()->hide();
  parts_.frame2->hide();
  ShowMessage(parts_.session,
              {.caption = QStringLiteral("'Inactive List' Empty"),
               .iconKind = kIconInformation,
               .message = QStringLiteral("The 'Inactive List' of archived entries\nis now empty."),
               .buttons = {QStringLiteral("&Return to the 'Active List'")}},
              parts_.window);
  parts_.list->frame()->show();
  parts_.frame2->show();
  // The Active List comes back on the row a delete saved, if any.
  parts_.list->ChooseActiveList();
  optDisplay_Click(1);
}

}  // namespace kestrova::gui
