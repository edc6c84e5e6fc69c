// The data folder on a file server that is not the local disk: writers
// held up past the stale period, logs racing a sweep, files no program
// wrote, and a share with SMB's ways (no links, no removing or renaming an
// open file, no append mode, errors that pass), each forced through the
// lock's steps or the file layer, not by timing.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "core/files/change_counter.h"
#include "core/files/folder_lock.h"
#include "core/logs/activity_log.h"
#include "core/reports/data_file.h"
#include "core/reports/folder_check.h"
#include "core/reports/report_actions.h"
#include "core/startup/data_file_upgrade.h"
#include "core/users/user_list.h"
#include "support/smb_like_file_system.h"
#include "support/still_clock.h"
#include "support/stored_reports.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using testing::CaseNumbers;
using testing::ReadFileBytes;
using testing::SmbLikeFileSystem;
using testing::TempFolder;
using testing::UsingFileSystem;
using testing::WriteFileBytes;

const testing::StillClock kClock;

DataFileOptions Quick() {
  DataFileOptions options;
  options.retryFor = milliseconds(200);
  options.retryEvery = milliseconds(10);
  options.lock.wait = milliseconds(3000);
  options.lock.waiting = nullptr;
  options.notice = nullptr;
  options.clock = &kClock;
  return options;
}

ReportRecord Report(const std::string& caseNumber) {
  ReportRecord r;
  r.ControlNumber = 45296.5;
  r.CaseNumber = caseNumber;
  r.DateEntered = 45296.25;
  r.ProgramVersion = 414;
  return r;
}

void AppendAll(const fs::path& folder, std::initializer_list<const char*> cases) {
  for (const char* c : cases) ASSERT_TRUE(AppendReport(folder, Report(c), Quick()).ok());
}

// One step of a writer held until the test lets it go.
class Hold {
 public:
  explicit Hold(files::LockStep step) : step_(step) {}
  std::function<void(files::LockStep)> OnStep() {
    return [this](files::LockStep s) {
      if (s != step_) return;
      std::unique_lock<std::mutex> guard(mutex_);
      if (passed_++ > 0) return;  // only the first time
      reached_ = true;
      changed_.notify_all();
      changed_.wait(guard, [&] { return released_; });
    };
  }
  void AwaitReached() {
    std::unique_lock<std::mutex> guard(mutex_);
    changed_.wait(guard, [&] { return reached_; });
  }
  void Release() {
    std::lock_guard<std::mutex> guard(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  files::LockStep step_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int passed_ = 0;
  bool reached_ = false, released_ = false;
};

// Options of a writer that finds the lock in its way stale at once: its
// monotonic clock jumps past the stale period on every look.
DataFileOptions Impatient() {
  DataFileOptions options = Quick();
  auto ms = std::make_shared<std::atomic<long long>>(0);
  options.lock.wait = std::chrono::hours(1);
  options.lock.now = [ms] { return std::chrono::steady_clock::time_point(milliseconds(*ms += 40000)); };
  return options;
}

// A writer held up inside its write, after its lock was found still its
// own, loses the lock to another writer, which appends and is told "saved".
// The held-up append then lands: in append mode after the other's report,
// and its number says so; without append mode (some shares) it lands where
// it read the end, over the other's. Either way it is reported, not told a
// plain success.
TEST(SharedFolder, AnAppendHeldUpPastTheStalePeriodIsReportedAndInAppendModeOverwritesNothing) {
  for (const bool appendMode : {true, false}) {
    SCOPED_TRACE(appendMode ? "append mode" : "no append mode");
    SmbLikeFileSystem share;
    share.links = true;
    share.appendMode = appendMode;
    share.guardOpenFiles = false;
    UsingFileSystem using_(share);
    TempFolder folder;
    AppendAll(folder.path(), {"A", "B", "C"});
    Hold held(files::LockStep::Checked);
    std::vector<files::FolderNotice> notices;
    DataFileOptions late = Quick();
    late.lock.onStep = held.OnStep();
    late.notice = [&](const files::FolderNotice& n) { notices.push_back(n); };
    std::optional<Result<std::int32_t>> lateResult;
    std::thread writer([&] { lateResult.emplace(AppendReport(folder.path(), Report("late"), late)); });
    held.AwaitReached();
    auto other = AppendReport(folder.path(), Report("D"), Impatient());
    ASSERT_TRUE(other.ok()) << other.message();
    EXPECT_EQ(*other, 4);
    held.Release();
    writer.join();
    ASSERT_TRUE(lateResult->ok()) << lateResult->message();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, files::FolderNotice::Kind::Uncertain);
    EXPECT_NE(notices[0].message.find("was saved, but another workstation may have written at the same "
                                      "moment: check the list"),
              std::string::npos)
        << notices[0].message;
    if (appendMode) {
      EXPECT_EQ(**lateResult, 5);
      EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "B", "C", "D", "late"}));
    } else {
      EXPECT_EQ(**lateResult, 4);
      EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "B", "C", "late"}));
    }
  }
}

