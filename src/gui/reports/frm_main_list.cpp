// The main window's list, its search and its commands' state.

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>
#include <memory>

#include "core/reports/command_state.h"
#include "core/reports/data_file.h"
#include "core/time/date_format.h"
#include "core/time/date_parse.h"
#include "gui/logs/activity_logs.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/search/frm_find.h"
#include "gui/session.h"
#include "gui/ui/busy_window.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void ShowError(Session& session, QWidget* owner, const QString& caption, const std::string& message) {
  ShowNotice(session, owner, caption, Q(message), kIconError);
}

}  // namespace

reports::DisplayList frmMain::Display() const {
  return optDisplay_[2]->isChecked() ? reports::DisplayList::Inactive : reports::DisplayList::Active;
}

QString frmMain::listCaption() const { return frame1_->title(); }

int frmMain::currentRow() const {
  const QModelIndex current = grid_->currentIndex();
  return current.isValid() ? current.row() + 1 : 0;
}

int frmMain::topRow() const {
  return model_->rows().empty() ? 0 : grid_->rowAt(0) + 1;
}

int frmMain::selectedRecordNumber() const {
  const int row = currentRow();
  if (row < 1) return 0;
  return model_->rows()[static_cast<std::size_t>(row - 1)].recordNumber;
}

void frmMain::SelectRow(int row, int top) {
  if (row < 1 || row > static_cast<int>(model_->rows().size())) return;
  const QSignalBlocker quiet(grid_->selectionModel());
  grid_->setCurrentIndex(model_->index(row - 1, 0));
  grid_->selectRow(row - 1);
  if (top >= 1) grid_->scrollTo(model_->index(top - 1, 0), QAbstractItemView::PositionAtTop);
}

void frmMain::BuildReportList() {
  frame1_->setTitle(QString());
  grid_->hide();
  const bool inactive = Display() == reports::DisplayList::Inactive;
  grid_->horizontalHeader()->setStyleSheet(
      QStringLiteral("QHeaderView::section { color: white; background-color: %1; }")
          .arg(inactive ? QStringLiteral("rgb(128, 0, 0)") : QStringLiteral("rgb(0, 0, 192)")));
  lblStandBy_->show();
  QApplication::processEvents();
  auto busy = std::make_unique<BusyWindow>(this);

  reports::ListRequest request;
  request.display = Display();
  request.sort = sortOption_ == 2 ? reports::SortOption::Entered : reports::SortOption::CaseNumber;
  request.show = showOption_ == 2 ? reports::ShowOption::Violations : reports::ShowOption::Remarks;
  request.flags = {FullListShown, PhraseSearchActive, SummaryActive};
  request.criteria = session_.searchCriteria;
  request.summaryCaption = findTag_.toStdString();
  auto list = reports::BuildReportList(session_.dataFolder(), request);
  if (!list.ok()) {
    busy.reset();
    ShowError(session_, this, QStringLiteral("Data File Problem"), list.message());
    busy = std::make_unique<BusyWindow>(this);
    list = reports::ReportList{};
  }
  counts_ = list->counts;
  model_->SetRows(std::move(list->rows), Q(list->rightColumnHeading));
  const int rows = static_cast<int>(model_->rows().size());
  frameSort_->setVisible(rows > 1);
  lblStandBy_->hide();
  QApplication::processEvents();
  if (rows >= 1) {
    grid_->show();
    frame1_->setEnabled(true);
    frameShow_->show();
  } else {
    frame1_->setEnabled(false);
    frameShow_->hide();
  }

  bool noMatches = false;
  if (FullListShown && rows >= 1) {
    frame1_->setTitle(Q(list->caption));
    const reports::GridPosition p = reports::FullListPosition(rows, SavedGridRow, SavedGridTopRow);
    SelectRow(p.currentRow, p.topRow);
  }
  if (!FullListShown && list->searched) {
    // Every search that runs is logged, also one that finds nothing (after
    // its notice).
    if (rows >= 1) LogSearch(session_, this, list->searchLogDescription);
    if (rows >= 1) {
      frame1_->setTitle(Q(list->caption));
      SelectRow(1, 1);
      flasher_->Start(command(QStringLiteral("cmdSeeAllEntries")), 15, 15);
    } else {
      noMatches = true;
    }
    if (SummaryActive) findTag_.clear();
  }

  optDisplay_[1]->setEnabled(counts_.ActiveCount > 0);
  optDisplay_[2]->setEnabled(counts_.InactiveCount > 0);
  busy.reset();

  if (noMatches) {
    frame1_->hide();
    frame2_->hide();
    MessageRequest r;
    r.caption = QStringLiteral("No Matches");
    r.iconKind = kIconInformation;
    QStringList lines;
    for (const auto& line : list->noMatchLines) lines << Q(line);
    r.message = lines.join(QLatin1Char('\n'));
    r.defaultButton = 1;
    r.buttons = {QStringLiteral("&Okay"), QStringLiteral("&Try another search")};
    const int answer = ShowMessage(session_, r, this).pressedButton;
    LogSearch(session_, this, list->searchLogDescription);
    frame1_->show();
    frame2_->show();
    cmdSeeAllEntries_Click();
    if (answer == 2) cmdFindEntries_Click();
  }
}

