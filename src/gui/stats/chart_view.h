#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "core/stats/counts_over_time.h"
#include "core/stats/figures_text.h"

namespace kestrova::gui {

// Reports over time as a chart that draws itself: a bar per period (its
// groups stacked when the figures are split) or a line per series, with
// axes, a legend and tool-tips that give the exact numbers. It takes the
// keyboard: Left and Right (Home, End, Page Up, Page Down) walk the periods
// and show each one's numbers. The same drawing goes on screen, into
// pictures and onto printed pages.
class ChartView : public QWidget {
  Q_OBJECT

 public:
  enum class Style { Bars, Lines };

  explicit ChartView(QWidget* parent = nullptr);

  void SetFigures(stats::TimeFigures figures);
  const stats::TimeFigures& figures() const { return figures_; }
  void SetStyle(Style style);
  Style style() const { return style_; }
  void SetMeasure(stats::Measure measure);
  stats::Measure measure() const { return measure_; }

  // The period the keyboard is on; -1 for none.
  int currentPeriod() const { return current_; }
  void SetCurrentPeriod(int period);

  // Where a period's figure is drawn in the widget: one group's part of it,
  // or with group -1 the whole bar (for lines, the point of the total or of
  // the group). Empty when nothing of it shows.
  QRectF FigureRect(int period, int group = -1) const;
  // The exact numbers of the period under a point, as its tool-tip shows
  // them; empty away from the periods.
  QString TipAt(const QPointF& at) const;
  QString PeriodTip(int period) const;

  // The chart alone on a white picture of `size` pixels, below the title
  // lines (the first one bold) when there are any.
  QImage ToImage(const QSize& size, const QStringList& title = {}) const;
  // Paints the chart into `area` of any device; `pixel` is how many of the
  // device's units stand for one screen pixel.
  void Render(QPainter& painter, const QRectF& area, double pixel = 1) const;

  // The colour of a group's bars and line (-1: of an unsplit chart).
  static QColor GroupColor(int group, bool other = false);
  QColor SeriesColor(int group) const;

  QSize sizeHint() const override { return {720, 400}; }
  QSize minimumSizeHint() const override { return {240, 160}; }

 signals:
  void currentPeriodChanged(int period);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  struct Layout;
  Layout Lay(const QRectF& area, const QStringList& title) const;
  void Draw(QPainter& painter, const Layout& layout, const QStringList& title, bool focused) const;
  double Amount(const stats::Figure& figure) const;
  int PeriodAt(const Layout& layout, double x) const;
  QRectF BarRect(const Layout& layout, int period, int group) const;
  void ShowCurrentTip();

  stats::TimeFigures figures_;
  Style style_ = Style::Bars;
  stats::Measure measure_ = stats::Measure::Reports;
  int current_ = -1;
};

}  // namespace kestrova::gui
