// Faults in the shared data folder: writes cut short by a full disk or a
// killed process, a writer stalled past the stale period, files that are
// not what they seem.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "core/logs/activity_log.h"
#include "core/network/concurrent_users.h"
#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"
#include "core/users/user_list.h"
#include "support/processes.h"
#include "support/still_clock.h"
#include "support/stored_reports.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

const testing::StillClock kClock;

DataFileOptions Quick() {
  DataFileOptions options;
  options.retryFor = milliseconds(200);
  options.retryEvery = milliseconds(10);
  options.lock.wait = milliseconds(2000);
  options.lock.waiting = nullptr;
  options.notice = nullptr;
  options.clock = &kClock;
  return options;
}

ReportRecord Report(const std::string& caseNumber) {
  ReportRecord r;
  r.ControlNumber = 45296.5;
  r.CaseNumber = caseNumber;
  r.Title = "Title of " + caseNumber;
  r.DateEntered = 45296.25;
  r.ProgramVersion = 414;
  return r;
}

using testing::CaseNumbers;

void AppendAll(const fs::path& folder, std::initializer_list<const char*> cases) {
  for (const char* c : cases) ASSERT_TRUE(AppendReport({folder, Quick()}, Report(c)).ok());
}

// Runs body in a child process that may write files only up to `limit`
// bytes long: a write past it is cut short, then refused, as on a full
// disk. With killAtLimit the child is killed there instead, mid-write.
int InChildWithFileLimit(std::uint64_t limit, bool killAtLimit, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    struct rlimit core {
      0, 0
    };
    ::setrlimit(RLIMIT_CORE, &core);
    ::signal(SIGXFSZ, killAtLimit ? SIG_DFL : SIG_IGN);
    struct rlimit size {
      limit, limit
    };
    ::setrlimit(RLIMIT_FSIZE, &size);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return -WTERMSIG(status);
  return WEXITSTATUS(status);
}

std::vector<std::string> PartialFiles(const fs::path& folder, const std::string& prefix) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0) names.push_back(name);
  }
  return names;
}

TEST(FolderSafety, AnAppendCutShortByAFullDiskIsTakenBackOut) {
  TempFolder folder;
  AppendAll(folder.path(), {"A", "B"});
  const std::string before = ReadFileBytes(folder / "Kestrova.Data");
  const int result = InChildWithFileLimit(before.size() + 5000, false, [&] {
    auto n = AppendReport({folder.path(), Quick()}, Report("C"));
    if (n.ok()) return 1;
    return n.message().find("Nothing was written") != std::string::npos ? 0 : 2;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("C")).ok());
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "B", "C"}));
}

// A writer killed in the middle of an append leaves part of a report at the
// end. The next write, under the lock, moves that part to a file of its
// own, trims the data file to its whole reports, says so once, and goes on.
TEST(FolderSafety, APartialReportLeftByAKilledWriterIsMovedAsideOnce) {
  TempFolder folder;
  AppendAll(folder.path(), {"A", "B"});
  const std::string before = ReadFileBytes(folder / "Kestrova.Data");
  const int result = InChildWithFileLimit(before.size() + 7000, true, [&] {
    (void)AppendReport({folder.path(), Quick()}, Report("C"));
    return 0;
  });
  ASSERT_EQ(result, -SIGXFSZ) << "killed in the middle of its write";
  const std::string damaged = ReadFileBytes(folder / "Kestrova.Data");
  ASSERT_EQ(damaged.size(), before.size() + 7000);
  std::vector<files::FolderNotice> notices;
  DataFileOptions options = Quick();
  options.notice = [&](const files::FolderNotice& n) { notices.push_back(n); };
  auto n = AppendReport({folder.path(), options}, Report("D"));
  ASSERT_TRUE(n.ok()) << n.message();
  EXPECT_EQ(*n, 3);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].kind, files::FolderNotice::Kind::Repaired);
  const auto aside = PartialFiles(folder.path(), "Kestrova.Data.partial-");
  ASSERT_EQ(aside, std::vector<std::string>{"Kestrova.Data.partial-20261206140509"});
  EXPECT_EQ(ReadFileBytes(folder / aside[0]), damaged.substr(before.size())) << "no byte destroyed";
  EXPECT_NE(notices[0].message.find(aside[0]), std::string::npos) << notices[0].message;
  EXPECT_EQ(notices[0].message.rfind("The data file", 0), 0u);
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "B", "D"}));

  ASSERT_TRUE(AppendReport({folder.path(), options}, Report("E")).ok());
  EXPECT_EQ(notices.size(), 1u) << "repaired once";
  EXPECT_EQ(PartialFiles(folder.path(), "Kestrova.Data.partial-").size(), 1u);
}

