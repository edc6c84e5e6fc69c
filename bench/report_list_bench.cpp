// Speed of the report list on a realistic folder, beside reading the whole
// file (as cat does) and grep on the same file, measured in the same run:
// the first build (nothing kept), a rebuild with the heads kept and the
// reports unchanged, searches, and the memory the list keeps per row.
//
//   kestrova_list_bench [--count N] [--dir FOLDER] [--cold] [benchmark options]
//
// Without --dir the reports are generated into a temporary folder, which is
// removed afterwards. The default count is 50000 (about 1 GB). --cold (root
// only) adds the first build and the plain read with the page cache
// dropped before each run. A first build is timed with the folder's index
// ("Kestrova.Index", written by a first reader once the data file has been
// left alone for a few seconds) and without it; FOLDER may be a network
// mount.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <thread>
#include <vector>

#include "bench/bench_folder.h"
#include "bench/page_cache.h"
#include "cli/report_generator.h"
#include "core/reports/report_heads.h"
#include "core/reports/report_index.h"
#include "core/reports/report_list.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrova;

fs::path g_folder;
const char* kPhrase = "suspect";
const char* kNoMatch = "green tractor";  // in no generated report

using kestrova::bench::DropCaches;

std::size_t ReadWhole() {
  std::vector<char> buffer(128 * 1024);  // as cat reads
  const int fd = ::open((g_folder / reports::kDataFileName).c_str(), O_RDONLY);
  std::size_t total = 0;
  for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) total += static_cast<std::size_t>(n);
  ::close(fd);
  return total;
}

void SequentialRead(benchmark::State& state) {
  std::vector<char> buffer(128 * 1024);  // as cat reads
  for (auto _ : state) {
    const int fd = ::open((g_folder / reports::kDataFileName).c_str(), O_RDONLY);
    std::size_t total = 0;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) total += static_cast<std::size_t>(n);
    ::close(fd);
    benchmark::DoNotOptimize(total);
  }
}

void Grep(benchmark::State& state, const char* flags, const char* phrase) {
  const std::string command =
      std::string("grep -c ") + flags + " '" + phrase + "' '" +
      (g_folder / reports::kDataFileName).string() +  // not /dev/null: grep stops at the first match there
      "' > '" + (fs::temp_directory_path() / "kestrova-grep.out").string() + "'";
  for (auto _ : state) {
    const int rc = std::system(command.c_str());
    if (rc < 0 || WEXITSTATUS(rc) > 1) state.SkipWithError(("grep failed: " + command).c_str());
  }
}

// What this process has read so far: bytes and read calls (/proc/self/io).
struct ReadCount {
  double bytes = 0, calls = 0;
};
ReadCount ReadSoFar() {
  ReadCount c;
  std::ifstream io("/proc/self/io");
  std::string key;
  double value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") c.bytes = value;
    if (key == "syscr:") c.calls = value;
  }
  return c;
}

