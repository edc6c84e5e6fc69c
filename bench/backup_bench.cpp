// Backup and restore of a realistic data folder (50,000 reports, about 1 GB,
// with its user list, logs and access code), beside `cp` of the same files
// followed by `sync`; the peak memory of each procedure (run in a process
// of its own); and how long another process's saves wait while one runs.
//
//   kestrova_backup_bench [--count N] [--dir FOLDER] [--repeat N] [--saves-every MS[,MS...]]
//
// Without --dir the reports are generated into a temporary folder, removed
// afterwards. The backup runs without its one-second pace between files.
// Each procedure and its `cp` + `sync` take turns --repeat times (3
// unless told), so a loaded machine slows both alike; the ratios of each
// turn and their median are printed, with the machine's load. Then, for
// each --saves-every (500,2000 unless told; 0: none), a backup and a
// restore run while another process saves a report that often: whether
// the backup got through, in how many looks, whether its last pass held
// the lock, and how long the saves waited.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_folder.h"
#include "cli/report_generator.h"
#include "core/backup/backup.h"
#include "core/reports/data_file.h"
#include "core/users/user_list.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrova;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

class NowClock : public time::Clock {
 public:
  time::DateTime Now() const override { return {2026, 12, 6, 14, 5, 9}; }
};

// The procedure itself, in a process of its own so its peak memory is its own.
int Child(const std::string& what, const fs::path& data, const fs::path& other) {
  NowClock clock;
  backup::ProcedureOptions options;
  options.pace = std::chrono::milliseconds(0);
  options.clock = &clock;
  const auto start = Clock::now();
  const backup::Outcome outcome =
      what == "backup" ? backup::RunBackup(data, other, options) : backup::RunRestore(data, other, options);
  std::printf("%d %d %.3f %d %d %lld %s\n", static_cast<int>(outcome.kind), outcome.copiedAgain,
              Seconds(Clock::now() - start), outcome.tries, outcome.lockedPass ? 1 : 0,
              static_cast<long long>(outcome.longestLockHeld.count()), outcome.reason.c_str());
  return outcome.ok() ? 0 : 1;
}

// A folder as an office leaves it after years: users, logs, access code.
void AddTheRest(const fs::path& folder) {
  if (fs::exists(folder / "User.List")) return;
  for (int i = 0; i < 40; ++i) {
    users::UserRecord user;
    user.FirstName = "User" + std::to_string(i);
    user.LastName = "Bench";
    user.Password = "x";
    user.AccessLevel = static_cast<std::int16_t>(1 + i % 4);
    (void)users::AddUser(folder, user);
  }
  const std::pair<const char*, int> logs[] = {
      {"SignInOut.Log", 40000}, {"UserList.Log", 200}, {"DataRecords.Log", 60000}, {"Search.Log", 20000}};
  for (const auto& [name, lines] : logs) {
    std::ofstream out(folder / name, std::ios::binary);
    for (int i = 0; i < lines; ++i) out << "12/06/2026 at 14:05:09 - Control#20261206140955 edited by User Bench\r\n";
  }
  std::ofstream(folder / "Kestrova.Access", std::ios::binary) << "sha256$20000$0011$aabb\r\n";
}

struct Run {
  double seconds = 0;  // the procedure's own time
  long peakKb = 0;
  int kind = -1;
  int copiedAgain = 0;
  int tries = 0;
  int lockedPass = 0;
  long long lockHeldMs = 0;
  std::string reason;
  std::vector<double> saveWaits;  // seconds each save took meanwhile
};