// A full disk on a small file system: the append and the delete fail
// whole, and the failed delete leaves the report and a log that explains.
TEST(FolderSafety, OnAFullDiskAppendsAndDeletesFailWithoutATrace) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  TempFolder mountPoint;
  if (::mount("tmpfs", mountPoint.path().c_str(), "tmpfs", 0, "size=512k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here";
  }
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{mountPoint.path()};
  const fs::path folder = mountPoint.path();
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(AppendReport({folder, Quick()}, Report("R" + std::to_string(i))).ok());
  // Fill what is left, so the next append stops in the middle of a report.
  {
    std::ofstream filler(folder / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    for (int i = 0; i < 2000 && filler.write(block.data(), block.size()); ++i) {
    }
  }
  fs::resize_file(folder / "filler", fs::file_size(folder / "filler") - 8192);
  const std::string before = ReadFileBytes(folder / "Kestrova.Data");

  auto appended = AppendReport({folder, Quick()}, Report("X"));
  ASSERT_FALSE(appended.ok());
  EXPECT_NE(appended.message().find("No space left"), std::string::npos) << appended.message();
  EXPECT_NE(appended.message().find("the disk holding the data folder is full: free space on it, then try again"),
            std::string::npos)
      << appended.message();
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before);

  // Deleting needs room for the rewritten copy, which is not there.
  double control = 0;
  {
    DataFile file(folder, Quick());
    ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Read).ok());
    control = file.ReadRecord(5)->ControlNumber;
  }
  std::vector<logs::LogAction> logged;
  auto deleted =
      DeleteReport({folder, Quick()}, {5, control, "R4"}, [&](const ReportRecord& r, logs::LogAction action) {
        EXPECT_EQ(r.CaseNumber, "R4");
        logged.push_back(action);
        return Status();
      });
  ASSERT_FALSE(deleted.ok());
  EXPECT_NE(deleted.message().find("was not deleted"), std::string::npos) << deleted.message();
  EXPECT_EQ(logged, (std::vector<logs::LogAction>{logs::kDeleted, logs::kNotDeleted}));
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before) << "the mark was taken off";
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));

  // Not even the lock fits now: the message says what to do, and a log
  // line that cannot be written leaves no empty log behind.
  {
    std::ofstream rest(folder / "rest", std::ios::binary);
    const std::string block(1024, 'x');
    for (int i = 0; i < 1000 && rest.write(block.data(), block.size()); ++i) {
    }
  }
  auto locked = AppendReport({folder, Quick()}, Report("Y"));
  ASSERT_FALSE(locked.ok());
  EXPECT_NE(locked.message().find("the disk holding the data folder is full"), std::string::npos) << locked.message();
  EXPECT_FALSE(logs::AppendLogLine(folder, logs::kSearchLog, "a line").ok());
  EXPECT_FALSE(fs::exists(folder / "Search.Log"));
}

