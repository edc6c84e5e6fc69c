#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "core/stats/figures_text.h"
#include "gui/search/date_picker.h"
#include "gui/search/frm_find.h"
#include "gui/stats/chart_files.h"
#include "gui/stats/frm_chart.h"
#include "support/main_window_fixture.h"
#include "support/qt_print.h"

namespace kestrova::testing {
namespace {

using gui::frmChart;
using gui::frmMain;

class ChartWindowTest : public MainWindowFixture {
 protected:
  // A report entered on a day of its own.
  reports::ReportRecord On(const std::string& caseNumber, time::DateTime entered,
                           std::uint8_t list = reports::kActiveList) {
    reports::ReportRecord r = Report(caseNumber, 1, list);
    r.DateEntered = time::ToOleDate(entered);
    return r;
  }
  // "Chart this list..." chosen in the menu of "Print this list...", opened
  // by a right click or (keyboard) by the menu key; the chart once counted.
  frmChart* ChartFromMenu(frmMain* m, bool keyboard = false) {
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu || menu->objectName() != QStringLiteral("menuPrintList")) return;
      chooser.stop();
      auto* chart = menu->findChild<QAction*>(QStringLiteral("mnuChartList"));
      EXPECT_EQ(chart->text(), QStringLiteral("Chart this list..."));
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chart).center());
    });
    chooser.start(5);
    auto* print = Cmd(m, "cmdPrintList");
    if (keyboard) {
      print->setFocus();
      QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2), print->mapToGlobal(QPoint(2, 2)));
      QApplication::sendEvent(print, &menuKey);
    } else {
      RightClick(m, "cmdPrintList");
    }
    auto* chart = FindWindow<frmChart>();
    if (chart) Counted(chart);
    return chart;
  }
  static void Counted(frmChart* chart) {
    EXPECT_TRUE(QTest::qWaitFor([chart] { return !chart->counting(); }, 10000));
    QCoreApplication::processEvents();
  }
  static QTableWidget* Table(frmChart* c) { return c->findChild<QTableWidget*>(QStringLiteral("tblFigures")); }
  static QString At(frmChart* c, int row, int column) {
    const QTableWidgetItem* item = Table(c)->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
  }
  static QString Status(frmChart* c) { return c->findChild<QLabel*>(QStringLiteral("lblStatus"))->text(); }
  std::size_t CountLines(const std::string& text) {
    const std::string log = ReadFileBytes(g.folder / "Search.Log");
    std::size_t n = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }
};

TEST_F(ChartWindowTest, TheFullListChartedFromTheMenuChangedByKeyboardSavedAndCountedAgain) {
  Add(On("a", {2024, 1, 5, 9, 0, 0}));
  Add(On("b", {2024, 1, 20, 9, 0, 0}));
  Add(On("c", {2024, 3, 3, 9, 0, 0}));
  Add(On("archived", {2024, 2, 2, 9, 0, 0}, reports::kInactiveList));
  frmMain* m = Open();
  frmChart* c = ChartFromMenu(m);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->windowTitle(), QStringLiteral("Chart of All Active Reports (3)"));
  // Months of the list's whole range, the empty one too; the archived
  // report is not in this list.
  ASSERT_EQ(Table(c)->rowCount(), 3);
  EXPECT_EQ(At(c, 0, 0), QStringLiteral("January 2024"));
  EXPECT_EQ(At(c, 0, 1), QStringLiteral("2"));
  EXPECT_EQ(At(c, 1, 1), QStringLiteral("0"));
  EXPECT_EQ(At(c, 2, 1), QStringLiteral("1"));
  EXPECT_EQ(c->findChild<QDateEdit*>(QStringLiteral("dtpFrom"))->date(), QDate(2024, 1, 5));
  EXPECT_EQ(c->findChild<QDateEdit*>(QStringLiteral("dtpTo"))->date(), QDate(2024, 3, 3));
  EXPECT_EQ(Status(c), QStringLiteral("3 reports."));
  EXPECT_EQ(CountLines("searched for Monthly Chart starting 01/05/2024 through 03/03/2024"), 1U);

  // Quarters, chosen with the keyboard: one period of three reports.
  auto* period = c->findChild<QComboBox*>(QStringLiteral("cboPeriod"));
  period->setFocus();
  QTest::keyClick(period, Qt::Key_Down);
  Counted(c);
  ASSERT_EQ(Table(c)->rowCount(), 1);
  EXPECT_EQ(At(c, 0, 0), QStringLiteral("Q1 2024"));
  EXPECT_EQ(At(c, 0, 1), QStringLiteral("3"));

  // The three files, and a name that is none of them.
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("c.png")), csv = dir.filePath(QStringLiteral("c.csv")),
                pdf = dir.filePath(QStringLiteral("c.pdf"));
  g.filePicker->chartAnswers = {png, csv, pdf, dir.filePath(QStringLiteral("c.txt"))};
  for (int i = 0; i < 3; ++i) Click(c, "cmdSaveAs");
  EXPECT_TRUE(g.filePicker->proposed.first().startsWith(QStringLiteral("chart-")));
  EXPECT_EQ(QImage(png).size(), gui::kChartPictureSize);
  stats::CountRequest quarters;
  quarters.period = stats::Period::Quarter;
  const auto figures = stats::CountOverTime(g.folder.path(), quarters);
  ASSERT_TRUE(figures.ok());
  EXPECT_EQ(ReadFileBytes(csv.toStdString()), "\xEF\xBB\xBF" + stats::FiguresCsv(*figures));
  EXPECT_EQ(PdfPages(pdf), 1);
  EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("All Active Reports (3)")));
  EXPECT_TRUE(
      PdfText(pdf).contains(QStringLiteral("Reports by quarter of Date Entered, 01/05/2024 through 03/03/2024")));
  g.messages->Press(1);
  Click(c, "cmdSaveAs");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Chart Not Saved"));
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("c.txt"))));

  // Another workstation adds a report: the chart says so and counts again
  // when asked. Changing the chart logged nothing more.
  Elsewhere([&] { return reports::AppendReport(g.folder.path(), On("d", {2024, 4, 1, 9, 0, 0})).ok(); });
  auto* watch = c->findChild<QTimer*>(QStringLiteral("timerFolderCheck"));
  watch->setInterval(1);
  EXPECT_TRUE(QTest::qWaitFor([c] { return c->findChild<QLabel*>(QStringLiteral("lblChanged"))->isVisible(); }));
  EXPECT_EQ(Table(c)->rowCount(), 1) << "nothing recounted unasked";
  Click(c, "cmdRecount");
  Counted(c);
  EXPECT_FALSE(c->findChild<QLabel*>(QStringLiteral("lblChanged"))->isVisible());
  ASSERT_EQ(Table(c)->rowCount(), 2);
  EXPECT_EQ(At(c, 1, 0), QStringLiteral("Q2 2024"));
  EXPECT_EQ(CountLines("Chart starting"), 1U);
}