// The same for a write in place: the edit stands and is reported.
TEST(SharedFolder, AnEditHeldUpPastTheStalePeriodIsReported) {
  TempFolder folder;
  AppendAll(folder.path(), {"A", "B"});
  Hold held(files::LockStep::Checked);
  std::vector<files::FolderNotice> notices;
  DataFileOptions late = Quick();
  late.lock.onStep = held.OnStep();
  late.notice = [&](const files::FolderNotice& n) { notices.push_back(n); };
  std::optional<Result<ReportRecord>> edited;
  std::thread writer([&] {
    edited.emplace(ChangeReport(
        folder.path(), {2, 45296.5, "B"}, [](ReportRecord& r) { r.Title = "late"; }, late));
  });
  held.AwaitReached();
  ASSERT_TRUE(AppendReport(folder.path(), Report("C"), Impatient()).ok());
  held.Release();
  writer.join();
  ASSERT_TRUE(edited->ok()) << edited->message();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].kind, files::FolderNotice::Kind::Uncertain);
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "B", "C"}));
}

// Another workstation's sweep of empty files removes a log just created
// here, between its creation and the line: the line is written again.
TEST(SharedFolder, ALogRemovedWhileItIsWrittenGetsItsLineAgain) {
  SmbLikeFileSystem share;
  share.links = true;
  share.appendMode = true;
  share.guardOpenFiles = false;
  TempFolder folder;
  int removed = 0;
  share.afterAppend = [&](const fs::path& path) {
    if (path.filename() == "Search.Log" && removed++ == 0) ::unlink(path.c_str());
  };
  UsingFileSystem using_(share);
  ASSERT_TRUE(logs::AppendLogLine(folder.path(), logs::kSearchLog, "the line").ok());
  EXPECT_EQ(removed, 2);
  EXPECT_EQ(ReadFileBytes(folder / "Search.Log"), "the line\r\n");
}

