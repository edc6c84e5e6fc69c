// Speed of the report list on a realistic folder, beside reading the whole
// file (as cat does) and grep on the same file, measured in the same run.
//
//   kestrova_list_bench [--count N] [--dir FOLDER] [benchmark options]
//
// Without --dir the reports are generated into a temporary folder, which is
// removed afterwards. The default count is 50000 (about 1 GB).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <vector>

#include "bench/bench_folder.h"
#include "cli/report_generator.h"
#include "core/reports/report_list.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrova;

fs::path g_folder;
const char* kPhrase = "suspect";

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

void Grep(benchmark::State& state, const char* flags) {
  const std::string command =
      std::string("grep -c ") + flags + " '" + kPhrase + "' '" +
      (g_folder / reports::kDataFileName).string() +  // not /dev/null: grep stops at the first match there
      "' > '" + (fs::temp_directory_path() / "kestrova-grep.out").string() + "'";
  for (auto _ : state) {
    const int rc = std::system(command.c_str());
    if (rc < 0 || WEXITSTATUS(rc) > 1) state.SkipWithError(("grep failed: " + command).c_str());
  }
}

void List(benchmark::State& state, reports::ListRequest request) {
  std::size_t rows = 0;
  for (auto _ : state) {
    auto list = reports::BuildReportList(g_folder, request);
    if (!list.ok()) state.SkipWithError(list.message().c_str());
    rows = list->rows.size();
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

reports::ListRequest FullEntered() {
  reports::ListRequest r;
  r.sort = reports::SortOption::Entered;
  return r;
}

reports::ListRequest Phrase(int kind) {
  reports::ListRequest r;
  r.flags = {false, true, false};
  r.criteria = {kPhrase, static_cast<std::int16_t>(kind), 1, 0, 0};
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
              << "  full active list by Entered / sequential read: " << At("FullListEntered") / read
              << "  (target <= 0.5; " << At("FullListEntered") << " ms, target < 100 ms)\n"
              << "  phrase kind 1 / sequential read: " << At("PhraseKind1") / read << "  (target <= 1)\n"
              << "  phrase kind 14 / grep -c -i -F: " << At("PhraseKind14") / At("GrepIgnoreCase")
              << "  (target <= 1)\n"
              << "  phrase kind 14 / grep -c -F: " << At("PhraseKind14") / At("GrepExact") << "\n"
              << "  weekly summary / sequential read: " << At("WeeklySummary") / read << "\n"
              << "  peak resident memory: " << bench::PeakRssKb() / 1024 << " MB\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  bench::BenchFolder folder = bench::PrepareFolder(argc, argv, "kestrova-list-bench-");
  if (folder.dir.empty()) return 1;
  g_folder = folder.dir;
  using benchmark::RegisterBenchmark;
  const auto ms = benchmark::kMillisecond;
  RegisterBenchmark("SequentialRead", SequentialRead)->Unit(ms)->Iterations(5);
  RegisterBenchmark("GrepExact", Grep, "-F")->Unit(ms)->Iterations(3);
  RegisterBenchmark("GrepIgnoreCase", Grep, "-i -F")->Unit(ms)->Iterations(3);
  RegisterBenchmark("FullListEntered", List, FullEntered())->Unit(ms)->Iterations(5);
  RegisterBenchmark("PhraseKind1", List, Phrase(1))->Unit(ms)->Iterations(5);
  RegisterBenchmark("PhraseKind14", List, Phrase(14))->Unit(ms)->Iterations(3);
  RegisterBenchmark("WeeklySummary", List, Weekly())->Unit(ms)->Iterations(5);
  RatioReporter reporter;
  return bench::RunBenchmarks(folder, reporter);
}