void frmMain::ShowSelectedReport() {
  auto busy = std::make_unique<BusyWindow>(this);
  std::optional<reports::ReportRecord> report;
  std::string problem;
  if (const int n = selectedRecordNumber(); n > 0) {
    // Read fresh from the file: another workstation may have changed it.
    reports::DataFile data(session_.dataFolder());
    Status opened = data.OpenDataFile(reports::DataFileAccess::Read);
    auto read = opened.ok() ? data.ReadRecord(n) : Result<reports::ReportRecord>(opened.error());
    (void)data.CloseDataFile();
    if (read.ok()) {
      report = *read;
    } else {
      problem = read.message();
    }
  }
  displayed_ = report;
  form_->ShowReport(report);
  busy.reset();
  if (!problem.empty()) ShowError(session_, this, QStringLiteral("Report Not Shown"), problem);
}

void frmMain::RefreshCommandState() {
  reports::MainWindowState s;
  s.FullListShown = FullListShown;
  s.PhraseSearchActive = PhraseSearchActive;
  s.SummaryActive = SummaryActive;
  s.AddMode = AddMode;
  s.EditMode = EditMode;
  s.InactiveListShown = Display() == reports::DisplayList::Inactive;
  s.selectedRow = currentRow();
  s.rowCount = static_cast<int>(model_->rows().size()) + 1;
  s.accessLevel = session_.signIn.CurrentAccessLevel;
  for (int i = 0; i < 3; ++i) s.picturePaths[static_cast<std::size_t>(i)] = form_->picturePaths()[static_cast<std::size_t>(i)].toStdString();
  for (const reports::CommandLook& look : reports::CommandState(s, session_.applicationTitle().toStdString())) {
    ZelButton* b = command(Q(look.name));
    if (!b) continue;
    if (!look.caption.empty()) b->setCaption(Q(look.caption));
    if (!look.toolTip.empty()) b->setToolTip(Q(look.toolTip));
    b->setVisible(look.visible);
    if (look.visible) b->setEnabled(look.enabled);
    b->Refresh();
  }
  for (int slot = 1; slot <= 3; ++slot) {
    const reports::PictureButtonLooks p = reports::PictureButtons(s, slot);
    form_->largerPictureButton(slot)->setVisible(p.larger);
    ZelButton* addEdit = form_->addEditPictureButton(slot);
    addEdit->setVisible(p.addEdit);
    addEdit->setEnabled(p.addEditEnabled);
    addEdit->setToolTip(Q(p.addEditToolTip));
    form_->deletePictureButton(slot)->setVisible(p.remove);
    form_->deletePictureButton(slot)->setEnabled(p.removeEnabled);
    for (ZelButton* b : {addEdit, form_->deletePictureButton(slot), form_->largerPictureButton(slot)}) b->Refresh();
  }
  // While a report is written the list options cannot change the list;
  // while adding they are out of sight with the list.
  const bool writing = AddMode || EditMode;
  for (QGroupBox* frame : {frameDisplay_, frameSort_, frameShow_}) frame->setEnabled(!writing);
  if (AddMode) {
    for (QWidget* w : ListSide()) w->hide();
  }
  if (writing) SaveButtonRule();
  frame2_->setVisible(true);
  form_->setVisible(s.selectedRow > 0 || AddMode);
}

void frmMain::cmdSeeAllEntries_Click() {
  flasher_->Stop();
  QApplication::processEvents();
  PhraseSearchActive = false;
  SummaryActive = false;
  FullListShown = true;
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

void frmMain::cmdFindEntries_Click() {
  frmFind find(session_, this);
  find.exec();
  const search::FindDialogOutcome& outcome = find.outcome();
  if (!outcome.summaryCaption.empty()) findTag_ = Q(outcome.summaryCaption);
  switch (search::StartAfterDialog(session_.searchCriteria)) {
    case search::SearchStart::Phrase: PhraseSearchActive = true; break;
    case search::SearchStart::Summary: SummaryActive = true; break;
    case search::SearchStart::None: return;
  }
  FullListShown = false;
  SavedGridRow = currentRow();
  SavedGridTopRow = topRow();
  BuildReportList();
  if (!FullListShown) {
    ShowSelectedReport();
    RefreshCommandState();
  }
}

void frmMain::cmdRefreshGrid_Click() {
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

void frmMain::optDisplay_Click(int) {
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

void frmMain::optSort_Click(int index) {
  sortOption_ = index;
  if (!activated_) return;
  session_.settings().Write(QStringLiteral("SortOption"), QString::number(index));
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

void frmMain::optShow_Click(int index) {
  showOption_ = index;
  if (!activated_) return;
  session_.settings().Write(QStringLiteral("ShowOption"), QString::number(index));
  BuildReportList();
  ShowSelectedReport();
  RefreshCommandState();
}

QString frmMain::GridToolTip(const QPoint& pos) const {
  const QModelIndex index = grid_->indexAt(pos);
  if (model_->rows().empty() || !index.isValid() || index.column() != 1) return {};
  const auto date = time::ParseDateTime(model_->rows()[static_cast<std::size_t>(index.row())].dateEntered);
  if (!date) return {};
  return Q(time::FormatDateTime(*date, time::kWeekdayTipFormat));
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
  if (watched == grid_ && e->type() == QEvent::KeyPress) {
    // The grid lists whole rows: Home and End go to the first and last report.
    auto* key = static_cast<QKeyEvent*>(e);
    if ((key->key() == Qt::Key_Home || key->key() == Qt::Key_End) && key->modifiers() == Qt::NoModifier) {
      QKeyEvent rows(QEvent::KeyPress, key->key(), Qt::ControlModifier);
      QApplication::sendEvent(grid_, &rows);
      return true;
    }
  }
  if (watched == grid_->viewport() && e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const QString tip = GridToolTip(help->pos());
    if (tip.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), tip, grid_->viewport());
    }
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

}  // namespace kestrova::gui
