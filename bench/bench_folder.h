#pragma once

// What the benchmark programs share: the folder of generated reports they
// run on, a warm page cache, and a reporter that keeps each benchmark's time
// so ratios can be printed at the end.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/report_generator.h"
#include "core/reports/data_file.h"

namespace kestrova::bench {

struct BenchFolder {
  std::filesystem::path dir;
  bool temporary = false;
  std::vector<char*> rest;  // the arguments left for Google Benchmark
};

inline long PeakRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Reads [--count N] [--dir FOLDER]; generates the reports unless the folder
// has them; reads the file once so every measurement starts warm. An empty
// dir means the generation failed (the message is printed).
inline BenchFolder PrepareFolder(int argc, char** argv, const std::string& prefix) {
  BenchFolder f;
  std::int32_t count = 50000;
  f.rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
      count = std::stoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
      f.dir = argv[++i];
    } else {
      f.rest.push_back(argv[i]);
    }
  }
  f.temporary = f.dir.empty();
  if (f.temporary) f.dir = std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()));
  if (!std::filesystem::exists(f.dir / reports::kDataFileName)) {
    std::cout << "Generating " << count << " reports in " << f.dir << " ..." << std::endl;
    const auto status = cli::GenerateReports(f.dir, count, 1);
    if (!status.ok()) {
      std::cerr << status.message() << "\n";
      f.dir.clear();
      return f;
    }
  }
  std::vector<char> buffer(1 << 20);
  const int fd = ::open((f.dir / reports::kDataFileName).c_str(), O_RDONLY);
  while (::read(fd, buffer.data(), buffer.size()) > 0) {
  }
  ::close(fd);
  std::cout << "Data file: " << std::filesystem::file_size(f.dir / reports::kDataFileName) / (1024 * 1024) << " MB\n";
  return f;
}

// Prints the benchmarks as usual and keeps each one's time per iteration.
class TimesReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

 protected:
  double At(const char* name) const {
    const auto it = times_.find(name);
    return it == times_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> times_;
};

// Runs the registered benchmarks with the remaining arguments, then removes
// a generated folder.
inline int RunBenchmarks(BenchFolder& folder, benchmark::BenchmarkReporter& reporter) {
  int args = static_cast<int>(folder.rest.size());
  benchmark::Initialize(&args, folder.rest.data());
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (folder.temporary) std::filesystem::remove_all(folder.dir);
  return 0;
}

}  // namespace kestrova::bench
