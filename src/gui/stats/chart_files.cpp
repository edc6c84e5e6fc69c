#include "gui/stats/chart_files.h"

#include <QDir>
#include <QPaintDevice>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>

#include "core/stats/figures_text.h"
#include "gui/stats/chart_view.h"

namespace kestrova::gui {
namespace {

bool Written(QSaveFile& file, const QString& path, QString& error) {
  if (file.commit()) return true;
  error = QStringLiteral("\"%1\" could not be saved: %2.").arg(QDir::toNativeSeparators(path), file.errorString());
  return false;
}

bool Opened(QSaveFile& file, const QString& path, QString& error) {
  if (file.open(QIODevice::WriteOnly)) return true;
  error = QStringLiteral("\"%1\" could not be saved: %2.").arg(QDir::toNativeSeparators(path), file.errorString());
  return false;
}

}  // namespace

bool SaveChartPng(const ChartView& view, const QString& path, const QStringList& title, QString& error, QSize size) {
  QSaveFile file(path);
  if (!Opened(file, path, error)) return false;
  if (!view.ToImage(size, title).save(&file, "PNG")) {
    file.cancelWriting();
    error = QStringLiteral("\"%1\" could not be saved as a PNG picture.").arg(QDir::toNativeSeparators(path));
    return false;
  }
  return Written(file, path, error);
}

bool SaveChartCsv(const stats::TimeFigures& figures, const QString& path, QString& error) {
  QSaveFile file(path);
  if (!Opened(file, path, error)) return false;
  const std::string csv = "\xEF\xBB\xBF" + stats::FiguresCsv(figures);
  if (file.write(csv.data(), qint64(csv.size())) != qint64(csv.size())) file.cancelWriting();
  return Written(file, path, error);
}

platform::PrintOutcome SaveChartPdf(platform::Printing& printing, const platform::PrintTarget& target,
                                    const ChartView& view, const std::vector<std::string>& title) {
  platform::PrintoutDocument page;
  page.title = QStringLiteral("chart");
  page.layout = [&title](output::PrintCursor& c) {
    for (std::size_t i = 0; i < title.size(); ++i) {
      c.SetFont(output::PrintFont{.size = i == 0 ? 12.0 : 10.0, .bold = i == 0});
      c.Print(title[i]);
      c.EndLine();
    }
    c.EndLine();
  };
  page.paint = [&view](QPainter& painter, const QRectF& area) {
    // Drawn as on a 96-dpi screen, scaled to the page: the width of the
    // printable area and at most three fifths of it high.
    const double pixel = painter.device()->logicalDpiX() / 96.0;
    const double height = std::min(area.height(), area.width() * 0.6);
    view.Render(painter, QRectF(area.topLeft(), QSizeF(area.width(), height)), pixel);
  };
  return platform::RunPrintout(printing, target, {page});
}

}  // namespace kestrova::gui