// A log line that cannot be written at all leaves no empty log behind.
TEST(SharedFolder, ALogLineThatCannotBeWrittenLeavesNoEmptyLog) {
  TempFolder folder;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit none {
      0, 0
    };
    ::setrlimit(RLIMIT_FSIZE, &none);
    Status s = logs::AppendLogLine(folder.path(), logs::kSearchLog, "the line");
    ::_exit(!s.ok() && s.message().find("the line was not written") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(fs::exists(folder / "Search.Log"));
}

// A share with SMB's ways: adding, logging and deleting all work, the logs
// going to the end of their files under the folder's lock (the deletion's
// own lock for its line), and nothing is left behind: no lock, no new lock,
// no temporary file. Append mode is tried once for the folder.
TEST(SharedFolder, OnAShareWithoutLinksOrAppendModeEveryWriteWorksAndLeavesNothing) {
  for (const int linkError : {EPERM, EOPNOTSUPP, ENOSYS, EXDEV}) {
    SCOPED_TRACE(linkError);
    SmbLikeFileSystem share;
    share.linkError = linkError;
    UsingFileSystem using_(share);
    TempFolder folder;
    const time::DateTime now{2026, 12, 6, 14, 5, 9};
    AppendAll(folder.path(), {"A", "B", "C"});
    ASSERT_TRUE(logs::LogSearch(folder.path(), now, "Ann Lee", "'x'").ok());
    auto deleted = DeleteReport(
        folder.path(), {2, 45296.5, "B"},
        [&](const ReportRecord& r) { return logs::LogRecordChange(folder.path(), now, logs::kDeleted, r, "Ann Lee"); },
        Quick());
    ASSERT_TRUE(deleted.ok()) << deleted.message();
    ASSERT_TRUE(logs::LogSearch(folder.path(), now, "Ann Lee", "'y'").ok());
    EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(ReadFileBytes(folder / "DataRecords.Log"),
              "12/06/2026 at 14:05:09 - Control#20240105120000 deleted by Ann Lee\r\n");
    EXPECT_EQ(ReadFileBytes(folder / "Search.Log"),
              "12/06/2026 at 14:05:09 - Ann Lee searched for 'x'\r\n"
              "12/06/2026 at 14:05:09 - Ann Lee searched for 'y'\r\n");
    EXPECT_EQ(share.refusedAppends, 1) << "append mode is tried once per folder";
    EXPECT_EQ(share.refusedRemoves, 0) << "nothing is removed while it is open";
    EXPECT_EQ(share.refusedRenames, 0);
    EXPECT_LE(share.linkCalls, 2) << "a share without links is found out once";
    EXPECT_EQ(share.OpenCount(), 0);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"DataRecords.Log", "Kestrova.Changes", "Kestrova.Data", "Search.Log"}));
  }
}

// A stale lock left by a dead holder on a share without links, while its
// file is still open somewhere (renaming and removing it are refused): it
// is taken over where it is, after the stale period, and every turn of the
// wait pauses.
TEST(SharedFolder, OnAShareWithoutLinksAStaleLockStillOpenSomewhereIsBroken) {
  SmbLikeFileSystem share;
  UsingFileSystem using_(share);
  TempFolder folder;
  std::string dead = "Kestrova lock\nhost=gone\nmachine=another\npid=1\ntoken=dead\nbeat=1\n";
  dead.resize(255, ' ');
  WriteFileBytes(folder / "Kestrova.Lock", dead + "\n");
  const int stillOpen = share.Open(folder / "Kestrova.Lock", O_RDONLY, 0);
  ASSERT_GE(stillOpen, 0);
  files::LockOptions options;
  options.waiting = nullptr;
  options.staleAfter = milliseconds(300);
  options.wait = milliseconds(5000);
  const auto start = std::chrono::steady_clock::now();
  auto lock = files::FolderLock::Acquire(folder.path(), options);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_TRUE(lock->CheckStillOurs().ok());
  EXPECT_GE(took, milliseconds(300));
  EXPECT_LE(share.linkCalls, 3) << "no link is tried again and again";
  lock->Release();
  share.Close(stillOpen);
}

// A share whose exclusive create lets two workstations make one name at
// once, both told they made it, one of them a moment late: writers taking
// turns never hold the lock together and no count is lost.
TEST(SharedFolder, OnAShareWhoseExclusiveCreateRacesWritersStillTakeTurns) {
  SmbLikeFileSystem share;
  share.racingCreates = milliseconds(120);
  UsingFileSystem using_(share);
  TempFolder folder;
  WriteFileBytes(folder / "count", "0");
  std::atomic<int> inside{0};
  std::atomic<int> together{0};
  std::atomic<int> refused{0};
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([&] {
      for (int turn = 0; turn < 5; ++turn) {
        files::LockOptions options;
        options.waiting = nullptr;
        options.wait = milliseconds(20000);
        auto lock = files::FolderLock::Acquire(folder.path(), options);
        if (!lock.ok()) {
          ++refused;
          continue;
        }
        if (++inside > 1) ++together;
        const int count = std::stoi(ReadFileBytes(folder / "count"));
        std::this_thread::sleep_for(milliseconds(5));
        if (lock->CheckStillOurs().ok()) WriteFileBytes(folder / "count", std::to_string(count + 1));
        --inside;
        lock->Release();
      }
    });
  }
  for (auto& writer : writers) writer.join();
  EXPECT_EQ(together.load(), 0);
  EXPECT_EQ(refused.load(), 0);
  EXPECT_EQ(ReadFileBytes(folder / "count"), "20");
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock.guard"));
}

