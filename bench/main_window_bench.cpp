// How much the main window adds to the core: opening it on a folder (the
// list shown), showing a selected report, and a phrase search, each next to
// the core function's own time, in one run. The search runs as the user
// starts it, so its time includes opening and closing the search dialog.
// The chart window counts on a thread of its own: its first line is how long
// opening it holds the window's thread, its second when the figures show.
//
//   QT_QPA_PLATFORM=offscreen kestrova_window_bench --dir FOLDER
//
// The folder should hold many reports (kestrova-cli generate --count 50000).

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <iostream>

#include "core/reports/data_file.h"
#include "core/reports/report_list.h"
#include "core/stats/counts_over_time.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/search/frm_find.h"
#include "gui/session/session.h"
#include "gui/stats/frm_chart.h"
#include "gui/ui/frm_msg_box.h"
#include "gui/ui/zel_button.h"
#include "gui/window_flow.h"
#include "platform/clock.h"

using namespace kestrova;

namespace {

double Ms(QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// Each measured step runs on the window's own thread without returning to
// the event loop, so its time is also how long the window is unresponsive.
template <class F>
double Time(F f) {
  QElapsedTimer t;
  t.start();
  f();
  return Ms(t);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  std::filesystem::path dir;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) dir = argv[++i];
  }
  if (dir.empty()) {
    std::cerr << "usage: kestrova_window_bench --dir FOLDER\n";
    return 2;
  }
  // The desktop's stand-ins: nothing is asked, played or stored.
  gui::Desktop desktop;
  desktop.settings = std::make_unique<platform::MemorySettingsStore>();
  desktop.shell = std::make_unique<platform::FakeShell>();
  desktop.sound = std::make_unique<platform::FakeSoundPlayer>();
  desktop.inputBox = std::make_unique<platform::ScriptedInputBox>();
  desktop.systemMessage = std::make_unique<platform::FakeSystemMessage>();
  desktop.messages = std::make_unique<gui::DialogMessageAnswerer>(*desktop.sound, *desktop.systemMessage);
  desktop.clock = std::make_unique<platform::SystemClock>();
  desktop.filePicker = std::make_unique<platform::ScriptedFilePicker>();
  desktop.folderPicker = std::make_unique<platform::ScriptedFolderPicker>();
  desktop.http = std::make_unique<platform::ScriptedHttpFetch>();
  desktop.printing = std::make_unique<platform::RecordingPrinting>();
  gui::Session session(dir, std::move(desktop));
  session.signIn = {"Bench Mark", users::AccessLevel::FullAccess};
  session.endProgram = [] {};
  gui::WindowFlow flow(session);

  // Warm the page cache and the allocator once.
  (void)reports::BuildReportList(dir, {});

  reports::ListRequest full;
  const double coreList = Time([&] { (void)reports::BuildReportList(dir, full); });
  gui::frmMain* main = nullptr;
  const double windowOpen = Time([&] {
    main = flow.OpenMainWindow();
    // Opened as the user meets it: active, its first activation done.
    main->activateWindow();
    (void)QTest::qWaitForWindowActive(main);
    QCoreApplication::processEvents();
  });
  auto& list = *main->findChild<gui::ReportListPanel*>(QStringLiteral("reportList"));
  std::cout << "rows: " << list.model().rows().size() << "\n";

  const int recNum = list.selectedRecordNumber();
  const double coreRead = Time([&] {
    reports::DataFile data(dir);
    (void)data.OpenDataFile(reports::DataFileAccess::Read);
    (void)data.ReadRecord(recNum);
  });
  const double windowRow = Time([&] { list.grid()->setCurrentIndex(list.model().index(list.currentRow() - 2, 0)); });

  reports::ListRequest phrase;
  phrase.flags = {false, true, false};
  phrase.criteria = {"suspect", 1, 1, 0, 0};
  (void)reports::BuildReportList(dir, phrase);  // warm the pages this search reads
  const double corePhrase = Time([&] { (void)reports::BuildReportList(dir, phrase); });
  // The search as the user starts it: the dialog takes the phrase and Find.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* find = qobject_cast<gui::frmFind*>(QApplication::activeModalWidget());
    if (!find || !find->isActiveWindow()) return;
    answer.stop();
    QCoreApplication::processEvents();  // the dialog's first activation
    find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"))->setText(QStringLiteral("suspect"));
    QTest::mouseClick(find->findChild<gui::ZelButton*>(QStringLiteral("cmdFind")), Qt::LeftButton);
  });
  answer.start(1);
  const double windowPhrase = Time(
      [&] { QTest::mouseClick(main->findChild<gui::ZelButton*>(QStringLiteral("cmdFindEntries")), Qt::LeftButton); });

  // The chart of the full list, by month of the date entered.
  (void)stats::CountOverTime(dir, {});
  const double coreChart = Time([&] { (void)stats::CountOverTime(dir, {}); });
  gui::ChartSubject chartOf;
  chartOf.listName = QStringLiteral("All Active Reports");
  QElapsedTimer chartClock;
  chartClock.start();
  gui::frmChart* chart = flow.OpenChartWindow(main, chartOf);
  QCoreApplication::processEvents();
  const double chartOpen = Ms(chartClock);
  if (!QTest::qWaitFor([&] { return !chart->counting(); }, 600000)) std::cerr << "the chart was not counted\n";
  chart->repaint();
  const double chartShown = Ms(chartClock);

  std::cout << "                         core ms   window ms   added ms\n";
  const auto line = [](const char* what, double core, double window) {
    std::printf("%-24s %8.1f   %9.1f   %8.1f\n", what, core, window, window - core);
  };
  line("open: list shown", coreList, windowOpen);
  line("row: report shown", coreRead, windowRow);
  line("phrase search (kind 1)", corePhrase, windowPhrase);
  line("chart: window open", 0, chartOpen);
  line("chart: figures shown", coreChart, chartShown);
  session.exiting = true;
  main->close();
  return 0;
}