// The rewrite of a delete cannot be made (here a folder stands where its
// temporary file goes): the record gets its case number or first name back
// and a "not deleted" line follows the "deleted" one.
TEST(FolderSafety, AFailedDeleteTakesItsMarkOffForReportsAndUsers) {
  TempFolder folder;
  AppendAll(folder.path(), {"A", "B", "C"});
  for (const char* first : {"Ann", "Bob"}) {
    users::UserRecord u;
    u.FirstName = first;
    u.LastName = "Lee";
    u.Password = "xaybzc1d";
    ASSERT_TRUE(users::AddUser({folder.path(), Quick()}, u).ok());
  }
  const std::string reports = ReadFileBytes(folder / "Kestrova.Data");
  const std::string userList = ReadFileBytes(folder / "User.List");
  fs::create_directory(folder / "TempFile.$$$");
  std::vector<std::string> lines;
  auto writer = [&](const auto& subject, logs::LogAction action) {
    if constexpr (std::is_same_v<std::decay_t<decltype(subject)>, std::string>) {
      lines.push_back(subject + " " + std::to_string(static_cast<int>(action)));
    } else {
      lines.push_back(subject.CaseNumber + " " + std::to_string(static_cast<int>(action)));
    }
    return Status();
  };
  auto report = DeleteReport({folder.path(), Quick()}, {2, 45296.5, "B"}, writer);
  ASSERT_FALSE(report.ok());
  EXPECT_NE(report.message().find("The report was not deleted"), std::string::npos) << report.message();
  Status user = users::DeleteUser({folder.path(), Quick()}, 1, writer);
  ASSERT_FALSE(user.ok());
  EXPECT_NE(user.message().find("The user was not deleted"), std::string::npos) << user.message();
  EXPECT_EQ(lines, (std::vector<std::string>{"B 5", "B 8", "Ann Lee 5", "Ann Lee 8"}));
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), reports);
  EXPECT_EQ(ReadFileBytes(folder / "User.List"), userList);
}

// A writer stalled (a suspended laptop) longer than the stale period has
// its lock broken. When it wakes, its commit steps are refused: its append
// writes nothing and its purge does not install its copy over the reports
// added meanwhile.
TEST(FolderSafety, AWriterStalledPastTheStalePeriodGivesUpCleanly) {
  for (const bool purge : {false, true}) {
    TempFolder folder;
    AppendAll(folder.path(), {"A", "B", "C"});
    const pid_t pid = ::fork();
    if (pid == 0) {
      DataFileOptions options = Quick();
      int commits = 0;
      // Stop at the commit that matters: the append's write, or the
      // purge's install (after the mark).
      options.lock.onStep = [&](files::LockStep step) {
        if (step == files::LockStep::BeforeCommit && ++commits == (purge ? 2 : 1)) ::raise(SIGSTOP);
      };
      if (purge) {
        auto left = DeleteReport({folder.path(), options}, {2, 45296.5, "B"}, nullptr);
        ::_exit(left.ok() ? 1 : 0);
      }
      ::_exit(AppendReport({folder.path(), options}, Report("late")).ok() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, WUNTRACED), pid);
    ASSERT_TRUE(WIFSTOPPED(status));
    DataFileOptions options = Quick();
    options.lock.staleAfter = milliseconds(150);
    ASSERT_TRUE(AppendReport({folder.path(), options}, Report("D")).ok());
    ASSERT_TRUE(AppendReport({folder.path(), options}, Report("E")).ok());
    ::kill(pid, SIGCONT);
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the stalled writer was refused";
    const auto cases = CaseNumbers(folder.path());
    if (purge) {
      // Its mark went in while it held the lock; the next purge removes it.
      EXPECT_EQ(cases, (std::vector<std::string>{"A", "$Killed$", "C", "D", "E"}));
    } else {
      EXPECT_EQ(cases, (std::vector<std::string>{"A", "B", "C", "D", "E"}));
    }
    EXPECT_FALSE(fs::exists(folder / "TempFile.$$$")) << "its copy was never installed and is cleared";
  }
}