// The file server fails for a moment (EIO on every create, as a share does
// after a refused append): the lock is tried again after a pause, and a
// failure that lasts is reported once at the end of the wait.
TEST(SharedFolder, PassingServerErrorsAreTriedAgainAfterAPauseAndReportedOnce) {
  SmbLikeFileSystem share;
  UsingFileSystem using_(share);
  TempFolder folder;
  share.failingCreates = 6;
  ASSERT_TRUE(AppendReport(folder.path(), Report("A"), Quick()).ok());

  share.failingCreates = 1000000;
  DataFileOptions options = Quick();
  options.lock.wait = milliseconds(400);
  auto refused = AppendReport(folder.path(), Report("B"), options);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.message().find("Input/output error"), std::string::npos) << refused.message();
  EXPECT_GT(share.failingCreates.load(), 1000000 - 100) << "each try waited its turn";
  share.failingCreates = 0;
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A"}));
}

// A delete's rewrite is put in place by renaming over the data file, which
// a share refuses while another workstation has it open: tried again until
// it closes; if it never does, the folder is left as it was.
TEST(SharedFolder, ARewriteWaitsForAReaderToLetGoOrLeavesTheFolderAsItWas) {
  SmbLikeFileSystem share;
  UsingFileSystem using_(share);
  TempFolder folder;
  AppendAll(folder.path(), {"A", "B", "C"});
  const int reader = share.Open(folder / "Kestrova.Data", O_RDONLY, 0);
  std::thread letGo([&] {
    std::this_thread::sleep_for(milliseconds(300));
    share.Close(reader);
  });
  auto deleted = DeleteReport(folder.path(), {2, 45296.5, "B"}, nullptr, Quick());
  letGo.join();
  ASSERT_TRUE(deleted.ok()) << deleted.message();
  EXPECT_GT(share.refusedRenames, 0);
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "C"}));

  const std::string before = ReadFileBytes(folder / "Kestrova.Data");
  const int forever = share.Open(folder / "Kestrova.Data", O_RDONLY, 0);
  auto refused = DeleteReport(folder.path(), {1, 45296.5, "A"}, nullptr, Quick());
  share.Close(forever);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.message().find("not deleted"), std::string::npos) << refused.message();
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before);
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
}

// The upgrade renames the old data file aside and the converted one into
// place, and removes an empty one: on a share each waits for a reader on
// another workstation to let go, and nothing is removed while open.
TEST(SharedFolder, TheUpgradeClosesBeforeItRenamesAndWaitsForAReader) {
  SmbLikeFileSystem share;
  UsingFileSystem using_(share);
  TempFolder folder;
  std::string old(startup::kVersion3RecordSize, ' ');
  old.replace(0, 2, "17");
  const std::int16_t marker = 314;
  std::memcpy(old.data() + old.size() - 2, &marker, 2);
  WriteFileBytes(folder / "Kestrova.Data", old);
  const int reader = share.Open(folder / "Kestrova.Data", O_RDONLY, 0);
  std::thread letGo([&] {
    std::this_thread::sleep_for(milliseconds(300));
    share.Close(reader);
  });
  auto converted =
      startup::ConvertDataFile(folder.path(), startup::DataFileState::Version3, time::DateTime{2026, 12, 7, 9, 30, 0});
  letGo.join();
  ASSERT_TRUE(converted.ok()) << converted.message();
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Old"), old);
  EXPECT_EQ(CaseNumbers(folder.path()), std::vector<std::string>{"17"});
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));

  WriteFileBytes(folder / "Kestrova.Data", "");
  auto removed = startup::RemoveEmptyDataFile(folder.path());
  ASSERT_TRUE(removed.ok()) << removed.message();
  EXPECT_TRUE(*removed);
  EXPECT_EQ(share.refusedRemoves, 0);
}