TEST_F(ChartWindowTest, ASummarysRowsChartedByKeyboardAndASpanTooLongRefused) {
  Add(On("in", {2010, 3, 8, 0, 0, 0}));
  Add(On("in too", {2010, 3, 3, 12, 0, 0}));
  Add(On("out", {2010, 3, 8, 0, 1, 0}));
  Add(On("other", {2011, 1, 1, 0, 0, 0}));
  frmMain* m = Open();
  g.messages->Press(1);
  WhenModalOpens<gui::frmFind>([](gui::frmFind* find) {
    testing::Activate(find);
    find->findChild<QRadioButton*>(QStringLiteral("optFind17"))->click();
    find->findChild<QDateEdit*>(QStringLiteral("calPickDate"))->setDate(QDate(2010, 3, 1));
    DropAndCloseCalendar(find->findChild<gui::DatePicker*>(QStringLiteral("calPickDate")));
    Click(find, "cmdFind");
  });
  Click(m, "cmdFindEntries");
  ASSERT_TRUE(m->listFlags().SummaryActive);
  frmChart* c = ChartFromMenu(m, true);
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->windowTitle().startsWith(QStringLiteral("Chart of Weekly Summary of reports")));
  // Only the summary's two rows are counted, not "out" or "other".
  ASSERT_EQ(Table(c)->rowCount(), 1);
  EXPECT_EQ(At(c, 0, 0), QStringLiteral("March 2010"));
  EXPECT_EQ(At(c, 0, 1), QStringLiteral("2"));
  EXPECT_EQ(Status(c), QStringLiteral("2 reports."));

  // "in too" deleted elsewhere moves the record numbers up: counting again
  // finds the summary's reports afresh rather than counting "out".
  Elsewhere([&] {
    const auto r = reports::ReadReport(g.folder.path(), 2);
    return r.ok() && reports::DeleteReport(g.folder.path(), {2, r->ControlNumber, r->CaseNumber}, nullptr).ok();
  });
  c->findChild<QTimer*>(QStringLiteral("timerFolderCheck"))->setInterval(1);
  EXPECT_TRUE(QTest::qWaitFor([c] { return c->findChild<QLabel*>(QStringLiteral("lblChanged"))->isVisible(); }));
  Click(c, "cmdRecount");
  Counted(c);
  EXPECT_EQ(Status(c), QStringLiteral("1 report."));

  // By day from 1950: refused with its reason, nothing drawn.
  c->findChild<QComboBox*>(QStringLiteral("cboPeriod"))->setCurrentIndex(0);
  Counted(c);
  c->findChild<QDateEdit*>(QStringLiteral("dtpFrom"))->setDate(QDate(1950, 1, 1));
  EXPECT_TRUE(QTest::qWaitFor([c] { return Status(c).contains(QStringLiteral("more than a chart can show")); }));
  EXPECT_EQ(Table(c)->rowCount(), 0);
  // Back to the whole list's range.
  Click(c, "cmdWholeSpan");
  Counted(c);
  ASSERT_EQ(Table(c)->rowCount(), 1);
  EXPECT_EQ(At(c, 0, 0), QStringLiteral("03/08/2010"));
  EXPECT_EQ(At(c, 0, 1), QStringLiteral("1"));
  // Escape closes the window.
  c->activateWindow();
  QPointer<frmChart> alive(c);
  QTest::keyClick(c, Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return alive.isNull() || !alive->isVisible(); }));
}

}  // namespace
}  // namespace kestrova::testing
