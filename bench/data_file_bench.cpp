// Speed of the data file on a realistic folder: a full decoding scan, one
// append, one edit saved, one archive and one purge, each beside a plain sequential read (and a plain
// copy, for the purge) of the same file in the same run.
//
//   kestrova_bench [--count N] [--dir FOLDER] [benchmark options]
//
// Without --dir the reports are generated into a temporary folder, which is
// removed afterwards. The default count is 50000 (about 1 GB).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <vector>

#include "bench/bench_folder.h"
#include "cli/report_generator.h"
#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrova;

fs::path g_folder;

void SequentialRead(benchmark::State& state) {
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    const int fd = ::open((g_folder / reports::kDataFileName).c_str(), O_RDONLY);
    std::size_t total = 0;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) total += static_cast<std::size_t>(n);
    ::close(fd);
    benchmark::DoNotOptimize(total);
    state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(total));
  }
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

void FullScanDecode(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t narrative = 0;
    std::int32_t records = 0;
    reports::ReportRecord r;
    const auto status = reports::ScanRecords(g_folder, [&](std::int32_t n, const char* bytes) {
      reports::DecodeReportRecord(bytes, r);
      narrative += r.Narrative.size();
      records = n;
      return true;
    });
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    benchmark::DoNotOptimize(narrative);
    state.counters["records"] = records;
  }
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

void AppendOne(benchmark::State& state) {
  cli::ReportGenerator generator(99);
  const auto record = generator.Next();
  for (auto _ : state) {
    const auto n = reports::AppendReport(g_folder, record);
    if (!n.ok()) state.SkipWithError(n.message().c_str());
  }
  // Take the appended reports out again so the next benchmark sees the
  // same file.
  const auto path = g_folder / reports::kDataFileName;
  fs::resize_file(path, fs::file_size(path) - state.iterations() * reports::kReportRecordSize);
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

void PlainCopy(benchmark::State& state) {
  std::vector<char> buffer(1 << 20);
  const auto target = g_folder / "copy.bench";
  for (auto _ : state) {
    const int in = ::open((g_folder / reports::kDataFileName).c_str(), O_RDONLY);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;) {
      if (::write(out, buffer.data(), static_cast<std::size_t>(n)) != n) state.SkipWithError("write");
    }
    ::fsync(out);
    ::close(out);
    ::close(in);
  }
  fs::remove(target);
}

void PurgeOne(benchmark::State& state) {
  std::mt19937 pick(5);
  for (auto _ : state) {
    state.PauseTiming();
    // Mark one report as the delete command does, outside the timing.
    reports::DataFile file(g_folder);
    if (!file.OpenDataFile().ok()) state.SkipWithError("open");
    const auto n = std::uniform_int_distribution<std::int32_t>(1, file.RecordCount())(pick);
    auto record = file.ReadRecord(n);
    record->CaseNumber = std::string(reports::kKilledMark);
    (void)file.WriteRecord(n, *record);
    state.ResumeTiming();
    const auto counts = file.PurgeKilledRecords();
    if (!counts.ok()) state.SkipWithError(counts.message().c_str());
  }
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

// The identity of a random report, as the window holds it, read outside
// the timing.
reports::ReportIdentity PickReport(std::mt19937& pick, benchmark::State& state, std::uint8_t* list = nullptr) {
  reports::DataFile file(g_folder);
  if (!file.OpenDataFile(reports::DataFileAccess::Read).ok()) state.SkipWithError("open");
  const auto n = std::uniform_int_distribution<std::int32_t>(1, file.RecordCount())(pick);
  const auto record = file.ReadRecord(n);
  if (!record.ok()) state.SkipWithError(record.message().c_str());
  if (list != nullptr) *list = record->ListStatus;
  return {n, record->ControlNumber, record->CaseNumber};
}

// Saving an edit: the guard read and one record rewritten under the lock.
void ChangeOne(benchmark::State& state) {
  std::mt19937 pick(7);
  for (auto _ : state) {
    state.PauseTiming();
    const auto identity = PickReport(pick, state);
    state.ResumeTiming();
    // Written back as it was, so the folder stays the same across runs;
    // the encoding and the write are the same as for a real change.
    const auto changed = reports::ChangeReport(g_folder, identity, [](reports::ReportRecord&) {});
    if (!changed.ok()) state.SkipWithError(changed.message().c_str());
  }
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

// Archiving (and, untimed, restoring again): the move plus the recount of
// both lists.
void ArchiveOne(benchmark::State& state) {
  std::mt19937 pick(11);
  for (auto _ : state) {
    state.PauseTiming();
    std::uint8_t list = 0;
    const auto identity = PickReport(pick, state, &list);
    state.ResumeTiming();
    const auto moved = reports::MoveReport(g_folder, identity, reports::kInactiveList);
    if (!moved.ok()) {
      state.SkipWithError(moved.message().c_str());
      break;
    }
    state.PauseTiming();
    // Back to where it was, so the folder stays the same across runs.
    (void)reports::MoveReport(g_folder, identity, list);
    state.ResumeTiming();
  }
  state.counters["peak_rss_mb"] = static_cast<double>(bench::PeakRssKb()) / 1024.0;
}

// Prints each measured time as a ratio to the plain file operations.
class RatioReporter : public bench::TimesReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double read = At("SequentialRead");
    const double copy = At("PlainCopy");
    std::cout << "\nRatios (same run):\n";
    if (read > 0) {
      std::cout << "  full scan / sequential read: " << At("FullScanDecode") / read << "  (target <= 1.5)\n";
    }
    std::cout << "  one append: " << At("AppendOne") << " ms  (target < 5 ms)\n";
    std::cout << "  one edit saved: " << At("ChangeOne") << " ms\n";
    std::cout << "  one archive (with recount): " << At("ArchiveOne") << " ms\n";
    if (copy > 0) std::cout << "  purge one / plain copy: " << At("PurgeOne") / copy << "  (target <= 2)\n";
    std::cout << "  peak resident memory: " << bench::PeakRssKb() / 1024 << " MB\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  bench::BenchFolder folder = bench::PrepareFolder(argc, argv, "kestrova-bench-");
  if (folder.dir.empty()) return 1;
  g_folder = folder.dir;
  benchmark::RegisterBenchmark("SequentialRead", SequentialRead)->Unit(benchmark::kMillisecond)->Iterations(5);
  benchmark::RegisterBenchmark("FullScanDecode", FullScanDecode)->Unit(benchmark::kMillisecond)->Iterations(5);
  benchmark::RegisterBenchmark("AppendOne", AppendOne)->Unit(benchmark::kMillisecond)->Iterations(200);
  benchmark::RegisterBenchmark("ChangeOne", ChangeOne)->Unit(benchmark::kMillisecond)->Iterations(100);
  benchmark::RegisterBenchmark("ArchiveOne", ArchiveOne)->Unit(benchmark::kMillisecond)->Iterations(20);
  benchmark::RegisterBenchmark("PlainCopy", PlainCopy)->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::RegisterBenchmark("PurgeOne", PurgeOne)->Unit(benchmark::kMillisecond)->Iterations(3);

  RatioReporter reporter;
  return bench::RunBenchmarks(folder, reporter);
}