// A build with nothing kept, as a workstation that has just started makes
// it: from the folder's index when one can be trusted (indexed), or from
// the data file (not indexed).
void List(benchmark::State& state, reports::ListRequest request, bool indexed) {
  std::size_t rows = 0;
  const ReadCount before = ReadSoFar();
  for (auto _ : state) {
    reports::ReportHeads heads;
    heads.setIndexUse(indexed);
    auto list = reports::BuildReportList(g_folder, request, heads);
    if (!list.ok()) state.SkipWithError(list.message().c_str());
    rows = list->rows.size();
  }
  const ReadCount after = ReadSoFar();
  const double n = static_cast<double>(state.iterations());
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["read_mb"] = (after.bytes - before.bytes) / n / 1e6;
  state.counters["read_calls"] = (after.calls - before.calls) / n;
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

// Rebuilds with the heads kept, the reports unchanged: the sort order
// changes between two of them, as a click on the sort option does.
void Rebuild(benchmark::State& state) {
  reports::ReportHeads heads;
  reports::ListRequest request;
  for (auto sort : {reports::SortOption::CaseNumber, reports::SortOption::Entered}) {
    request.sort = sort;
    (void)reports::BuildReportList(g_folder, request, heads);  // the first build, and each order once
  }
  int i = 0;
  for (auto _ : state) {
    request.sort = ++i % 2 ? reports::SortOption::CaseNumber : reports::SortOption::Entered;
    auto list = reports::BuildReportList(g_folder, request, heads);
    if (!list.ok()) state.SkipWithError(list.message().c_str());
  }
}

// What a built list holds on the heap, per row (the kept heads apart).
double g_bytesPerRow = 0;
void ListMemory(benchmark::State& state) {
  reports::ReportHeads heads;
  (void)reports::BuildReportList(g_folder, {}, heads);
  for (auto _ : state) {
    const std::size_t before = ::mallinfo2().uordblks;
    auto list = reports::BuildReportList(g_folder, {}, heads);
    const std::size_t after = ::mallinfo2().uordblks;
    if (!list.ok() || list->rows.empty()) {
      state.SkipWithError("no rows");
      break;
    }
    g_bytesPerRow = static_cast<double>(after - before) / static_cast<double>(list->rows.size());
  }
  state.counters["bytes_per_row"] = g_bytesPerRow;
}

reports::ListRequest FullEntered() {
  reports::ListRequest r;
  r.sort = reports::SortOption::Entered;
  return r;
}

reports::ListRequest Phrase(int kind, const char* phrase = kPhrase) {
  reports::ListRequest r;
  r.flags = {false, true, false};
  r.criteria = {phrase, static_cast<std::int16_t>(kind), 1, 0, 0};
  return r;
}

reports::ListRequest Weekly() {
  reports::ListRequest r;
  r.flags = {false, false, true};
  r.criteria.SearchKind = 17;
  r.criteria.BeginningDate = time::ToOleDate({2015, 6, 1, 0, 0, 0});
  r.sort = reports::SortOption::Entered;
  return r;
}

class RatioReporter : public bench::TimesReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double read = At("SequentialRead");
    std::cout << "\nRatios (same run):\n"
              << "  first full list (Entered) / sequential read: " << At("FullListEntered") / read
              << "  (target <= 0.3; " << At("FullListEntered") << " ms; from the index when there is one)\n"
              << "  first full list, index not used / sequential read: " << At("FullListNoIndex") / read << "\n"
              << "  rebuild, heads kept, reports unchanged: " << At("RebuildUnchanged") << " ms  (target < 10 ms)\n"
              << "  phrase kind 1 / sequential read: " << At("PhraseKind1") / read << "\n"
              << "  phrase kind 14, no match / sequential read: " << At("PhraseKind14NoMatch") / read
              << "  (target <= 1.2)\n"
              << "  phrase kind 14, no match / grep -c -i -F: " << At("PhraseKind14NoMatch") / At("GrepNoMatch") << "\n"
              << "  phrase kind 14 '" << kPhrase << "' / grep -c -i -F: " << At("PhraseKind14") / At("GrepIgnoreCase")
              << "\n"
              << "  weekly summary / sequential read: " << At("WeeklySummary") / read << "\n"
              << "  list memory per row: " << g_bytesPerRow << " bytes  (target <= 150)\n";
    std::cout << "  peak resident memory: " << bench::PeakRssKb() / 1024 << " MB\n";
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// With the page cache dropped before each: the plain read and the first
// full list, in turns, so a disk whose speed drifts (a shared machine)
// moves both alike.
void ColdRounds(int rounds) {
  using Clock = std::chrono::steady_clock;
  const auto ms = [](Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
  };
  std::vector<double> reads, lists, ratios, scans, scanRatios;
  for (int r = 0; r < rounds; ++r) {
    DropCaches();
    auto t = Clock::now();
    benchmark::DoNotOptimize(ReadWhole());
    reads.push_back(ms(t));
    for (const bool indexed : {false, true}) {
      DropCaches();
      reports::ReportHeads heads;
      heads.setIndexUse(indexed);
      t = Clock::now();
      (void)reports::BuildReportList(g_folder, FullEntered(), heads);
      (indexed ? lists : scans).push_back(ms(t));
      (indexed ? ratios : scanRatios).push_back(ms(t) / reads.back());
    }
  }
  std::cout << "\nCold (page cache dropped before each; medians of " << rounds << " rounds):\n"
            << "  sequential read: " << Median(reads) << " ms\n"
            << "  first full list, index not used: " << Median(scans) << " ms, " << Median(scanRatios) << "x the read\n"
            << "  first full list: " << Median(lists) << " ms, " << Median(ratios)
            << "x the read  (target <= 1.0; from the index when there is one)\n";
}

}  // namespace

int main(int argc, char** argv) {
  bool cold = false;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--cold") == 0) {
      cold = true;
    } else {
      args.push_back(argv[i]);
    }
  }
  if (cold && !DropCaches()) {
    std::cerr << "--cold needs root (to drop the page cache)\n";
    return 2;
  }
  bench::BenchFolder folder = bench::PrepareFolder(static_cast<int>(args.size()), args.data(), "kestrova-list-bench-");
  if (folder.dir.empty()) return 1;
  g_folder = folder.dir;
  // An index is written only by a reader that starts a while after the
  // data file's last change: wait for that, then let one reader write it.
  const auto data = g_folder / reports::kDataFileName;
  const auto age = [&] { return fs::file_time_type::clock::now() - fs::last_write_time(data); };
  while (age() < std::chrono::seconds(3)) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  (void)reports::BuildReportList(g_folder, {});
  std::cout << "Index: " << (fs::exists(g_folder / reports::kIndexFileName) ? "written" : "none") << "\n";
  using benchmark::RegisterBenchmark;
  const auto ms = benchmark::kMillisecond;
  RegisterBenchmark("SequentialRead", SequentialRead)->Unit(ms)->Iterations(5);
  RegisterBenchmark("GrepExact", Grep, "-F", kPhrase)->Unit(ms)->Iterations(3);
  RegisterBenchmark("GrepIgnoreCase", Grep, "-i -F", kPhrase)->Unit(ms)->Iterations(3);
  RegisterBenchmark("GrepNoMatch", Grep, "-i -F", kNoMatch)->Unit(ms)->Iterations(3);
  RegisterBenchmark("FullListNoIndex", List, FullEntered(), false)->Unit(ms)->Iterations(5);
  RegisterBenchmark("FullListEntered", List, FullEntered(), true)->Unit(ms)->Iterations(5);
  RegisterBenchmark("RebuildUnchanged", Rebuild)->Unit(ms)->Iterations(20);
  RegisterBenchmark("ListMemory", ListMemory)->Unit(ms)->Iterations(1);
  RegisterBenchmark("PhraseKind1", List, Phrase(1), true)->Unit(ms)->Iterations(5);
  RegisterBenchmark("PhraseKind14", List, Phrase(14), true)->Unit(ms)->Iterations(3);
  RegisterBenchmark("PhraseKind14NoMatch", List, Phrase(14, kNoMatch), true)->Unit(ms)->Iterations(5);
  RegisterBenchmark("WeeklySummary", List, Weekly(), true)->Unit(ms)->Iterations(5);
  RatioReporter reporter;
  if (cold) ColdRounds(7);
  return bench::RunBenchmarks(folder, reporter);
}
