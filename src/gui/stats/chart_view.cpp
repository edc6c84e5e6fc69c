#include "gui/stats/chart_view.h"

#include <QFocusEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/text/currency.h"

namespace kestrova::gui {
namespace {

constexpr double kPad = 8;
constexpr int kPageStep = 10;  // periods that Page Up and Page Down move

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

QString Count(std::int64_t n) { return QLocale(QLocale::English, QLocale::UnitedStates).toString(qlonglong(n)); }

QString Money(std::int64_t value) { return Utf8(text::FormatCurrency(value)); }

// 1, 2 or 5 times a power of ten, at least `raw`.
double NiceStep(double raw) {
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  return (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10) * magnitude;
}

}  // namespace

struct ChartView::Layout {
  QFont font;
  QFont bold;
  double line = 12;  // a line of text
  QRectF area;
  double titleTop = kPad;
  std::vector<std::pair<QRectF, int>> legend;  // swatch, group
  QPointF caption;
  QRectF plot;
  double low = 0;
  double high = 1;
  double step = 1;
  double slot = 1;  // a period's width
  int labelEvery = 1;
  int periods = 0;

  double Y(double v) const { return plot.bottom() - (v - low) / (high - low) * plot.height(); }
  double X(int period) const { return plot.left() + (period + 0.5) * slot; }
};

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(QStringLiteral("Chart"));
}

void ChartView::SetFigures(stats::TimeFigures figures) {
  figures_ = std::move(figures);
  current_ = std::min(current_, static_cast<int>(figures_.periods.size()) - 1);
  update();
}

void ChartView::SetStyle(Style style) {
  style_ = style;
  update();
}

void ChartView::SetMeasure(stats::Measure measure) {
  measure_ = measure;
  update();
}

void ChartView::SetCurrentPeriod(int period) {
  const int n = static_cast<int>(figures_.periods.size());
  period = n == 0 ? -1 : std::clamp(period, 0, n - 1);
  if (period == current_) return;
  current_ = period;
  setAccessibleDescription(period >= 0 ? PeriodTip(period) : QString());
  update();
  emit currentPeriodChanged(current_);
}

QColor ChartView::GroupColor(int group, bool other) {
  static const QColor kColors[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e), QColor(0x2c, 0xa0, 0x2c),
                                   QColor(0xd6, 0x27, 0x28), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                   QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf), QColor(0xbc, 0xbd, 0x22),
                                   QColor(0x39, 0x3b, 0x79)};
  if (other) return QColor(0xa0, 0xa0, 0xa0);
  return kColors[static_cast<std::size_t>(std::max(group, 0)) % std::size(kColors)];
}

QColor ChartView::SeriesColor(int group) const {
  const bool other = group >= 0 && figures_.groups.size() > stats::kMostGroups &&
                     group == static_cast<int>(figures_.groups.size()) - 1;
  return GroupColor(group, other);
}

double ChartView::Amount(const stats::Figure& f) const {
  return measure_ == stats::Measure::Value ? static_cast<double>(f.value) / text::kCurrencyScale
                                           : static_cast<double>(f.count);
}

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

