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

#include "gui/stats/chart_layout.h"

namespace kestrova::gui {
namespace {

using chart::Count;
using chart::kPad;
using chart::Money;
using chart::Utf8;

constexpr int kPageStep = 10;  // periods that Page Up and Page Down move

}  // namespace

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

int ChartView::PeriodAt(const Layout& l, double x) const {
  if (l.periods == 0 || x < l.plot.left() || x >= l.plot.right()) return -1;
  return std::clamp(static_cast<int>((x - l.plot.left()) / l.slot), 0, l.periods - 1);
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
