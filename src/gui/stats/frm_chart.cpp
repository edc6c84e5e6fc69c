#include "gui/stats/frm_chart.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include "core/stats/figures_text.h"
#include "gui/session/activity_logs.h"
#include "gui/session/session.h"
#include "gui/stats/chart_view.h"
#include "gui/ui/screen_room.h"

namespace kestrova::gui {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QDate ToQDate(const time::DateTime& day) { return {day.year, day.month, day.day}; }
time::DateTime FromQDate(const QDate& day) { return {day.year(), day.month(), day.day(), 0, 0, 0}; }

QString Count(std::int64_t n) { return QLocale(QLocale::English, QLocale::UnitedStates).toString(qlonglong(n)); }

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

// One count's answer, and the folder's stamp read just before it began.
struct frmChart::Counted {
  int number = 0;
  std::optional<Result<stats::TimeFigures>> figures;
  std::optional<network::DataStamp> stamp;
};

frmChart::frmChart(Session& session, platform::Printing& printing, ChartSubject subject, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      printing_(printing),
      subject_(std::move(subject)),
      folderCheck_(this),
      spanPause_(this) {
  setObjectName(QStringLiteral("frmChart"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Chart of ") + subject_.listName);
  BuildLayout();
  ConnectControls();
  // The window opens at a size a 1366 x 768 screen holds with its frame;
  // a smaller screen, as much as it holds.
  resize(WithinScreen(this, {1180, 660}));
  folderCheck_.setObjectName(QStringLiteral("timerFolderCheck"));
  folderCheck_.setInterval(1000);
  connect(&folderCheck_, &QTimer::timeout, this, &frmChart::timerFolderCheck_Timer);
  folderCheck_.start();
  spanPause_.setSingleShot(true);
  spanPause_.setInterval(600);
  connect(&spanPause_, &QTimer::timeout, this, &frmChart::Recount);
  Recount();
}

frmChart::~frmChart() = default;

void frmChart::BuildLayout() {
  const auto combo = [this](const char* name, std::initializer_list<QString> items, int current) {
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(name));
    for (const QString& item : items) box->addItem(item);
    box->setCurrentIndex(current);
    return box;
  };
  using stats::DateMember;
  using stats::Split;
  cboPeriod_ = combo("cboPeriod",
                     {QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month"), QStringLiteral("Quarter"),
                      QStringLiteral("Year")},
                     static_cast<int>(stats::Period::Month));
  cboDate_ = combo("cboDate",
                   {Q(stats::DateCaption(DateMember::Entered)), Q(stats::DateCaption(DateMember::OccurredFrom)),
                    Q(stats::DateCaption(DateMember::ReportedOn))},
                   0);
  cboSplit_ = combo(
      "cboSplit",
      {QStringLiteral("Nothing"), Q(stats::SplitCaption(Split::ListStatus)), Q(stats::SplitCaption(Split::Violations)),
       Q(stats::SplitCaption(Split::MadeBy)), Q(stats::SplitCaption(Split::PropertyContext))},
      0);
  cboMeasure_ = combo("cboMeasure", {QStringLiteral("Number of reports"), QStringLiteral("Property value")}, 0);
  cboStyle_ = combo("cboStyle", {QStringLiteral("Bars"), QStringLiteral("Lines")}, 0);

  const auto dateEdit = [this](const char* name) {
    auto* edit = new QDateEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    edit->setCalendarPopup(true);
    edit->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    return edit;
  };
  dtpFrom_ = dateEdit("dtpFrom");
  dtpTo_ = dateEdit("dtpTo");
  const auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  cmdWholeSpan_ = button("cmdWholeSpan", QStringLiteral("&Whole list"));
  cmdWholeSpan_->setToolTip(QStringLiteral("From the first to the last date the list's reports carry"));
  lblChanged_ = new QLabel(QStringLiteral("The reports have changed since this chart was counted."), this);
  lblChanged_->setObjectName(QStringLiteral("lblChanged"));
  lblChanged_->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold;"));
  cmdRecount_ = button("cmdRecount", QStringLiteral("Count a&gain"));
  lblChanged_->hide();
  cmdRecount_->hide();

  chart_ = new ChartView(this);
  chart_->setObjectName(QStringLiteral("chtFigures"));
  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("tblFigures"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setTabKeyNavigation(false);
  table_->verticalHeader()->hide();
  table_->setAccessibleName(QStringLiteral("Figures"));
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(chart_);
  splitter->addWidget(table_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({800, 340});

  lblStatus_ = new QLabel(this);
  lblStatus_->setObjectName(QStringLiteral("lblStatus"));
  lblStatus_->setWordWrap(true);
  cmdSaveAs_ = button("cmdSaveAs", QStringLiteral("&Save as..."));
  cmdClose_ = button("cmdClose", QStringLiteral("&Close"));

  auto* controls = new QGridLayout;
  controls->addWidget(Caption(QStringLiteral("&Period:"), cboPeriod_, this), 0, 0);
  controls->addWidget(cboPeriod_, 0, 1);
  controls->addWidget(Caption(QStringLiteral("&Date:"), cboDate_, this), 0, 2);
  controls->addWidget(cboDate_, 0, 3);
  controls->addWidget(Caption(QStringLiteral("Sp&lit by:"), cboSplit_, this), 0, 4);
  controls->addWidget(cboSplit_, 0, 5);
  controls->addWidget(Caption(QStringLiteral("Sh&ow:"), cboMeasure_, this), 0, 6);
  controls->addWidget(cboMeasure_, 0, 7);
  controls->addWidget(Caption(QStringLiteral("&As:"), cboStyle_, this), 0, 8);
  controls->addWidget(cboStyle_, 0, 9);
  controls->addWidget(Caption(QStringLiteral("&From:"), dtpFrom_, this), 1, 0);
  controls->addWidget(dtpFrom_, 1, 1);
  controls->addWidget(Caption(QStringLiteral("&To:"), dtpTo_, this), 1, 2);
  controls->addWidget(dtpTo_, 1, 3);
  controls->addWidget(cmdWholeSpan_, 1, 4);
  auto* changed = new QHBoxLayout;
  changed->addWidget(lblChanged_);
  changed->addWidget(cmdRecount_);
  changed->addStretch();
  controls->addLayout(changed, 1, 5, 1, 5);
  controls->setColumnStretch(10, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblStatus_, 1);
  bottom->addWidget(cmdSaveAs_);
  bottom->addWidget(cmdClose_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(splitter, 1);
  layout->addLayout(bottom);

  const QList<QWidget*> order = {cboPeriod_,    cboDate_,    cboSplit_, cboMeasure_, cboStyle_,  dtpFrom_, dtpTo_,
                                 cmdWholeSpan_, cmdRecount_, chart_,    table_,      cmdSaveAs_, cmdClose_};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmChart::ConnectControls() {
  using Changed = void (QComboBox::*)(int);
  constexpr Changed changed = &QComboBox::currentIndexChanged;
  for (QComboBox* box : {cboPeriod_, cboDate_, cboSplit_}) connect(box, changed, this, &frmChart::cboPeriod_Click);
  connect(cboMeasure_, changed, this, [this](int index) {
    chart_->SetMeasure(index == 1 ? stats::Measure::Value : stats::Measure::Reports);
    FillTable();
  });
  connect(cboStyle_, changed, this,
          [this](int index) { chart_->SetStyle(index == 1 ? ChartView::Style::Lines : ChartView::Style::Bars); });
  for (QDateEdit* edit : {dtpFrom_, dtpTo_}) connect(edit, &QDateEdit::dateChanged, this, &frmChart::dtpSpan_Change);
  connect(cmdWholeSpan_, &QPushButton::clicked, this, &frmChart::cmdWholeSpan_Click);
  connect(cmdRecount_, &QPushButton::clicked, this, &frmChart::cmdRecount_Click);
  connect(cmdSaveAs_, &QPushButton::clicked, this, &frmChart::cmdSaveAs_Click);
  connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
  // The table's row and the chart's period follow each other.
  connect(chart_, &ChartView::currentPeriodChanged, this, [this](int period) {
    if (period >= 0 && period != table_->currentRow()) table_->selectRow(period);
  });
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (row >= 0 && row < static_cast<int>(chart_->figures().periods.size())) chart_->SetCurrentPeriod(row);
  });
}

stats::CountRequest frmChart::Request() const {
  stats::CountRequest r;
  r.period = static_cast<stats::Period>(cboPeriod_->currentIndex());
  r.date = static_cast<stats::DateMember>(cboDate_->currentIndex());
  r.split = static_cast<stats::Split>(cboSplit_->currentIndex());
  r.lists = subject_.lists;
  r.records = subject_.records;
  if (spanChosen_) {
    r.from = FromQDate(dtpFrom_->date());
    r.to = FromQDate(dtpTo_->date());
  }
  return r;
}

void frmChart::Recount() {
  spanPause_.stop();
  lblChanged_->hide();
  cmdRecount_->hide();
  lblStatus_->setText(QStringLiteral("Counting..."));
  const int number = ++latest_;
  ++running_;
  // The count reads the folder on a thread of its own; its answer is shown
  // only when it is still the latest one asked for.
  std::optional<reports::ListRequest> search;
  if (listStamp_ && subject_.records) search = subject_.search;
  auto counted = std::make_shared<Counted>();
  counted->number = number;
  QThread* thread = QThread::create(
      [counted, folder = session_.folder().path(), request = Request(), search, listStamp = listStamp_] {
        if (auto stamp = network::ReadDataStamp(folder); stamp.ok()) counted->stamp = *stamp;
        stats::CountRequest r = request;
        // A search's rows are found again once the folder has changed since
        // the list was shown.
        if (search && counted->stamp != listStamp) {
          auto found = reports::BuildReportList(folder, *search);
          if (!found.ok()) {
            counted->figures.emplace(found.error());
            return;
          }
          r.records.emplace();
          for (const reports::ListRow& row : found->rows) r.records->push_back(row.recordNumber);
        }
        counted->figures.emplace(stats::CountOverTime(folder, r));
      });
  thread->setObjectName(QStringLiteral("chartCount"));
  connect(thread, &QThread::finished, thread, &QObject::deleteLater);
  // Back on the window's thread; nothing arrives once the window is gone.
  connect(thread, &QThread::finished, this, [this, counted] {
    --running_;
    if (counted->number == latest_) ShowCounted(*counted);
  });
  thread->start();
}

void frmChart::ShowCounted(const Counted& counted) {
  countedStamp_ = counted.stamp;
  if (!listStamp_) listStamp_ = counted.stamp;
  const Result<stats::TimeFigures>& result = *counted.figures;
  if (!result.ok()) {
    // Refused (too many periods, a span backwards) or unreadable: said in
    // the window, the last figures cleared.
    chart_->SetFigures({});
    FillTable();
    lblStatus_->setText(Q(result.message()));
    lblStatus_->setStyleSheet(QStringLiteral("color: #a00000;"));
    emit FiguresShown();
    return;
  }
  const stats::TimeFigures& f = *result;
  chart_->SetFigures(f);
  ShowSpan(f);
  FillTable();
  QStringList status;
  status << (f.reports == 1 ? QStringLiteral("1 report") : Count(f.reports) + QStringLiteral(" reports"));
  if (f.noDate.count > 0)
    status << Count(f.noDate.count) + QStringLiteral(" without a ") + Q(stats::DateCaption(f.date));
  if (f.outsideSpan > 0) status << Count(f.outsideSpan) + QStringLiteral(" outside the span");
  QString text = status.join(QStringLiteral("; ")) + QLatin1Char('.');
  if (const std::string damage = stats::DamageNote(f); !damage.empty()) text += QLatin1Char(' ') + Q(damage);
  lblStatus_->setText(text);
  lblStatus_->setStyleSheet(f.damagedDates + f.damagedValues > 0 ? QStringLiteral("color: #a00000;") : QString());
  // Charting a list is logged once, with the chart first shown.
  if (!logged_) {
    logged_ = true;
    LogSearch(session_, this, stats::ChartLogDescription(f));
  }
  emit FiguresShown();
}

void frmChart::ShowSpan(const stats::TimeFigures& f) {
  if (!f.span || spanChosen_) return;
  filling_ = true;
  dtpFrom_->setDate(ToQDate(f.span->from));
  dtpTo_->setDate(ToQDate(f.span->to));
  filling_ = false;
}

void frmChart::cboPeriod_Click() { Recount(); }

void frmChart::dtpSpan_Change() {
  if (filling_) return;
  spanChosen_ = true;
  spanPause_.start();
}

void frmChart::cmdWholeSpan_Click() {
  spanChosen_ = false;
  Recount();
}

void frmChart::cmdRecount_Click() { Recount(); }

void frmChart::timerFolderCheck_Timer() {
  if (session_.changeWatchPaused() || counting() || !countedStamp_ || cmdRecount_->isVisible()) return;
  auto stamp = network::ReadDataStamp(session_.folder().path());
  if (!stamp.ok() || *stamp == *countedStamp_) return;
  lblChanged_->show();
  cmdRecount_->show();
}

}  // namespace kestrova::gui
