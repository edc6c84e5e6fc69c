// Printouts into PDF files on generated reports: a report with a narrative
// of 16,000 characters, and the full Active list (tens of thousands of
// rows, hundreds of pages). For each, the time, the pages, the file's size,
// the longest stretch between two progress calls (the window answers at
// each of them, so that is the longest it does not answer), and the peak
// resident memory before and after, with the list also printed in part so
// that growth with the page count shows.
//
//   kestrova_print_bench [--count N] [--dir FOLDER] [--out FOLDER]
//
// Without --dir the reports are generated into a temporary folder, which is
// removed afterwards. The default count is 50000 (about 1 GB). --out keeps
// the printouts there, to be looked at.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>

#include "bench/bench_folder.h"
#include "core/output/list_printout.h"
#include "core/output/report_printout.h"
#include "core/reports/data_file.h"
#include "core/reports/report_display.h"
#include "core/reports/report_list.h"
#include "core/text/fixed_text.h"
#include "platform/print_job.h"

using namespace kestrova;

namespace {

struct Measured {
  double ms = 0;
  double longestGapMs = 0;
  int pages = 0;
  qint64 bytes = 0;
};

Measured Print(const QString& path, const std::function<void(output::PrintCursor&)>& layout) {
  platform::QtPrinting printing;
  QElapsedTimer total;
  QElapsedTimer gap;
  Measured m;
  total.start();
  gap.start();
  const auto outcome =
      platform::RunPrintout(printing, {.pdfPath = path}, {{.title = QStringLiteral("bench"), .layout = layout}},
                            [&](const platform::PrintProgress& p) {
                              m.longestGapMs = std::max(m.longestGapMs, gap.nsecsElapsed() / 1e6);
                              m.pages = p.page;
                              gap.restart();
                              return true;
                            });
  // The end of the document (and its rename) also keeps the window waiting.
  m.longestGapMs = std::max(m.longestGapMs, gap.nsecsElapsed() / 1e6);
  m.ms = total.nsecsElapsed() / 1e6;
  if (outcome.kind != platform::PrintOutcome::Kind::Printed) {
    std::cerr << "printout failed: " << outcome.error.toStdString() << "\n";
    std::exit(1);
  }
  m.bytes = QFileInfo(outcome.files.value(0)).size();
  return m;
}

// The resident memory now and at its highest since the last reset, in KB
// (Linux: /proc/self/status; a reset writes "5" to /proc/self/clear_refs).
long StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(key)) return std::stol(line.substr(std::strlen(key)));
  }
  return -1;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void Show(const char* what, const Measured& m, long rssBeforeKb) {
  std::cout << what << ": " << m.ms << " ms, " << m.pages << " pages, " << m.bytes / 1024 << " KB, longest gap "
            << m.longestGapMs << " ms, resident " << rssBeforeKb / 1024 << " MB before, peak while printing "
            << StatusKb("VmHWM:") - rssBeforeKb << " KB above it\n";
}

template <class F>
void Measure(const char* what, F print) {
  ResetPeak();
  const long before = StatusKb("VmRSS:");
  const Measured m = print();
  Show(what, m, before);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  bench::BenchFolder folder = bench::PrepareFolder(argc, argv, "kestrova-print-bench-");
  if (folder.dir.empty()) return 1;
  QTemporaryDir temporaryOut;
  QDir out(temporaryOut.path());
  for (std::size_t i = 1; i + 1 < folder.rest.size(); ++i) {
    if (std::strcmp(folder.rest[i], "--out") == 0) out.setPath(QString::fromLocal8Bit(folder.rest[i + 1]));
  }

  reports::DataFile file(folder.dir);
  if (!file.OpenDataFile(reports::DataFileAccess::Read).ok()) return 1;
  const auto record = file.ReadRecord(1);
  (void)file.CloseDataFile();
  if (!record.ok()) return 1;
  auto shown = reports::FieldTexts(*record);
  std::string narrative =
      shown[44].empty() ? std::string("The reporting person saw two people at the gate. ") : shown[44] + "\r\n";
  while (shown[44].size() < 16000) shown[44] += narrative;
  shown[44].resize(16000);
  const time::DateTime now{2026, 12, 6, 14, 5, 9};
  for (int i = 0; i < 3; ++i) {
    Measure("Report, 16,000-character narrative", [&] {
      return Print(out.filePath(QStringLiteral("report-%1.pdf").arg(i)), [&](output::PrintCursor& c) {
        output::PrintReport(c, shown, {.applicationTitle = "Kestrova", .printedAt = now, .narrative = true});
      });
    });
  }

  QElapsedTimer listTime;
  listTime.start();
  const auto list = reports::BuildReportList(folder.dir, {});
  if (!list.ok()) return 1;
  std::cout << "Active list: " << list->rows.size() << " rows, built in " << listTime.elapsed() << " ms\n";
  const auto printList = [&](std::size_t rows, const QString& name) {
    const std::span<const reports::ListRow> part(list->rows.data(), std::min(rows, list->rows.size()));
    const output::ListPrintout printout{
        list->caption, {"Case Number", "Date Entered", list->rightColumnHeading}, part, output::GeneralDateTime(now)};
    return Print(out.filePath(name), [&](output::PrintCursor& c) { output::PrintList(c, printout); });
  };
  Measure("List, first 1,000 rows", [&] { return printList(1000, QStringLiteral("list-1000.pdf")); });
  Measure("List, first 10,000 rows", [&] { return printList(10000, QStringLiteral("list-10000.pdf")); });
  Measure("List, every row", [&] { return printList(list->rows.size(), QStringLiteral("list-all.pdf")); });
  Measure("List, every row again", [&] { return printList(list->rows.size(), QStringLiteral("list-again.pdf")); });
  if (folder.temporary) std::filesystem::remove_all(folder.dir);
  return 0;
}
