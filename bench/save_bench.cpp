// Saves as the main window makes them, timed one by one: a new report
// appended and its "added" line logged, and an edit (the report read, then
// rewritten where its bytes are now) with its "edited" line, with the
// window's look at the folder's stamp before and after each write. Meant
// for a folder on a network mount, where every call is a round trip; run it
// under `strace -c -f` with two counts to find the calls one save makes.
//
//   kestrova_save_bench --dir FOLDER [--saves N] [--kind append|edit|both]
//
// FOLDER must hold a data file (kestrova-cli generate); the appended
// reports stay in it. An edit rewrites the report with what it holds, so
// every edit finds it where it was read.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

#include "cli/report_generator.h"
#include "core/files/data_folder.h"
#include "core/files/folder_events.h"
#include "core/logs/activity_log.h"
#include "core/network/change_watch.h"
#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"

namespace {

using namespace kestrova;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path dir;
  int saves = 20;
  std::string kind = "both";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
      dir = argv[++i];
    } else if (std::strcmp(argv[i], "--saves") == 0 && i + 1 < argc) {
      saves = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--kind") == 0 && i + 1 < argc) {
      kind = argv[++i];
    } else {
      std::cerr << "usage: kestrova_save_bench --dir FOLDER [--saves N] [--kind append|edit|both]\n";
      return 2;
    }
  }
  if (dir.empty() || !std::filesystem::exists(dir / reports::kDataFileName)) {
    std::cerr << "kestrova_save_bench: --dir needs a folder with a data file\n";
    return 2;
  }
  // What the main window does around its own writes: it reads the stamp.
  struct StampReader : files::WriteObserver {
    void AboutToWrite(const std::filesystem::path& f) override { (void)network::ReadDataStamp(f); }
    void Committed(const std::filesystem::path& f) override { (void)network::ReadDataStamp(f); }
  } stamps;
  files::RecordFileOptions options;
  options.observer = &stamps;
  const files::DataFolder folder(dir, options);
  const time::DateTime now{2026, 12, 7, 9, 30, 0};

  cli::ReportGenerator generator(77);
  std::vector<double> appends, edits;
  if (kind != "edit") {
    for (int i = 0; i < saves; ++i) {
      reports::ReportRecord r = generator.Next();
      const auto start = Clock::now();
      auto n = reports::AppendReport(folder, r);
      if (!n.ok() || !logs::LogRecordChange(dir, now, logs::kAdded, r, "Bench Mark").ok()) {
        std::cerr << "kestrova_save_bench: the append failed: " << (n.ok() ? "the log" : n.message()) << "\n";
        return 1;
      }
      appends.push_back(Ms(start));
    }
  }
  if (kind != "append") {
    // The report shown, read once; each save rewrites it where it is.
    auto shown = reports::ReadStoredReport(dir, 1);
    if (!shown.ok()) {
      std::cerr << "kestrova_save_bench: " << shown.message() << "\n";
      return 1;
    }
    for (int i = 0; i < saves; ++i) {
      const auto start = Clock::now();
      auto edited = reports::RewriteEditedReport(folder, 1, shown->bytes, [](reports::ReportRecord&) {});
      if (!edited.ok() || !edited->written ||
          !logs::LogRecordChange(dir, now, logs::kEdited, edited->report, "Bench Mark").ok()) {
        std::cerr << "kestrova_save_bench: the edit failed\n";
        return 1;
      }
      edits.push_back(Ms(start));
    }
  }
  std::printf("%d saves in %s\n", saves, dir.c_str());
  for (const auto& [what, times] : {std::pair{"append and log", &appends}, std::pair{"edit and log  ", &edits}}) {
    if (times->empty()) continue;
    std::printf("  %s: median %7.2f ms  (min %7.2f, max %7.2f)\n", what, Median(*times),
                *std::min_element(times->begin(), times->end()), *std::max_element(times->begin(), times->end()));
  }
  return 0;
}