// Runs the child and, every `savesEvery` ms (0: never), saves a report meanwhile.
Run RunChild(const char* self, const std::string& what, const fs::path& data, const fs::path& other, int savesEvery) {
  Run run;
  int out[2];
  if (::pipe(out) != 0) return run;
  ::sync();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    ::execl(self, self, "--child", what.c_str(), data.c_str(), other.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  cli::ReportGenerator generator(7);
  const auto report = generator.Next();
  int status = 0;
  rusage usage{};
  auto nextSave = Clock::now() + std::chrono::milliseconds(savesEvery);
  for (;;) {
    const pid_t done = ::wait4(pid, &status, savesEvery > 0 ? WNOHANG : 0, &usage);
    if (done == pid) break;
    if (savesEvery > 0 && Clock::now() >= nextSave) {
      const auto start = Clock::now();
      (void)reports::AppendReport(data, report);
      run.saveWaits.push_back(Seconds(Clock::now() - start));
      nextSave = Clock::now() + std::chrono::milliseconds(savesEvery);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  char text[512] = {};
  const ssize_t n = ::read(out[0], text, sizeof text - 1);
  ::close(out[0]);
  if (n > 0) {
    char reason[400] = {};
    std::sscanf(text, "%d %d %lf %d %d %lld %399[^\n]", &run.kind, &run.copiedAgain, &run.seconds, &run.tries,
                &run.lockedPass, &run.lockHeldMs, reason);
    run.reason = reason;
  }
  run.peakKb = usage.ru_maxrss;
  return run;
}

double CopyAndSync(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::create_directories(to);
  std::string command = "cp";
  for (std::string_view name : backup::kCarriedFiles) {
    if (fs::exists(from / name)) command += " '" + (from / name).string() + "'";
  }
  command += " '" + to.string() + "/' && sync";
  ::sync();
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::cerr << "cp failed\n";
  return Seconds(Clock::now() - start);
}

bool SameFiles(const fs::path& a, const fs::path& b) {
  for (std::string_view name : backup::kCarriedFiles) {
    if (fs::exists(a / name) != fs::exists(b / name)) return false;
    if (!fs::exists(a / name)) continue;
    const std::string command = "cmp -s '" + (a / name).string() + "' '" + (b / name).string() + "'";
    if (std::system(command.c_str()) != 0) return false;
  }
  return true;
}

void Print(const char* what, const Run& run, double baseline) {
  std::printf(
      "%-28s %7.2f s  (cp + sync %6.2f s, ratio %.2f)  peak RSS %5.1f MB  outcome %d%s, looks %d, copied again %d, "
      "last pass %s, lock held at most %lld ms%s%s\n",
      what, run.seconds, baseline, baseline > 0 ? run.seconds / baseline : 0.0,
      static_cast<double>(run.peakKb) / 1024.0, run.kind, run.kind == 0 ? " (done)" : "", run.tries, run.copiedAgain,
      run.lockedPass ? "locked" : "unlocked", run.lockHeldMs, run.reason.empty() ? "" : ": ", run.reason.c_str());
  if (!run.saveWaits.empty()) {
    std::vector<double> waits = run.saveWaits;
    std::sort(waits.begin(), waits.end());
    std::printf("%-28s %zu saves meanwhile, each took: median %.3f s, longest %.3f s\n", "", waits.size(),
                waits[waits.size() / 2], waits.back());
  }
}

std::string Load() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2], argv[3], argv[4]);
  std::vector<int> savesEvery = {500, 2000};
  int repeat = 3;
  std::vector<char*> args = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--saves-every") == 0 && i + 1 < argc) {
      savesEvery.clear();
      std::string list = argv[++i];
      for (std::size_t at = 0; at <= list.size();) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        if (const int ms = std::atoi(list.substr(at, comma - at).c_str()); ms > 0) savesEvery.push_back(ms);
        at = comma + 1;
      }
    } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(0, std::atoi(argv[++i]));
    } else {
      args.push_back(argv[i]);
    }
  }
  bench::BenchFolder folder = bench::PrepareFolder(static_cast<int>(args.size()), args.data(), "kestrova-backup-");
  if (folder.dir.empty()) return 1;
  AddTheRest(folder.dir);
  const fs::path out = fs::path(folder.dir.string() + "-out");
  const fs::path copied = out / "cp";
  const fs::path target = out / "backup";
  char self[4096] = {};
  if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
  std::printf("load (1, 5, 15 min) at the start: %s\n", Load().c_str());

  // Turn by turn: cp + sync, then the procedure.
  std::vector<double> backupRatios, restoreRatios, backupAgainRatios;
  fs::create_directories(target);
  for (int turn = 1; turn <= repeat; ++turn) {
    std::printf("-- turn %d, load %s\n", turn, Load().c_str());
    fs::remove_all(target);
    fs::create_directories(target);
    const double cpBackup = CopyAndSync(folder.dir, copied);
    const Run backup = RunChild(self, "backup", folder.dir, target, 0);
    Print("backup into an empty folder", backup, cpBackup);
    backupRatios.push_back(backup.seconds / cpBackup);
    if (turn == 1) {
      std::printf("%-28s backup identical to the data folder: %s\n", "", SameFiles(folder.dir, target) ? "yes" : "NO");
    }
    const double cpAgain = CopyAndSync(folder.dir, copied);
    const Run again = RunChild(self, "backup", folder.dir, target, 0);
    Print("backup over a backup", again, cpAgain);
    backupAgainRatios.push_back(again.seconds / cpAgain);

    const double cpRestore = CopyAndSync(target, copied);
    const Run restore = RunChild(self, "restore", folder.dir, target, 0);
    Print("restore", restore, cpRestore);
    restoreRatios.push_back(restore.seconds / cpRestore);
    if (turn == 1) {
      std::printf("%-28s data folder identical to the backup: %s\n", "", SameFiles(folder.dir, target) ? "yes" : "NO");
    }
    for (const auto& entry : fs::directory_iterator(folder.dir)) {
      if (entry.path().filename().string().find(".before-restore-") != std::string::npos) fs::remove(entry.path());
    }
  }
  if (repeat > 0)
    std::printf("median ratio to cp + sync over %d turns: backup %.2f, backup over a backup %.2f, restore %.2f\n",
                repeat, Median(backupRatios), Median(backupAgainRatios), Median(restoreRatios));

  for (const int every : savesEvery) {
    std::printf("\nWith another process saving a report every %d ms (load %s):\n", every, Load().c_str());
    const double cpBackup = CopyAndSync(folder.dir, copied);
    Print("backup", RunChild(self, "backup", folder.dir, target, every), cpBackup);
    if (!fs::exists(target / "Kestrova.Data")) continue;  // no backup to restore
    const double cpRestore = CopyAndSync(target, copied);
    Print("restore", RunChild(self, "restore", folder.dir, target, every), cpRestore);
    for (const auto& entry : fs::directory_iterator(folder.dir)) {
      if (entry.path().filename().string().find(".before-restore-") != std::string::npos) fs::remove(entry.path());
    }
  }
  std::printf("load at the end: %s\n", Load().c_str());
  fs::remove_all(out);
  if (folder.temporary) fs::remove_all(folder.dir);
  return 0;
}
