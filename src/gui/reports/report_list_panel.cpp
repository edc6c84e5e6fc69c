#include "gui/reports/report_list_panel.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QToolTip>

#include "core/text/fixed_text.h"
#include "core/time/date_format.h"
#include "core/time/date_parse.h"
#include "gui/reports/report_list_model.h"
#include "gui/ui/twips.h"

namespace kestrova::gui {
namespace {

int Px(int twips) { return ToPixels(twips); }

}  // namespace

ReportListPanel::ReportListPanel(QWidget* window) : QObject(window) {
  setObjectName(QStringLiteral("reportList"));
  frame1_ = new QGroupBox(window);
  frame1_->setObjectName(QStringLiteral("frame1"));
  grid_ = new QTableView(frame1_);
  grid_->setObjectName(QStringLiteral("grid"));
  grid_->setAccessibleName(QStringLiteral("Reports"));
  model_ = new ReportListModel(this);
  grid_->setModel(model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->setColumnWidth(0, Px(1600));
  grid_->setColumnWidth(1, Px(1250));
  // Columns 3 and 4 stay out of sight: column 2 takes the rest.
  grid_->horizontalHeader()->setStretchLastSection(false);
  grid_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  grid_->setColumnHidden(3, true);
  grid_->setColumnHidden(4, true);
  grid_->setMouseTracking(true);
  grid_->viewport()->installEventFilter(this);
  grid_->installEventFilter(this);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
    if (grid_->isVisible() && !model_->rows().empty()) emit RowChanged();
  });
  lblStandBy_ = new QLabel(QStringLiteral("Sorting-- Please stand by..."), frame1_);
  lblStandBy_->setObjectName(QStringLiteral("lblStandBy"));
  lblStandBy_->hide();
  // The stand-by label takes the grid's place while the list is rebuilt.
  auto* inFrame = new QGridLayout(frame1_);
  inFrame->setContentsMargins(Px(90), Px(45), Px(90), Px(90));
  inFrame->addWidget(grid_, 0, 0);
  inFrame->addWidget(lblStandBy_, 0, 0, Qt::AlignCenter);
  grid_->setMinimumSize(Px(4500), grid_->horizontalHeader()->sizeHint().height() +
                                      kRowsShownAtLeast * grid_->verticalHeader()->defaultSectionSize() +
                                      2 * grid_->frameWidth());
  frame1_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

  const auto options = [window](const char* frameName, const QString& caption, const char* name, const QString& one,
                                const QString& two, QList<QRadioButton*>& into) {
    auto* frame = new QGroupBox(caption, window);
    frame->setObjectName(QString::fromLatin1(frameName));
    frame->setFixedSize(Px(3300), Px(900));
    into = {nullptr};
    int i = 0;
    for (const QString& text : {one, two}) {
      auto* opt = new QRadioButton(text, frame);
      opt->setObjectName(QStringLiteral("%1%2").arg(QString::fromLatin1(name)).arg(++i));
      opt->setGeometry(Px(150), Px(250 + (i - 1) * 300), Px(3000), Px(280));
      into.append(opt);
    }
    return frame;
  };
  frameDisplay_ = options("frameDisplay", QStringLiteral(" Display the "), "optDisplay", QStringLiteral("Active List"),
                          QStringLiteral("Inactive List"), optDisplay_);
  frameSort_ = options("frameSort", QStringLiteral(" Sort by "), "optSort", QStringLiteral("Case#"),
                       QStringLiteral("Entered"), optSort_);
  frameShow_ = options("frameShow", QStringLiteral(" Show in right column "), "optShow", QStringLiteral("Remarks"),
                       QStringLiteral("Violation(s)"), optShow_);
  optSort_[1]->setToolTip(QStringLiteral(" Sort numerically by the Case# "));
  optSort_[2]->setToolTip(QStringLiteral(" Sort by the date the report was entered into the database "));
  optDisplay_[1]->setChecked(true);
  for (int i = 1; i <= 2; ++i) {
    connect(optDisplay_[i], &QRadioButton::clicked, this, [this, i] { emit DisplayChosen(i); });
    connect(optSort_[i], &QRadioButton::clicked, this, [this, i] {
      sortOption_ = i;
      emit SortChosen(i);
    });
    connect(optShow_[i], &QRadioButton::clicked, this, [this, i] {
      showOption_ = i;
      emit ShowChosen(i);
    });
  }
}

