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

#include "cli/report_generator.h"
#include "core/reports/report_list.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrova;

fs::path g_folder;
const char* kPhrase = "suspect";

long PeakRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
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

void Grep(benchmark::State& state, const char* flags) {
  const std::string command = std::string("grep -c ") + flags + " '" + kPhrase + "' '" +
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
  state.counters["peak_rss_mb"] = static_cast<double>(PeakRssKb()) / 1024.0;
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

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto at = [&](const char* n) { return times_.count(n) ? times_[n] : 0.0; };
    const double read = at("SequentialRead");
    std::cout << "\nRatios (same run):\n"
              << "  full active list by Entered / sequential read: " << at("FullListEntered") / read
              << "  (target <= 0.5; " << at("FullListEntered") << " ms, target < 100 ms)\n"
              << "  phrase kind 1 / sequential read: " << at("PhraseKind1") / read << "  (target <= 1)\n"
              << "  phrase kind 14 / grep -c -i -F: " << at("PhraseKind14") / at("GrepIgnoreCase")
              << "  (target <= 1)\n"
              << "  phrase kind 14 / grep -c -F: " << at("PhraseKind14") / at("GrepExact") << "\n"
              << "  weekly summary / sequential read: " << at("WeeklySummary") / read << "\n"
              << "  peak resident memory: " << PeakRssKb() / 1024 << " MB\n";
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  std::int32_t count = 50000;
  fs::path dir;
  std::vector<char*> rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
      count = std::stoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
      dir = argv[++i];
    } else {
      rest.push_back(argv[i]);
    }
  }
  const bool temporary = dir.empty();
  if (temporary) dir = fs::temp_directory_path() / ("kestrova-list-bench-" + std::to_string(::getpid()));
  g_folder = dir;
  if (!fs::exists(dir / reports::kDataFileName)) {
    std::cout << "Generating " << count << " reports in " << dir << " ..." << std::endl;
    const auto status = cli::GenerateReports(dir, count, 1);
    if (!status.ok()) {
      std::cerr << status.message() << "\n";
      return 1;
    }
  }
  {
    // Start from a warm page cache, as a workstation that has used the file does.
    std::vector<char> buffer(1 << 20);
    const int fd = ::open((dir / reports::kDataFileName).c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
  }
  using benchmark::RegisterBenchmark;
  const auto ms = benchmark::kMillisecond;
  RegisterBenchmark("SequentialRead", SequentialRead)->Unit(ms)->Iterations(5);
  RegisterBenchmark("GrepExact", Grep, "-F")->Unit(ms)->Iterations(3);
  RegisterBenchmark("GrepIgnoreCase", Grep, "-i -F")->Unit(ms)->Iterations(3);
  RegisterBenchmark("FullListEntered", List, FullEntered())->Unit(ms)->Iterations(5);
  RegisterBenchmark("PhraseKind1", List, Phrase(1))->Unit(ms)->Iterations(5);
  RegisterBenchmark("PhraseKind14", List, Phrase(14))->Unit(ms)->Iterations(3);
  RegisterBenchmark("WeeklySummary", List, Weekly())->Unit(ms)->Iterations(5);
  int args = static_cast<int>(rest.size());
  benchmark::Initialize(&args, rest.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (temporary) fs::remove_all(dir);
  return 0;
}
