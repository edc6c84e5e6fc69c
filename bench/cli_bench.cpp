// The command-line tool's reads beside cat of the same data file, whole
// processes timed from start to exit, in turns, in one run: the list, a
// narrative search that finds nothing, records, verify and the JSON export
// (beside cat into a file). Several builds of kestrova-cli can be given and
// are measured side by side (an older build and this one, say).
//
//   kestrova_cli_bench --dir FOLDER --cli PATH [--cli PATH...] [--runs N]
//                      [--cold] [--only list,narrative,records,verify,export]
//                      [--scratch DIR]
//
// --cold drops the page cache before every timed process (root only), so
// each one starts as a workstation that has just been switched on. FOLDER
// may be a network mount; --scratch (default: the system's temporary
// folder) takes the export's output and cat's copy.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/page_cache.h"

namespace {

namespace fs = std::filesystem;

struct Task {
  std::string name;
  std::vector<std::string> args;  // after "kestrova-cli --data-dir FOLDER"
  bool toFile = false;            // output to a file (and cat into a file)
};

using kestrova::bench::DropCaches;

// Runs argv with its standard output on `out`; returns the wall time in ms,
// or a negative number when it failed.
double Run(const std::vector<std::string>& argv, const std::string& out) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) ::_exit(126);
    ::dup2(fd, 1);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? ms : -1;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir;
  fs::path scratch = fs::temp_directory_path();
  std::vector<std::string> clis;
  int runs = 5;
  bool cold = false;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--dir" && more) {
      dir = argv[++i];
    } else if (a == "--cli" && more) {
      clis.push_back(fs::absolute(argv[++i]).string());
    } else if (a == "--runs" && more) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--cold") {
      cold = true;
    } else if (a == "--only" && more) {
      only = std::string(",") + argv[++i] + ",";
    } else if (a == "--scratch" && more) {
      scratch = argv[++i];
    } else {
      std::cerr << "usage: kestrova_cli_bench --dir FOLDER --cli PATH [--cli PATH...] [--runs N] [--cold]\n"
                   "       [--only list,narrative,records,verify,export] [--scratch DIR]\n";
      return 2;
    }
  }
  const fs::path data = dir / "Kestrova.Data";
  if (dir.empty() || clis.empty() || !fs::exists(data)) {
    std::cerr << "kestrova_cli_bench: needs --dir with a Kestrova.Data and at least one --cli\n";
    return 2;
  }
  if (cold && !DropCaches()) {
    std::cerr << "kestrova_cli_bench: --cold needs root (to drop the page cache)\n";
    return 2;
  }
  const std::vector<Task> all = {
      {"list", {"list"}},
      {"narrative", {"list", "--phrase", "green tractor", "--kind", "14"}},
      {"records", {"records"}},
      {"verify", {"verify"}},
      {"export", {"export", "--format", "json"}, true},
  };
  const std::string toFile = (scratch / "kestrova-cli-bench.out").string();
  std::cout << "Data file: " << fs::file_size(data) / (1024 * 1024) << " MB in " << dir << (cold ? ", cold" : ", warm")
            << ", " << runs << " runs each, in turns\n";
  for (const Task& task : all) {
    if (!only.empty() && only.find("," + task.name + ",") == std::string::npos) continue;
    const std::string out = task.toFile ? toFile : "/dev/null";
    const std::vector<std::string> cat = {"/bin/cat", data.string()};
    std::vector<double> catTimes;
    std::vector<std::vector<double>> times(clis.size()), ratios(clis.size());
    if (!cold) (void)Run(cat, out);  // warm the cache once
    for (int r = 0; r < runs; ++r) {
      if (cold) DropCaches();
      const double base = Run(cat, out);
      catTimes.push_back(base);
      for (std::size_t k = 0; k < clis.size(); ++k) {
        std::vector<std::string> command = {clis[k], "--data-dir", dir.string()};
        command.insert(command.end(), task.args.begin(), task.args.end());
        if (cold) DropCaches();
        const double t = Run(command, out);
        if (t < 0) {
          std::cerr << "kestrova_cli_bench: " << clis[k] << " " << task.name << " failed\n";
          return 1;
        }
        times[k].push_back(t);
        ratios[k].push_back(t / base);
      }
    }
    std::printf("%-10s cat%s %9.1f ms\n", task.name.c_str(), task.toFile ? " > file" : "       ", Median(catTimes));
    for (std::size_t k = 0; k < clis.size(); ++k) {
      std::printf("%-10s cli %-2zu      %9.1f ms   %6.2fx cat (median of the runs' ratios)   %s\n", "", k + 1,
                  Median(times[k]), Median(ratios[k]), clis[k].c_str());
    }
  }
  std::error_code ec;
  fs::remove(toFile, ec);
  return 0;
}
