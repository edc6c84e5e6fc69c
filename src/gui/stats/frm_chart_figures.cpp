#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>

#include "core/stats/figures_text.h"
#include "core/text/currency.h"
#include "core/time/date_format.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/stats/chart_files.h"
#include "gui/stats/chart_view.h"
#include "gui/stats/frm_chart.h"

// The chart window's table of figures and its "Save as...".
namespace kestrova::gui {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QTableWidgetItem* Cell(const QString& text, bool number) {
  auto* item = new QTableWidgetItem(text);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

void frmChart::FillTable() {
  const stats::TimeFigures& f = chart_->figures();
  const bool value = chart_->measure() == stats::Measure::Value;
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const auto shown = [&](const stats::Figure& figure, bool asValue) {
    return asValue ? Q(text::FormatCurrency(figure.value)) : english.toString(qlonglong(figure.count));
  };
  QStringList headings = {QStringLiteral("Period"), QStringLiteral("Reports"), QStringLiteral("Value")};
  // The groups' columns show what the chart shows of them.
  for (const std::string& group : f.groups) headings << Q(group);
  table_->clear();
  table_->setColumnCount(static_cast<int>(headings.size()));
  table_->setHorizontalHeaderLabels(headings);
  const bool noDate = f.noDate.count > 0;
  table_->setRowCount(static_cast<int>(f.periods.size()) + (noDate ? 1 : 0));
  const auto row = [&](int r, const QString& name, const stats::Figure& total,
                       const std::vector<stats::Figure>& groups) {
    table_->setItem(r, 0, Cell(name, false));
    table_->setItem(r, 1, Cell(shown(total, false), true));
    table_->setItem(r, 2, Cell(shown(total, true), true));
    for (std::size_t g = 0; g < groups.size() && g < f.groups.size(); ++g) {
      table_->setItem(r, 3 + static_cast<int>(g), Cell(shown(groups[g], value), true));
    }
  };
  for (std::size_t p = 0; p < f.periods.size(); ++p) {
    const stats::PeriodFigures& period = f.periods[p];
    row(static_cast<int>(p), Q(stats::PeriodName(f.period, period.start)), period.total, period.groups);
  }
  if (noDate) row(static_cast<int>(f.periods.size()), QStringLiteral("No date"), f.noDate, f.noDateGroups);
  table_->resizeColumnsToContents();
  if (chart_->currentPeriod() >= 0) table_->selectRow(chart_->currentPeriod());
}

QString frmChart::ProposedName() const {
  const std::string stamp = time::FormatDateTime(session_.clock().Now(), "yyyymmddhhnnss");
  return QStringLiteral("chart-") + Q(stamp) + QStringLiteral(".png");
}

void frmChart::cmdSaveAs_Click() {
  if (counting() || chart_->figures().periods.empty()) {
    ShowNotice(session_, this, QStringLiteral("Nothing to Save"),
               counting() ? QStringLiteral("The chart is still being counted.")
                          : QStringLiteral("The chart shows no periods to save."),
               kIconInformation);
    return;
  }
  const std::optional<QString> path = session_.filePicker().SaveChart(this, ProposedName());
  if (path) SaveTo(*path);
}

void frmChart::SaveTo(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  const stats::TimeFigures& f = chart_->figures();
  const std::vector<std::string> title =
      stats::ChartTitle(subject_.listName.toStdString(), f, chart_->measure(), session_.clock().Now());
  QString error;
  bool saved = false;
  if (suffix == QLatin1String("png")) {
    QStringList lines;
    for (const std::string& line : title) lines << Q(line);
    saved = SaveChartPng(*chart_, path, lines, error);
  } else if (suffix == QLatin1String("csv")) {
    saved = SaveChartCsv(f, path, error);
  } else if (suffix == QLatin1String("pdf")) {
    // The file dialog asked before a file was replaced; the data folder
    // and the program's own folder take no printouts.
    platform::PrintTarget target{.pdfPath = path, .mayReplace = true};
    target.refusedFolders << QString::fromStdString(session_.folder().path().string());
    if (!session_.programFolder().isEmpty()) target.refusedFolders << session_.programFolder();
    const platform::PrintOutcome outcome = SaveChartPdf(printing_, target, *chart_, title);
    saved = outcome.kind == platform::PrintOutcome::Kind::Printed;
    error = outcome.error;
  } else {
    error = QStringLiteral(
        "A chart is saved as a PNG picture (.png), a PDF (.pdf) or a CSV table (.csv):\n"
        "choose a name with one of these endings.");
  }
  if (!saved) {
    ShowNotice(session_, this, QStringLiteral("Chart Not Saved"), error, kIconError);
    return;
  }
  lblStatus_->setText(QStringLiteral("Saved as ") + QDir::toNativeSeparators(path) + QLatin1Char('.'));
  lblStatus_->setStyleSheet(QString());
}

}  // namespace kestrova::gui
