#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/stats/chart_layout.h"
#include "gui/stats/chart_view.h"

// Where the chart's parts go in an area, and their drawing.
namespace kestrova::gui {
namespace {

using chart::Count;
using chart::kPad;
using chart::Utf8;

// 1, 2 or 5 times a power of ten, at least `raw`.
double NiceStep(double raw) {
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  return (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10) * magnitude;
}

}  // namespace

ChartView::Layout ChartView::Lay(const QRectF& area, const QStringList& title) const {
  Layout l;
  l.area = area;
  l.font = font();
  l.font.setPixelSize(std::max(9, QFontInfo(font()).pixelSize()));
  l.bold = l.font;
  l.bold.setBold(true);
  const QFontMetricsF fm(l.font);
  l.line = fm.lineSpacing();
  l.periods = static_cast<int>(figures_.periods.size());
  const bool split = !figures_.groups.empty();
  const std::size_t groups = figures_.groups.size();

  // The scale: stacked bars reach their sums above and below zero, lines
  // their single figures.
  double high = 0, low = 0;
  for (const stats::PeriodFigures& p : figures_.periods) {
    if (!split) {
      high = std::max(high, Amount(p.total));
      low = std::min(low, Amount(p.total));
      continue;
    }
    double up = 0, down = 0;
    for (const stats::Figure& g : p.groups) {
      const double a = Amount(g);
      if (style_ == Style::Lines) {
        high = std::max(high, a);
        low = std::min(low, a);
      } else {
        (a >= 0 ? up : down) += a;
      }
    }
    high = std::max(high, up);
    low = std::min(low, down);
  }
  if (high - low <= 0) high = 1;
  l.step = std::max(NiceStep((high - low) / 5), measure_ == stats::Measure::Value ? 0.01 : 1.0);
  l.high = std::ceil(high / l.step - 1e-9) * l.step;
  l.low = std::floor(low / l.step + 1e-9) * l.step;

  double y = area.top() + kPad;
  l.titleTop = y;
  y += title.size() * l.line + (title.isEmpty() ? 0 : kPad / 2);
  if (split) {
    double x = area.left() + kPad;
    for (std::size_t g = 0; g < groups; ++g) {
      const double width = l.line + 4 + fm.horizontalAdvance(Utf8(figures_.groups[g])) + 16;
      if (x + width > area.right() - kPad && x > area.left() + kPad) {
        x = area.left() + kPad;
        y += l.line;
      }
      l.legend.push_back({QRectF(x, y + 2, l.line - 4, l.line - 4), static_cast<int>(g)});
      x += width;
    }
    y += l.line + kPad / 2;
  }
  l.caption = QPointF(area.left() + kPad, y);
  y += l.line + l.line / 2;

  double labelWidth = 0;
  for (double v = l.low; v <= l.high + l.step / 2; v += l.step) {
    labelWidth =
        std::max(labelWidth, fm.horizontalAdvance(measure_ == stats::Measure::Value
                                                      ? QLocale(QLocale::English).toString(v, 'f', l.step < 1 ? 2 : 0)
                                                      : Count(std::llround(v))));
  }
  const double bottom = area.bottom() - kPad - l.line - 4;
  l.plot =
      QRectF(QPointF(area.left() + kPad + labelWidth + 6, y), QPointF(area.right() - kPad, std::max(y + 1, bottom)));
  l.slot = l.periods > 0 ? l.plot.width() / l.periods : l.plot.width();

  double periodLabel = 0;
  const int samples = std::min(l.periods, 40);
  for (int s = 0; s < samples; ++s) {
    const int i = samples == 1 ? 0 : s * (l.periods - 1) / (samples - 1);
    periodLabel = std::max(periodLabel, fm.horizontalAdvance(Utf8(stats::PeriodLabel(
                                            figures_.period, figures_.periods[static_cast<std::size_t>(i)].start))));
  }
  // Labels every so many periods, a number that suits the period (every
  // quarter, every year...), far enough apart not to run into each other.
  static const std::vector<int> kSteps[] = {{1, 2, 7, 14, 30, 61, 91, 182, 365, 730, 1461},
                                            {1, 2, 4, 13, 26, 52, 104, 260},
                                            {1, 2, 3, 6, 12, 24, 60, 120, 240, 600},
                                            {1, 2, 4, 8, 20, 40, 80, 200, 400},
                                            {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000}};
  const auto& steps = kSteps[static_cast<int>(figures_.period)];
  const int least = std::max(1, static_cast<int>(std::ceil((periodLabel + 10) / l.slot)));
  const auto step = std::lower_bound(steps.begin(), steps.end(), least);
  l.labelEvery = step == steps.end() ? least : *step;
  return l;
}

void ChartView::Draw(QPainter& p, const Layout& l, const QStringList& title, bool focused) const {
  p.fillRect(l.area, Qt::white);
  p.setPen(Qt::black);
  const QFontMetricsF fm(l.font);
  double y = l.titleTop;
  for (int i = 0; i < title.size(); ++i) {
    p.setFont(i == 0 ? l.bold : l.font);
    p.drawText(QPointF(l.area.left() + kPad, y + fm.ascent()), title[i]);
    y += l.line;
  }
  p.setFont(l.font);
  for (const auto& [swatch, group] : l.legend) {
    p.fillRect(swatch, SeriesColor(group));
    p.drawText(QPointF(swatch.right() + 4, swatch.top() - 2 + fm.ascent()),
               Utf8(figures_.groups[static_cast<std::size_t>(group)]));
  }
  const QString per = QStringLiteral(" per ") + QString::fromUtf8(stats::PeriodWord(figures_.period));
  const QString caption = measure_ == stats::Measure::Value ? QStringLiteral("Property value") + per
                          : figures_.groupsCountItems()     ? QStringLiteral("Property items") + per
                                                            : QStringLiteral("Reports") + per;
  p.drawText(QPointF(l.caption.x(), l.caption.y() + fm.ascent()), caption);

  // Grid lines and the scale.
  for (double v = l.low; v <= l.high + l.step / 2; v += l.step) {
    const double ty = l.Y(v);
    p.setPen(QColor(0xe0, 0xe0, 0xe0));
    p.drawLine(QPointF(l.plot.left(), ty), QPointF(l.plot.right(), ty));
    const QString label = measure_ == stats::Measure::Value
                              ? QLocale(QLocale::English).toString(v, 'f', l.step < 1 ? 2 : 0)
                              : Count(std::llround(v));
    p.setPen(Qt::black);
    p.drawText(QRectF(l.area.left(), ty - l.line / 2, l.plot.left() - 6 - l.area.left(), l.line),
               Qt::AlignRight | Qt::AlignVCenter, label);
  }

  if (l.periods == 0) {
    p.drawText(l.plot, Qt::AlignCenter, QStringLiteral("No dated reports to chart"));
  } else if (style_ == Style::Bars) {
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < l.periods; ++i) {
      for (int g = figures_.groups.empty() ? -1 : 0; g < static_cast<int>(figures_.groups.size()); ++g) {
        const QRectF bar = BarRect(l, i, g);
        if (bar.height() > 0) p.fillRect(bar, SeriesColor(g));
      }
    }
    p.setRenderHint(QPainter::Antialiasing, true);
  } else {
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int g = figures_.groups.empty() ? -1 : 0; g < static_cast<int>(figures_.groups.size()); ++g) {
      QPolygonF line;
      for (int i = 0; i < l.periods; ++i) {
        const auto& period = figures_.periods[static_cast<std::size_t>(i)];
        line << QPointF(l.X(i), l.Y(g < 0 ? Amount(period.total) : Amount(period.groups[static_cast<std::size_t>(g)])));
      }
      p.setPen(QPen(SeriesColor(g), 2));
      p.drawPolyline(line);
      if (l.slot >= 8) {
        p.setBrush(SeriesColor(g));
        for (const QPointF& point : line) p.drawEllipse(point, 3, 3);
        p.setBrush(Qt::NoBrush);
      }
    }
  }

  // The axes, and the period labels under them.
  p.setPen(QColor(0x60, 0x60, 0x60));
  p.drawLine(QPointF(l.plot.left(), l.plot.top()), QPointF(l.plot.left(), l.plot.bottom()));
  p.drawLine(QPointF(l.plot.left(), l.Y(0)), QPointF(l.plot.right(), l.Y(0)));
  p.setPen(Qt::black);
  for (int i = 0; i < l.periods; ++i) {
    // Months, quarters and years are labelled where the calendar is round
    // (every January); days and weeks from the first one.
    const time::DateTime& start = figures_.periods[static_cast<std::size_t>(i)].start;
    const int ordinal = figures_.period == stats::Period::Month     ? start.year * 12 + start.month - 1
                        : figures_.period == stats::Period::Quarter ? start.year * 4 + (start.month - 1) / 3
                        : figures_.period == stats::Period::Year    ? start.year
                                                                    : i;
    if (ordinal % l.labelEvery != 0) continue;
    const QString label =
        Utf8(stats::PeriodLabel(figures_.period, figures_.periods[static_cast<std::size_t>(i)].start));
    const double width = fm.horizontalAdvance(label);
    const double x = std::clamp(l.X(i) - width / 2, l.area.left() + 2, l.area.right() - width - 2);
    p.drawText(QPointF(x, l.plot.bottom() + 4 + fm.ascent()), label);
  }

  if (focused && current_ >= 0 && current_ < l.periods) {
    QPen pen(Qt::black, 1, Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(l.plot.left() + current_ * l.slot, l.plot.top(), l.slot, l.plot.height()).adjusted(-1, -1, 1, 1));
  }
}

}  // namespace kestrova::gui
