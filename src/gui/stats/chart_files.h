#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "core/stats/counts_over_time.h"
#include "platform/print_job.h"
#include "platform/printing.h"

// A chart kept as a picture, a printable page or a table: each file is
// written whole under its name or not at all.
namespace kestrova::gui {

class ChartView;

inline constexpr QSize kChartPictureSize{1200, 700};

// A PNG picture of the chart below its title lines. False with `error`
// set when the file could not be written.
bool SaveChartPng(const ChartView& view, const QString& path, const QStringList& title, QString& error,
                  QSize size = kChartPictureSize);

// The figures as a CSV table in UTF-8, after a byte-order mark so that a
// spreadsheet reads accented group names right.
bool SaveChartCsv(const stats::TimeFigures& figures, const QString& path, QString& error);

// The chart on one Letter page, drawn as lines and shapes, below its title
// lines (the first bold), through the printouts' PDF path.
platform::PrintOutcome SaveChartPdf(platform::Printing& printing, const platform::PrintTarget& target,
                                    const ChartView& view, const std::vector<std::string>& title);

}  // namespace kestrova::gui
