#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "core/stats/figures_text.h"
#include "gui/stats/chart_files.h"
#include "gui/stats/chart_view.h"
#include "platform/printing.h"
#include "support/qt_print.h"

namespace kestrova::gui {
namespace {

using stats::Figure;
using stats::PeriodFigures;
using stats::TimeFigures;

// Three months: 2, 0 and 4 reports; split, two groups.
TimeFigures Months(bool split) {
  TimeFigures f;
  f.period = stats::Period::Month;
  f.span = stats::Span{{2024, 1, 1}, {2024, 3, 31}};
  f.periods = {PeriodFigures{{2024, 1, 1}, {2, 50000}, {}}, PeriodFigures{{2024, 2, 1}, {0, 0}, {}},
               PeriodFigures{{2024, 3, 1}, {4, 12345600}, {}}};
  if (split) {
    f.split = stats::Split::Violations;
    f.groups = {"Burglary", "Theft, petty"};
    f.periods[0].groups = {{1, 0}, {1, 50000}};
    f.periods[1].groups = {{0, 0}, {0, 0}};
    f.periods[2].groups = {{3, 12345600}, {1, 0}};
    f.noDateGroups = {{0, 0}, {0, 0}};
  }
  return f;
}

bool Near(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 24;
}

bool HasColor(const QImage& image, const QColor& color) {
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2) {
      if (Near(image.pixelColor(x, y), color)) return true;
    }
  }
  return false;
}

TEST(ChartView, BarsStandAsHighAsTheirFiguresAndStackTheirGroups) {
  ChartView view;
  view.resize(480, 320);
  view.SetFigures(Months(false));
  const QImage plain = view.ToImage(view.size());
  const QRectF jan = view.FigureRect(0), mar = view.FigureRect(2);
  ASSERT_FALSE(jan.isEmpty());
  EXPECT_TRUE(view.FigureRect(1).isEmpty()) << "an empty period has no bar";
  EXPECT_NEAR(mar.height(), 2 * jan.height(), 1.0);
  EXPECT_NEAR(mar.bottom(), jan.bottom(), 0.5);
  const QColor bar = ChartView::GroupColor(-1);
  EXPECT_TRUE(Near(plain.pixelColor(jan.center().toPoint()), bar));
  EXPECT_TRUE(Near(plain.pixelColor(int(mar.center().x()), int(mar.top()) + 2), bar));
  EXPECT_FALSE(Near(plain.pixelColor(int(mar.center().x()), int(mar.top()) - 3), bar));
  const QPoint february(int((jan.center().x() + mar.center().x()) / 2), int(jan.bottom() - jan.height() / 4));
  EXPECT_EQ(plain.pixelColor(february), QColor(Qt::white));

  view.SetFigures(Months(true));
  const QImage split = view.ToImage(view.size());
  const QRectF burglary = view.FigureRect(2, 0), theft = view.FigureRect(2, 1);
  EXPECT_NEAR(theft.bottom(), burglary.top(), 0.5) << "the second group sits on the first";
  EXPECT_NEAR(burglary.height(), 3 * theft.height(), 1.0);
  EXPECT_TRUE(Near(split.pixelColor(burglary.center().toPoint()), ChartView::GroupColor(0)));
  EXPECT_TRUE(Near(split.pixelColor(theft.center().toPoint()), ChartView::GroupColor(1)));
  EXPECT_NEAR(view.FigureRect(2).height(), burglary.height() + theft.height(), 0.5);
  EXPECT_NEAR(view.FigureRect(2).height(), 2 * view.FigureRect(0).height(), 1.0) << "as high as the count";

  view.SetMeasure(stats::Measure::Value);
  EXPECT_NEAR(view.FigureRect(0, 1).height() * 12345600 / 50000, view.FigureRect(2, 0).height(), 2.0);

  view.SetMeasure(stats::Measure::Reports);
  view.SetStyle(ChartView::Style::Lines);
  const QImage lines = view.ToImage(view.size());
  EXPECT_TRUE(Near(lines.pixelColor(view.FigureRect(2, 0).center().toPoint()), ChartView::GroupColor(0)));
  EXPECT_TRUE(Near(lines.pixelColor(view.FigureRect(0, 1).center().toPoint()), ChartView::GroupColor(1)));
}