int ChartView::PeriodAt(const Layout& l, double x) const {
  if (l.periods == 0 || x < l.plot.left() || x >= l.plot.right()) return -1;
  return std::clamp(static_cast<int>((x - l.plot.left()) / l.slot), 0, l.periods - 1);
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

QRectF ChartView::BarRect(const Layout& l, int period, int group) const {
  const auto& f = figures_.periods[static_cast<std::size_t>(period)];
  const double gap = l.slot >= 4 ? l.slot * 0.15 : 0;
  const double left = l.plot.left() + period * l.slot + gap;
  const double right = l.plot.left() + (period + 1) * l.slot - gap;
  if (figures_.groups.empty()) return QRectF(QPointF(left, l.Y(Amount(f.total))), QPointF(right, l.Y(0))).normalized();
  // Groups stack from zero: those above it upwards, those below downwards.
  double up = 0, down = 0, base = 0, mine = 0;
  for (int k = 0; k < static_cast<int>(f.groups.size()); ++k) {
    const double a = Amount(f.groups[static_cast<std::size_t>(k)]);
    if (k == group) {
      base = a >= 0 ? up : down;
      mine = a;
    }
    (a >= 0 ? up : down) += a;
  }
  if (group < 0) return QRectF(QPointF(left, l.Y(up)), QPointF(right, l.Y(down))).normalized();
  return QRectF(QPointF(left, l.Y(base + mine)), QPointF(right, l.Y(base))).normalized();
}

QRectF ChartView::FigureRect(int period, int group) const {
  const Layout l = Lay(QRectF(rect()), {});
  if (period < 0 || period >= l.periods || group >= static_cast<int>(figures_.groups.size())) return {};
  if (style_ == Style::Lines) {
    const auto& f = figures_.periods[static_cast<std::size_t>(period)];
    const bool whole = group < 0 || figures_.groups.empty();
    const double a = whole ? Amount(f.total) : Amount(f.groups[static_cast<std::size_t>(group)]);
    return QRectF(l.X(period) - 3, l.Y(a) - 3, 6, 6);
  }
  const QRectF r = BarRect(l, period, group);
  return r.height() > 0 ? r : QRectF();
}

QString ChartView::PeriodTip(int period) const {
  if (period < 0 || period >= static_cast<int>(figures_.periods.size())) return {};
  const stats::PeriodFigures& p = figures_.periods[static_cast<std::size_t>(period)];
  const bool items = figures_.groupsCountItems();
  QStringList lines{Utf8(stats::PeriodName(figures_.period, p.start)),
                    Count(p.total.count) +
                        (p.total.count == 1 ? QStringLiteral(" report") : QStringLiteral(" reports")) +
                        QStringLiteral(", property value ") + Money(p.total.value)};
  for (std::size_t g = 0; g < figures_.groups.size(); ++g) {
    const stats::Figure& f = p.groups[g];
    if (f.count == 0 && f.value == 0) continue;
    const QString unit = items ? (f.count == 1 ? QStringLiteral(" item") : QStringLiteral(" items"))
                               : (f.count == 1 ? QStringLiteral(" report") : QStringLiteral(" reports"));
    lines << Utf8(figures_.groups[g]) + QStringLiteral(": ") + Count(f.count) + unit + QStringLiteral(", ") +
                 Money(f.value);
  }
  return lines.join(QLatin1Char('\n'));
}

QString ChartView::TipAt(const QPointF& at) const {
  const Layout l = Lay(QRectF(rect()), {});
  if (at.y() < l.plot.top() || at.y() > l.plot.bottom()) return {};
  return PeriodTip(PeriodAt(l, at.x()));
}

void ChartView::Render(QPainter& painter, const QRectF& area, double pixel) const {
  painter.save();
  painter.translate(area.topLeft());
  painter.scale(pixel, pixel);
  const QRectF logical(0, 0, area.width() / pixel, area.height() / pixel);
  Draw(painter, Lay(logical, {}), {}, false);
  painter.restore();
}

QImage ChartView::ToImage(const QSize& size, const QStringList& title) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QRectF area(QPointF(0, 0), QSizeF(size));
  Draw(painter, Lay(area, title), title, false);
  return image;
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  Draw(painter, Lay(QRectF(rect()), {}), {}, hasFocus());
}

bool ChartView::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const QString tip = TipAt(help->pos());
    if (tip.isEmpty()) {
      QToolTip::hideText();
      e->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
  }
  return QWidget::event(e);
}

void ChartView::ShowCurrentTip() {
  const QRectF at = FigureRect(current_);
  const QPoint point = at.isNull() ? rect().center() : QPoint(int(at.center().x()), int(at.top()));
  QToolTip::showText(mapToGlobal(point), PeriodTip(current_), this);
}

void ChartView::keyPressEvent(QKeyEvent* e) {
  const int n = static_cast<int>(figures_.periods.size());
  const int at = current_ < 0 ? n : current_;
  int to = -2;
  switch (e->key()) {
    case Qt::Key_Left: to = at - 1; break;
    case Qt::Key_Right: to = current_ < 0 ? n - 1 : at + 1; break;
    case Qt::Key_Home: to = 0; break;
    case Qt::Key_End: to = n - 1; break;
    case Qt::Key_PageUp: to = at - kPageStep; break;
    case Qt::Key_PageDown: to = current_ < 0 ? n - 1 : at + kPageStep; break;
    default: QWidget::keyPressEvent(e); return;
  }
  if (n == 0) return;
  SetCurrentPeriod(to);
  ShowCurrentTip();
}

void ChartView::mousePressEvent(QMouseEvent* e) {
  const Layout l = Lay(QRectF(rect()), {});
  if (const int period = PeriodAt(l, e->position().x()); period >= 0 && l.plot.contains(e->position())) {
    SetCurrentPeriod(period);
  }
  QWidget::mousePressEvent(e);
}

void ChartView::focusInEvent(QFocusEvent* e) {
  if (current_ < 0 && !figures_.periods.empty()) SetCurrentPeriod(static_cast<int>(figures_.periods.size()) - 1);
  QWidget::focusInEvent(e);
  update();
}

}  // namespace kestrova::gui
