#pragma once

// The chart's drawing, shared by its two source files: where everything
// goes in an area, and a few texts.
#include <QFont>
#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/text/currency.h"
#include "gui/stats/chart_view.h"

namespace kestrova::gui::chart {

inline constexpr double kPad = 8;

inline QString Utf8(const std::string& s) { return QString::fromStdString(s); }

inline QString Count(std::int64_t n) { return QLocale(QLocale::English, QLocale::UnitedStates).toString(qlonglong(n)); }

inline QString Money(std::int64_t value) { return Utf8(text::FormatCurrency(value)); }

}  // namespace kestrova::gui::chart

namespace kestrova::gui {

struct ChartView::Layout {
  QFont font;
  QFont bold;
  double line = 12;  // a line of text
  QRectF area;
  double titleTop = chart::kPad;
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

}  // namespace kestrova::gui