TEST(ChartView, TipsAndTheKeyboardGiveTheExactNumbers) {
  ChartView view;
  view.resize(480, 320);
  view.SetFigures(Months(true));
  EXPECT_EQ(view.TipAt(view.FigureRect(2, 1).center()),
            QStringLiteral("March 2024\n4 reports, property value 1,234.56\nBurglary: 3 reports, 1,234.56\n"
                           "Theft, petty: 1 report, 0.00"));
  EXPECT_EQ(view.TipAt(QPointF(view.FigureRect(0).center().x(), 2)), QString()) << "above the plot";

  QSignalSpy moved(&view, &ChartView::currentPeriodChanged);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.setFocus();
  QTRY_VERIFY(view.hasFocus());
  EXPECT_EQ(view.currentPeriod(), 2) << "the keyboard starts on the latest period";
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_EQ(view.currentPeriod(), 1);
  EXPECT_EQ(view.accessibleDescription(), QStringLiteral("February 2024\n0 reports, property value 0.00"));
  QTest::keyClick(&view, Qt::Key_Home);
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_EQ(view.currentPeriod(), 0);
  QTest::keyClick(&view, Qt::Key_End);
  EXPECT_EQ(view.currentPeriod(), 2);
  EXPECT_EQ(moved.count(), 4);
}

TEST(ChartView, SavedAsPngCsvAndAOnePagePdf) {
  QTemporaryDir dir;
  ChartView view;
  view.SetFigures(Months(true));
  const std::vector<std::string> title =
      stats::ChartTitle("All Active Reports (6)", view.figures(), stats::Measure::Reports, {2026, 3, 5, 14, 5, 9});
  QString error;

  const QString png = dir.filePath(QStringLiteral("chart.png"));
  ASSERT_TRUE(SaveChartPng(view, png, {QString::fromStdString(title[0])}, error)) << error.toStdString();
  const QImage picture(png);
  EXPECT_EQ(picture.size(), kChartPictureSize);
  EXPECT_TRUE(HasColor(picture, ChartView::GroupColor(1)));

  const QString csv = dir.filePath(QStringLiteral("chart.csv"));
  ASSERT_TRUE(SaveChartCsv(view.figures(), csv, error)) << error.toStdString();
  QFile table(csv);
  ASSERT_TRUE(table.open(QIODevice::ReadOnly));
  EXPECT_EQ(table.readAll().toStdString(), "\xEF\xBB\xBF" + stats::FiguresCsv(view.figures()));
  EXPECT_FALSE(SaveChartCsv(view.figures(), dir.filePath(QStringLiteral("missing/chart.csv")), error));
  EXPECT_TRUE(error.contains(QStringLiteral("could not be saved"))) << error.toStdString();

  const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
  platform::QtPrinting printing;
  const platform::PrintOutcome outcome = SaveChartPdf(printing, {.pdfPath = pdf}, view, title);
  ASSERT_EQ(outcome.kind, platform::PrintOutcome::Kind::Printed) << outcome.error.toStdString();
  EXPECT_EQ(testing::PdfPages(pdf), 1);
  EXPECT_TRUE(testing::RunTool(QStringLiteral("pdfinfo"), {pdf}).contains(QStringLiteral("612 x 792 pts (letter)")));
  const QString text = testing::PdfText(pdf);
  for (const std::string& line : title) EXPECT_TRUE(text.contains(QString::fromStdString(line))) << line;
  EXPECT_TRUE(text.contains(QStringLiteral("Mar 2024"))) << "the axis is text, not a picture";
  testing::RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), pdf,
                                                dir.filePath(QStringLiteral("page"))});
  const QImage page(dir.filePath(QStringLiteral("page-1.png")));
  ASSERT_FALSE(page.isNull());
  EXPECT_TRUE(HasColor(page, ChartView::GroupColor(0)));
  EXPECT_TRUE(testing::RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).count(QLatin1Char('\n')) <=
              2)
      << "no pictures in it";
}

}  // namespace
}  // namespace kestrova::gui