TEST(FolderSafety, ADataFileThatIsNotOursIsReadButNeverWritten) {
  TempFolder folder;
  // Someone else's file under our name, and an older release's layout.
  const std::string foreign(50000, 'z');
  const std::string version2(20000, ' ');
  for (const std::string* bytes : {&foreign, &version2}) {
    WriteFileBytes(folder / "Kestrova.Data", *bytes);
    auto n = AppendReport({folder.path(), Quick()}, Report("A"));
    ASSERT_FALSE(n.ok());
    EXPECT_EQ(n.error().kind, Error::Kind::Damaged);
    EXPECT_NE(n.message().find("does not look like one of ours"), std::string::npos) << n.message();
    EXPECT_FALSE(PurgeKilledRecords(folder.path(), Quick()).ok());
    EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), *bytes);
    EXPECT_TRUE(PartialFiles(folder.path(), "Kestrova.Data.partial").empty());
    DataFile reader(folder.path(), Quick());
    EXPECT_TRUE(reader.OpenDataFile(DataFileAccess::Read).ok()) << "still readable";
  }
}

// Links, folders, pipes and devices in a file's place are refused at once:
// nothing is written through a link, and nothing waits on a pipe.
TEST(FolderSafety, FilesThatAreNotWhatTheySeemAreRefusedAtOnce) {
  TempFolder folder;
  TempFolder outside;
  WriteFileBytes(outside / "target", "keep me");
  fs::create_symlink(outside / "target", folder / "Kestrova.Data");
  fs::create_symlink(outside / "target", folder / "DataRecords.Log");
  fs::create_symlink(outside / "target", folder / "ccSys.system");
  for (const auto& refused :
       {AppendReport({folder.path(), Quick()}, Report("A")).status(),
        network::UpdateConcurrentUsers(folder.path(), network::kWorkstationStarts, Quick()).status(),
        logs::AppendLogLine(folder.path(), logs::kDataRecordsLog, "a line"),
        ScanRecords(
            folder.path(), [](std::int32_t, const char*) { return true; }, Quick())}) {
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.message().find("a symbolic link"), std::string::npos) << refused.message();
  }
  EXPECT_EQ(ReadFileBytes(outside / "target"), "keep me");
  struct stat st {};
  ASSERT_EQ(::stat((outside / "target").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u) << "the target was not made read-only";

  // A dangling link and a loop are not "no data file".
  fs::remove(folder / "Kestrova.Data");
  fs::create_symlink(folder / "nowhere", folder / "Kestrova.Data");
  EXPECT_FALSE(ScanRecords(
                   folder.path(), [](std::int32_t, const char*) { return true; }, Quick())
                   .ok());
  fs::remove(folder / "Kestrova.Data");
  fs::create_symlink(folder / "Kestrova.Data", folder / "Kestrova.Data");
  EXPECT_FALSE(ScanRecords(
                   folder.path(), [](std::int32_t, const char*) { return true; }, Quick())
                   .ok());

  // A pipe would hang a blocking open; a folder would list as empty.
  fs::remove(folder / "Kestrova.Data");
  fs::remove(folder / "DataRecords.Log");
  ASSERT_EQ(::mkfifo((folder / "Kestrova.Data").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((folder / "DataRecords.Log").c_str(), 0644), 0);
  auto viaPipe = AppendReport({folder.path(), Quick()}, Report("A"));
  ASSERT_FALSE(viaPipe.ok());
  EXPECT_NE(viaPipe.message().find("a pipe"), std::string::npos) << viaPipe.message();
  EXPECT_FALSE(logs::AppendLogLine(folder.path(), logs::kDataRecordsLog, "a line").ok());
  EXPECT_FALSE(logs::ReadLog(folder.path(), logs::kDataRecordsLog).ok());
  fs::remove(folder / "Kestrova.Data");
  fs::create_directory(folder / "Kestrova.Data");
  Status scanned = ScanRecords(
      folder.path(), [](std::int32_t, const char*) { return true; }, Quick());
  ASSERT_FALSE(scanned.ok());
  EXPECT_NE(scanned.message().find("a folder"), std::string::npos) << scanned.message();

  if (::geteuid() == 0) {
    // A device such as /dev/zero in the data file's place.
    fs::remove(folder / "Kestrova.Data");
    ASSERT_EQ(::mknod((folder / "Kestrova.Data").c_str(), S_IFCHR | 0666, makedev(1, 5)), 0);
    auto viaDevice = AppendReport({folder.path(), Quick()}, Report("A"));
    ASSERT_FALSE(viaDevice.ok());
    EXPECT_NE(viaDevice.message().find("a device"), std::string::npos) << viaDevice.message();
  }
}

// Two accounts share the folder, which lets both write: each goes on
// logging, counting, adding and deleting in the files the other created.
TEST(FolderSafety, EveryAccountTheFolderLetsWriteKeepsWriting) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as two user ids needs root";
  TempFolder folder;
  fs::permissions(folder.path(), fs::perms::all);
  auto as = [&](uid_t uid, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::umask(022);
      if (::setgid(uid) != 0 || ::setuid(uid) != 0) ::_exit(90);
      ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
  };
  auto work = [&](const std::string& who, bool remove) {
    return [&folder, who, remove] {
      const time::DateTime now{2026, 12, 6, 14, 5, 9};
      if (!network::UpdateConcurrentUsers(folder.path(), network::kWorkstationStarts, Quick()).ok()) return 1;
      if (!logs::LogSignInOut(folder.path(), now, logs::kSignedIn, who, users::AccessLevel::FullAccess).ok()) return 2;
      if (!AppendReport({folder.path(), Quick()}, Report(who)).ok()) return 3;
      users::UserRecord u;
      u.FirstName = who;
      u.Password = "xaybzc1d";
      if (!users::AddUser({folder.path(), Quick()}, u).ok()) return 4;
      if (remove) {
        if (!DeleteReport({folder.path(), Quick()}, {1, 45296.5, "first"}, nullptr).ok()) return 5;
        if (!users::DeleteUser({folder.path(), Quick()}, 1, nullptr).ok()) return 6;
      }
      if (!network::UpdateConcurrentUsers(folder.path(), network::kWorkstationEnds, Quick()).ok()) return 7;
      return 0;
    };
  };
  ASSERT_EQ(as(23456, work("first", false)), 0);
  ASSERT_EQ(as(23457, work("second", true)), 0);
  ASSERT_EQ(as(23456, work("third", false)), 0);
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"second", "third"}));
  const std::string log = ReadFileBytes(folder / "SignInOut.Log");
  for (const char* who : {"first", "second", "third"}) EXPECT_NE(log.find(std::string(" - ") + who), std::string::npos);
  EXPECT_EQ(*network::ReadConcurrentUsers(folder.path()), 0);
}

TEST(FolderSafety, ATemporaryFileLeftByAKilledRewriteIsClearedUnderTheLock) {
  TempFolder folder;
  AppendAll(folder.path(), {"A"});
  WriteFileBytes(folder / "TempFile.$$$", std::string(20001, 'k'));
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("B")).ok());
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
}

TEST(FolderSafety, ARecordNumberFarOutOfRangeIsAnErrorNotAnOverflow) {
  TempFolder folder;
  AppendAll(folder.path(), {"A"});
  DataFile file(folder.path(), Quick());
  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Write).ok());
  for (const std::int32_t n :
       {std::numeric_limits<std::int32_t>::min(), -1, 0, std::numeric_limits<std::int32_t>::max()}) {
    EXPECT_EQ(file.ReadRecord(n).error().kind, Error::Kind::NotFound);
    EXPECT_FALSE(file.WriteRecord(n, Report("x")).ok());
  }
}

}  // namespace
}  // namespace kestrova::reports
