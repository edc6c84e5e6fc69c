// Speed and memory of counting reports over time on a realistic folder,
// beside reading the whole file as cat does, measured in the same run.
//
//   kestrova_stats_bench [--count N] [--dir FOLDER] [benchmark options]
//
// Without --dir the reports are generated into a temporary folder, which is
// removed afterwards. The default count is 50000 (about 1 GB). The memory a
// count holds is measured on the heap itself (the most it held at once), so
// runs with different counts show whether it grows with the reports.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <new>
#include <vector>

#include "bench/bench_folder.h"
#include "core/stats/counts_over_time.h"

namespace {

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void Note(long long change) {
  const long long now = g_live.fetch_add(change) + change;
  long long peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  Note(static_cast<long long>(::malloc_usable_size(p)));
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  Note(-static_cast<long long>(::malloc_usable_size(p)));
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

namespace fs = std::filesystem;
using namespace kestrova;

fs::path g_folder;
long long g_countPeak = 0;  // the most the heap grew during one count

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

void Count(benchmark::State& state, stats::Period period, stats::Split split) {
  stats::CountRequest request;
  request.period = period;
  request.split = split;
  std::size_t periods = 0;
  for (auto _ : state) {
    const long long before = g_live.load();
    g_peak.store(before);
    auto figures = stats::CountOverTime(g_folder, request);
    if (!figures.ok()) {
      state.SkipWithError(figures.message().c_str());
      break;
    }
    periods = figures->periods.size();
    g_countPeak = std::max(g_countPeak, g_peak.load() - before);
  }
  state.counters["periods"] = static_cast<double>(periods);
  state.counters["heap_kb"] = static_cast<double>(g_countPeak) / 1024.0;
}

class RatioReporter : public bench::TimesReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double read = At("SequentialRead");
    std::cout << "\nRatios (same run):\n"
              << "  by month, split by violation / sequential read: " << At("MonthByViolation") / read
              << "  (target <= 0.5; " << At("MonthByViolation") << " ms)\n"
              << "  by month, split by property context / sequential read: " << At("MonthByContext") / read << "\n"
              << "  by week, no split / sequential read: " << At("WeekPlain") / read << "\n"
              << "  most heap one count held: " << g_countPeak / 1024 << " KB\n"
              << "  peak resident memory: " << bench::PeakRssKb() / 1024 << " MB\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  bench::BenchFolder folder = bench::PrepareFolder(argc, argv, "kestrova-stats-bench-");
  if (folder.dir.empty()) return 1;
  g_folder = folder.dir;
  using benchmark::RegisterBenchmark;
  const auto ms = benchmark::kMillisecond;
  RegisterBenchmark("SequentialRead", SequentialRead)->Unit(ms)->Iterations(5);
  RegisterBenchmark("MonthByViolation", Count, stats::Period::Month, stats::Split::Violations)->Unit(ms)->Iterations(5);
  RegisterBenchmark("MonthByContext", Count, stats::Period::Month, stats::Split::PropertyContext)
      ->Unit(ms)
      ->Iterations(5);
  RegisterBenchmark("WeekPlain", Count, stats::Period::Week, stats::Split::None)->Unit(ms)->Iterations(5);
  RatioReporter reporter;
  return bench::RunBenchmarks(folder, reporter);
}