// sshfs keeps showing a "TempFile.$$$" that another workstation removed;
// under the lock any such file is a leftover, removed and made again.
TEST(SharedFolder, ATemporaryFileACacheStillShowsDoesNotStopADelete) {
  SmbLikeFileSystem share;
  share.links = true;
  share.appendMode = true;
  UsingFileSystem using_(share);
  TempFolder folder;
  AppendAll(folder.path(), {"A", "B"});
  share.Ghost(folder / "TempFile.$$$");
  auto deleted = DeleteReport(folder.path(), {1, 45296.5, "A"}, nullptr, Quick());
  ASSERT_TRUE(deleted.ok()) << deleted.message();
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"B"}));
}

// New locks never linked into place and locks moved aside, left by killed
// writers, go whenever the lock is taken, once they are older than the
// stale period by the file server's clock (which stamped our lock too); a
// recent one stays, as it may belong to a writer at work.
TEST(SharedFolder, LeftoverLockFilesOlderThanTheStalePeriodGoWheneverTheLockIsTaken) {
  TempFolder folder;
  const auto stamp = [&](const std::string& name, long secondsAgo) {
    WriteFileBytes(folder / name, "");
    struct timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= secondsAgo;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, (folder / name).c_str(), times, 0), 0);
  };
  stamp("Kestrova.Lock.new-0123456789abcdef0123456789abcdef", 120);
  stamp("Kestrova.Lock.broken-0123456789abcdef", 120);
  stamp("Kestrova.Lock.new-fedcba9876543210fedcba9876543210", 2);
  files::LockOptions options;
  options.waiting = nullptr;
  auto lock = files::FolderLock::Acquire(folder.path(), options);
  ASSERT_TRUE(lock.ok()) << lock.message();
  lock->Release();
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder.path())) names.push_back(e.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"Kestrova.Lock.new-fedcba9876543210fedcba9876543210"});
}

// Files no program wrote: a 10 GB data file or user list that is all holes,
// a data file of zero bytes. Writes are refused without copying anything,
// lists and checks answer at once, and problem lists are capped.
TEST(SharedFolder, FilesWithHolesOrOnlyZerosAreDamagedNotReadThrough) {
  TempFolder folder;
  for (const char* name : {"Kestrova.Data", "User.List"}) {
    WriteFileBytes(folder / name, "");
    fs::resize_file(folder / name, 10ull << 30);
  }
  const auto start = std::chrono::steady_clock::now();
  auto added = AppendReport(folder.path(), Report("A"), Quick());
  ASSERT_FALSE(added.ok());
  EXPECT_EQ(added.error().kind, Error::Kind::Damaged);
  EXPECT_NE(added.message().find("is damaged"), std::string::npos) << added.message();
  EXPECT_FALSE(DeleteReport(folder.path(), {1, 0, ""}, nullptr, Quick()).ok());
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 10ull << 30);
  EXPECT_EQ(ScanRecords(folder.path(), [](std::int32_t, const char*) { return true; }).error().kind,
            Error::Kind::Damaged);
  auto check = CheckDataFolder(folder.path());
  ASSERT_TRUE(check.ok());
  EXPECT_EQ(check->problems.size(), 1u);
  auto listed = users::ListUsers(folder.path());
  ASSERT_TRUE(listed.ok());
  EXPECT_TRUE(listed->users.empty());
  EXPECT_NE(listed->damage.find("is damaged"), std::string::npos) << listed->damage;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  // Written out as zeros, where the file system has no holes to show.
  WriteFileBytes(folder / "Kestrova.Data", std::string(5 * kReportRecordSize, '\0'));
  EXPECT_EQ(AppendReport(folder.path(), Report("A"), Quick()).error().kind, Error::Kind::Damaged);

  // A user list longer than any real one.
  {
    std::string user(users::kUserRecordSize, ' ');
    user[59] = 1;
    std::ofstream out(folder / "User.List", std::ios::binary);
    for (std::uint64_t i = 0; i <= users::kMostUsers; ++i)
      out.write(user.data(), static_cast<std::streamsize>(user.size()));
  }
  listed = users::ListUsers(folder.path());
  ASSERT_TRUE(listed.ok());
  EXPECT_TRUE(listed->users.empty());
  EXPECT_NE(listed->damage.find("100000 users"), std::string::npos) << listed->damage;

  // Many damaged reports: the first hundred are listed, the rest counted.
  {
    ReportRecord bad = Report("X");
    bad.ListStatus = 7;
    RecordBytes bytes;
    EncodeReportRecord(bad, bytes.data());
    std::ofstream out(folder / "Kestrova.Data", std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 130; ++i) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  check = CheckDataFolder(folder.path());
  ASSERT_TRUE(check.ok());
  EXPECT_EQ(check->problems.size(), files::kMostProblemsListed);
  EXPECT_EQ(check->problemsNotListed, 30u);
}