QList<QWidget*> ReportListPanel::optionFrames() const { return {frameDisplay_, frameSort_, frameShow_}; }

QString ReportListPanel::caption() const { return frame1_->title(); }
void ReportListPanel::setCaption(const QString& caption) { frame1_->setTitle(caption); }

int ReportListPanel::rowCount() const { return static_cast<int>(model_->rows().size()); }

int ReportListPanel::currentRow() const {
  const QModelIndex current = grid_->currentIndex();
  return current.isValid() ? current.row() + 1 : 0;
}

int ReportListPanel::topRow() const { return model_->rows().empty() ? 0 : grid_->rowAt(0) + 1; }

int ReportListPanel::selectedRecordNumber() const {
  const int row = currentRow();
  if (row < 1) return 0;
  return model_->rows()[static_cast<std::size_t>(row - 1)].recordNumber;
}

void ReportListPanel::SelectRow(int row, int top) {
  if (row < 1 || row > rowCount()) return;
  const QSignalBlocker quiet(grid_->selectionModel());
  grid_->setCurrentIndex(model_->index(row - 1, 0));
  grid_->selectRow(row - 1);
  if (top >= 1) grid_->scrollTo(model_->index(top - 1, 0), QAbstractItemView::PositionAtTop);
}

void ReportListPanel::UpdateRow(int row, const reports::ReportRecord& report) {
  if (row < 1 || row > rowCount()) return;
  reports::ListRow updated = model_->rows()[static_cast<std::size_t>(row - 1)];
  updated.caseNumber = std::string(text::Trim(report.CaseNumber));
  updated.dateEntered = time::FormatOleDate(report.DateEntered, time::kDateFormat).value_or("");
  updated.rightColumn = std::string(text::Trim(showOption_ == 1 ? report.Title : report.CriminalViolations));
  model_->UpdateRow(row - 1, updated);
}

reports::DisplayList ReportListPanel::display() const {
  return optDisplay_[2]->isChecked() ? reports::DisplayList::Inactive : reports::DisplayList::Active;
}

void ReportListPanel::ChooseActiveList() { optDisplay_[1]->setChecked(true); }

void ReportListPanel::SetOptions(int sort, int show) {
  sortOption_ = sort;
  showOption_ = show;
  optSort_[sort]->setChecked(true);
  optShow_[show]->setChecked(true);
}

void ReportListPanel::BeginRebuild() {
  frame1_->setTitle(QString());
  grid_->hide();
  const bool inactive = display() == reports::DisplayList::Inactive;
  grid_->horizontalHeader()->setStyleSheet(
      QStringLiteral("QHeaderView::section { color: white; background-color: %1; }")
          .arg(inactive ? QStringLiteral("rgb(128, 0, 0)") : QStringLiteral("rgb(0, 0, 192)")));
  lblStandBy_->show();
}

void ReportListPanel::ShowRows(std::vector<reports::ListRow> rows, const QString& rightColumnHeading) {
  model_->SetRows(std::move(rows), rightColumnHeading);
  const int n = rowCount();
  frameSort_->setVisible(n > 1);
  lblStandBy_->hide();
  QApplication::processEvents();
  grid_->setVisible(n >= 1);
  frame1_->setEnabled(n >= 1);
  frameShow_->setVisible(n >= 1);
}

void ReportListPanel::EnableDisplayChoices(const reports::ListCounts& counts) {
  optDisplay_[1]->setEnabled(counts.ActiveCount > 0);
  optDisplay_[2]->setEnabled(counts.InactiveCount > 0);
}

void ReportListPanel::HoldStill(bool still) {
  for (QWidget* frame : optionFrames()) frame->setEnabled(!still);
}

QString ReportListPanel::GridToolTip(const QPoint& pos) const {
  const QModelIndex index = grid_->indexAt(pos);
  if (model_->rows().empty() || !index.isValid() || index.column() != 1) return {};
  const auto date = time::ParseDateTime(model_->rows()[static_cast<std::size_t>(index.row())].dateEntered);
  if (!date) return {};
  return QString::fromStdString(time::FormatDateTime(*date, time::kWeekdayTipFormat));
}

bool ReportListPanel::eventFilter(QObject* watched, QEvent* e) {
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
  return QObject::eventFilter(watched, e);
}

}  // namespace kestrova::gui