// A link or a pipe in the change counter's place: other workstations would
// never hear of changes, so writes are refused, saying what to mend.
TEST(SharedFolder, AHostileChangeCounterStopsWritesWithAMessage) {
  TempFolder folder;
  TempFolder outside;
  AppendAll(folder.path(), {"A"});
  const std::string before = ReadFileBytes(folder / "Kestrova.Data");
  fs::remove(folder / "Kestrova.Changes");
  fs::create_symlink(outside / "counter", folder / "Kestrova.Changes");
  auto viaLink = AppendReport(folder.path(), Report("B"), Quick());
  ASSERT_FALSE(viaLink.ok());
  EXPECT_NE(viaLink.message().find("Kestrova.Changes in the data folder is a symbolic link"), std::string::npos)
      << viaLink.message();
  EXPECT_NE(viaLink.message().find("move it out of the folder"), std::string::npos);
  fs::remove(folder / "Kestrova.Changes");
  ASSERT_EQ(::mkfifo((folder / "Kestrova.Changes").c_str(), 0644), 0);
  auto viaPipe = AppendReport(folder.path(), Report("B"), Quick());
  ASSERT_FALSE(viaPipe.ok());
  EXPECT_NE(viaPipe.message().find("a pipe"), std::string::npos) << viaPipe.message();
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before);
  EXPECT_FALSE(fs::exists(outside / "counter"));
}

// A folder shared by a group, without the set-group-ID bit: files one
// account creates take the folder's group, so the other member writes them.
TEST(SharedFolder, InAGroupSharedFolderEveryMemberWritesWhatAnotherCreated) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as two user ids needs root";
  TempFolder folder;
  constexpr gid_t kGroup = 24680;
  ASSERT_EQ(::chown(folder.path().c_str(), 0, kGroup), 0);
  ASSERT_EQ(::chmod(folder.path().c_str(), 0770), 0);
  auto as = [&](uid_t uid, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::umask(022);
      const gid_t groups[] = {kGroup};
      if (::setgroups(1, groups) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0) ::_exit(90);
      ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
  };
  const time::DateTime now{2026, 12, 6, 14, 5, 9};
  auto work = [&](const std::string& who) {
    return [&folder, who, now] {
      if (!logs::LogSearch(folder.path(), now, who, "'x'").ok()) return 1;
      if (!AppendReport(folder.path(), Report(who), Quick()).ok()) return 2;
      users::UserRecord u;
      u.FirstName = who;
      u.Password = "xaybzc1d";
      if (!users::AddUser(folder.path(), u, Quick()).ok()) return 3;
      return 0;
    };
  };
  ASSERT_EQ(as(23456, work("first")), 0);
  ASSERT_EQ(as(23457, work("second")), 0);
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"first", "second"}));
  struct stat st {};
  ASSERT_EQ(::stat((folder / "Kestrova.Data").c_str(), &st), 0);
  EXPECT_EQ(st.st_gid, kGroup);
  EXPECT_EQ(st.st_mode & 0777, 0660u);
}

}  // namespace
}  // namespace kestrova::reports
