// What the lock protocol relies on, checked on a real network share: one
// folder mounted twice (scripts/share-test.sh mounts it over sshfs) stands
// for two workstations. KESTROVA_SHARE_DIRS names the two mounts,
// "first:second"; without it these tests are skipped.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <thread>

#include "core/files/change_counter.h"
#include "core/files/file.h"
#include "core/files/file_system.h"
#include "core/files/folder_lock.h"
#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"
#include "core/reports/report_heads.h"
#include "core/reports/report_import.h"
#include "core/reports/report_list.h"
#include "support/processes.h"
#include "support/still_clock.h"
#include "support/temp_folder.h"

namespace kestrova::files {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// The same new folder as each workstation sees it, removed afterwards.
class ShareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dirs = std::getenv("KESTROVA_SHARE_DIRS");
    if (!dirs || std::string(dirs).find(':') == std::string::npos) {
      GTEST_SKIP() << "KESTROVA_SHARE_DIRS names no share (scripts/share-test.sh mounts one)";
    }
    const std::string both(dirs);
    const std::string name =
        "share-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    one = fs::path(both.substr(0, both.find(':'))) / name;
    two = fs::path(both.substr(both.find(':') + 1)) / name;
    fs::create_directories(one);
    for (int i = 0; i < 100 && !fs::exists(two); ++i) std::this_thread::sleep_for(milliseconds(50));
    ASSERT_TRUE(fs::exists(two)) << "the second mount does not show the folder the first made";
  }
  void TearDown() override {
    std::error_code ignored;
    if (!one.empty()) fs::remove_all(one, ignored);
  }
  // The folder as workstation i sees it.
  const fs::path& At(int i) const { return i % 2 == 0 ? one : two; }

  fs::path one, two;
};

std::string ReadFresh(const fs::path& path) {
  auto file = File::Open(path, OpenMode::Read);
  if (!file.ok()) return "(" + file.message() + ")";
  auto size = file->Size();
  std::string bytes(size.ok() ? *size : 0, '\0');
  auto got = file->ReadSome(0, bytes.data(), bytes.size());
  bytes.resize(got.ok() ? *got : 0);
  return bytes;
}

TEST_F(ShareTest, ExclusiveCreateAndLinkAdmitOneWinnerAcrossWorkstations) {
  for (int round = 0; round < 20; ++round) {
    const std::string name = "taken-" + std::to_string(round);
    const std::string linked = "linked-" + std::to_string(round);
    testing::TempFolder results;
    EXPECT_TRUE(testing::RunInChildren(6, [&](int p) {
      const int fd = ::open((At(p) / name).c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
      if (fd >= 0) {
        ::close(fd);
        testing::WriteFileBytes(results / ("created-" + std::to_string(p)), "");
      }
      const fs::path mine = At(p) / ("mine-" + std::to_string(round) + "-" + std::to_string(p));
      testing::WriteFileBytes(mine, std::to_string(p));
      if (::link(mine.c_str(), (At(p) / linked).c_str()) == 0) {
        testing::WriteFileBytes(results / ("linked-" + std::to_string(p)), "");
      }
      return 0;
    }));
    int created = 0, links = 0;
    for (const auto& e : fs::directory_iterator(results.path())) {
      created += e.path().filename().string().rfind("created-", 0) == 0;
      links += e.path().filename().string().rfind("linked-", 0) == 0;
    }
    if (std::getenv("KESTROVA_SHARE_SMB")) {
      // smbnetfs has no links, and an exclusive create there can admit two
      // workstations creating at once: the lock relies on neither.
      EXPECT_GE(created, 1) << "round " << round;
      EXPECT_EQ(links, 0) << "round " << round;
      if (created > 1) std::cout << "[ share ] round " << round << ": " << created << " exclusive creates succeeded\n";
    } else {
      EXPECT_EQ(created, 1) << "round " << round;
      EXPECT_EQ(links, 1) << "round " << round;
    }
  }
}

TEST_F(ShareTest, ARenameOverAnExistingFileIsSeenWholeByTheOtherWorkstation) {
  for (int round = 0; round < 20; ++round) {
    const std::string before(100 + round, 'a');
    const std::string after(300 + round, 'b');
    testing::WriteFileBytes(one / "target", before);
    EXPECT_EQ(ReadFresh(two / "target"), before);
    testing::WriteFileBytes(two / "replacement", after);
    ASSERT_TRUE(ReplaceFile(two / "replacement", two / "target").ok());
    EXPECT_EQ(ReadFresh(one / "target"), after) << "round " << round;
    EXPECT_FALSE(fs::exists(one / "replacement"));
  }
}

// Each save sees the one the other workstation made just before: a stale
// cached length would put both at the same record number.
TEST_F(ShareTest, SavesTakingTurnsFromBothWorkstationsAllKeepTheirPlace) {
  const testing::StillClock clock;
  reports::DataFileOptions options;
  options.lock.waiting = nullptr;
  options.clock = &clock;
  auto listed = [](const fs::path& folder) {
    std::int32_t n = 0;
    EXPECT_TRUE(reports::ScanRecords(folder, [&](std::int32_t, const char*) { return ++n > 0; }).ok());
    return n;
  };
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(listed(At(i + 1)), i);  // the other workstation has just read the file
    reports::ReportRecord r;
    r.CaseNumber = "T" + std::to_string(i);
    r.ProgramVersion = 414;
    auto n = reports::AppendReport({At(i), options}, r);
    ASSERT_TRUE(n.ok()) << n.message();
    EXPECT_EQ(*n, i + 1);
    EXPECT_EQ(listed(At(i + 1)), i + 1) << "and sees the new report at once";
  }
  EXPECT_EQ(ReadFresh(one / "Kestrova.Data").size(), 60u * 20001u);
}

// One workstation saves reports one by one while the other imports a batch:
// every report is on file once, and the list each workstation builds, with
// heads kept from before or without, is the same.
TEST_F(ShareTest, SavesAndAnImportAtTheSameTimeLoseNoReportAndBothListsAgree) {
  reports::ReportHeads kept;
  reports::ListRequest request;
  ASSERT_TRUE(reports::BuildReportList(At(1), request, kept).ok());
  const auto report = [](int i) {
    reports::ReportRecord r;
    r.ControlNumber = 45000 + i / 1000.0;
    r.DateEntered = r.ControlNumber;
    r.CaseNumber = "S" + std::to_string(i);
    r.ListStatus = reports::kActiveList;
    r.ProgramVersion = 414;
    return r;
  };
  ASSERT_TRUE(testing::RunInChildren(2, [&](int w) {
    reports::DataFileOptions options;
    options.lock.waiting = nullptr;
    if (w == 0) {
      for (int i = 0; i < 20; ++i) {
        if (!reports::AppendReport({At(0), options}, report(i)).ok()) return 1;
      }
      return 0;
    }
    std::vector<reports::GivenReport> batch;
    for (int i = 100; i < 130; ++i) batch.push_back({report(i), "report " + std::to_string(i)});
    auto added = reports::AppendGivenReports({At(1), options}, batch);
    if (!added.ok()) std::cerr << added.message() << "\n";
    return added.ok() ? 0 : 1;
  }));
  auto fresh = reports::BuildReportList(At(0), request);
  auto again = reports::BuildReportList(At(1), request, kept);
  ASSERT_TRUE(fresh.ok() && again.ok());
  EXPECT_EQ(fresh->rows.size(), 50u);
  EXPECT_EQ(fresh->rows, again->rows);
  EXPECT_EQ(ReadFresh(one / "Kestrova.Data").size(), 50u * 20001u);
}

// One workstation deletes reports (each a rewrite of the whole file) while
// the other lists them: every list it gets is whole, the reports of one
// moment in their order; a list that caught the file shrinking says so.
TEST_F(ShareTest, DeletesOnOneWorkstationNeverShowTheOtherATornList) {
  constexpr int kReports = 24;
  for (int i = 0; i < kReports; ++i) {
    reports::ReportRecord r;
    r.ControlNumber = 45000 + i;
    r.DateEntered = r.ControlNumber;
    r.CaseNumber = "D" + std::to_string(100 + i);
    r.ListStatus = reports::kActiveList;
    r.ProgramVersion = 414;
    ASSERT_TRUE(reports::AppendReport(At(0), r).ok());
  }
  ASSERT_TRUE(testing::RunInChildren(2, [&](int w) {
    if (w == 0) {
      for (int i = 0; i < 12; ++i) {
        if (!reports::DeleteReport(At(0), {1, 45000.0 + i, "D" + std::to_string(100 + i)}, nullptr).ok()) return 1;
      }
      return 0;
    }
    reports::ReportHeads kept;
    reports::ListRequest request;
    request.sort = reports::SortOption::Entered;
    for (int round = 0; round < 40; ++round) {
      auto list = reports::BuildReportList(At(1), request, kept);
      if (!list.ok()) {
        if (list.message().find("became shorter") == std::string::npos) {
          std::cerr << "round " << round << ": " << list.message() << "\n";
          return 2;
        }
        continue;
      }
      // The reports left are the last ones, each at its place. Between a
      // delete's mark and its rewrite the report going sits first, marked.
      const auto n = static_cast<int>(list->rows.size());
      if (n < 12 || n > kReports) return 3;
      for (int k = 0; k < n; ++k) {
        const reports::ListRow& row = list->rows[static_cast<std::size_t>(k)];
        const bool going = k == 0 && row.caseNumber == reports::kKilledMark;
        if ((!going && row.caseNumber != "D" + std::to_string(100 + kReports - n + k)) || row.recordNumber != k + 1) {
          std::cerr << "round " << round << ": " << n << " rows, row " << k + 1 << " holds " << row.caseNumber
                    << " as report " << row.recordNumber << "\n";
          return 4;
        }
      }
    }
    return 0;
  }));
}

TEST_F(ShareTest, TheLockIsRespectedBrokenWhenStaleAndLostByItsStalledHolder) {
  LockOptions quick;
  quick.waiting = nullptr;
  quick.wait = milliseconds(400);
  auto first = FolderLock::Acquire(one, quick);
  ASSERT_TRUE(first.ok()) << first.message();
  auto busy = FolderLock::Acquire(two, quick);
  ASSERT_FALSE(busy.ok());
  EXPECT_EQ(busy.error().kind, Error::Kind::Busy);
  first->Release();
  auto second = FolderLock::Acquire(two, quick);
  ASSERT_TRUE(second.ok()) << second.message();
  EXPECT_TRUE(second->CheckStillOurs().ok());

  // The second holder stalls; the first workstation breaks its lock once it
  // has seen it unchanged for the stale period, and the stalled one finds
  // out before it commits.
  LockOptions breaking = quick;
  breaking.staleAfter = milliseconds(1500);
  breaking.wait = milliseconds(5000);
  auto third = FolderLock::Acquire(one, breaking);
  ASSERT_TRUE(third.ok()) << third.message();
  EXPECT_TRUE(third->CheckStillOurs().ok());
  EXPECT_FALSE(second->CheckStillOurs().ok());
  second->Release();
  EXPECT_TRUE(third->CheckStillOurs().ok()) << "the stalled holder's release left the new lock";
}

// A child's failure, said on the error stream: which step, and why.
int Told(int child, int step, const std::string& why) {
  std::fprintf(stderr, "[ share ] child %d failed at step %d %s\n", child, step, why.c_str());
  return step;
}

// Processes on both workstations race to break a dead holder's lock; in
// their critical sections a marker made exclusively and a counter read and
// written show a second holder at once.
TEST_F(ShareTest, RacingBreakersOnBothWorkstationsTakeTheLockOneAtATime) {
  for (int round = 0; round < 5; ++round) {
    std::string dead = "Kestrova lock\nhost=gone\nmachine=gone\npid=1\ntoken=" + std::to_string(round) + "\nbeat=1\n";
    dead.resize(255, ' ');
    testing::WriteFileBytes(one / "Kestrova.Lock", dead + "\n");
    testing::WriteFileBytes(one / "count", "0");
    EXPECT_TRUE(testing::RunInChildren(6,
                                       [&](int p) {
                                         LockOptions options;
                                         options.waiting = nullptr;
                                         options.staleAfter = milliseconds(1000);
                                         options.wait = milliseconds(30000);
                                         auto lock = FolderLock::Acquire(At(p), options);
                                         if (!lock.ok()) return Told(p, 1, lock.message());
                                         const int marker =
                                             ::open((At(p) / "inside").c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
                                         if (marker < 0) return Told(p, 3, std::strerror(errno));
                                         const int count = std::stoi(ReadFresh(At(p) / "count"));
                                         testing::WriteFileBytes(At(p) / "count.new", std::to_string(count + 1));
                                         int result = 0;
                                         if (!lock->CheckStillOurs().ok()) {
                                           result = 4;
                                         } else if (!ReplaceFile(At(p) / "count.new", At(p) / "count").ok()) {
                                           result = 5;
                                         }
                                         // A share may refuse to remove a file just closed
                                         // for a moment, as it does any open file.
                                         ::close(marker);
                                         if (files::UnlinkPatiently(At(p) / "inside") != 0) {
                                           return Told(p, 6, std::strerror(errno));
                                         }
                                         return result == 0 ? 0 : Told(p, result, "");
                                       }))
        << "round " << round;
    EXPECT_EQ(ReadFresh(two / "count"), "6") << "round " << round;
  }
}

// A "TempFile.$$$" left by a writer killed during a purge, seen by one
// workstation and then removed by the other: the first one's cache still
// shows it, and its next delete must go ahead all the same.
TEST_F(ShareTest, ATemporaryFileRemovedElsewhereDoesNotStopADelete) {
  const testing::StillClock clock;
  reports::DataFileOptions options;
  options.lock.waiting = nullptr;
  options.clock = &clock;
  for (int i = 0; i < 3; ++i) {
    reports::ReportRecord r;
    r.CaseNumber = "T" + std::to_string(i);
    r.ProgramVersion = 414;
    ASSERT_TRUE(reports::AppendReport({one, options}, r).ok());
  }
  testing::WriteFileBytes(one / "TempFile.$$$", std::string(20001, 'k'));
  EXPECT_TRUE(fs::exists(two / "TempFile.$$$"));  // now in the second one's cache
  ASSERT_TRUE(RemoveFile(one / "TempFile.$$$").ok());
  for (int i = 0; i < 2; ++i) {
    auto deleted = reports::DeleteReport({two, options}, {1, 0, "T" + std::to_string(i)}, nullptr);
    ASSERT_TRUE(deleted.ok()) << deleted.message();
  }
  EXPECT_EQ(ReadFresh(one / "Kestrova.Data").size(), 20001u);
}

// The list read over the share through the folder's index is the list read
// from a local copy of the data file, whatever became of the index.
TEST_F(ShareTest, AListReadThroughTheIndexEqualsTheLocalOneHoweverTheIndexWasSpoilt) {
  for (int i = 1; i <= 30; ++i) {
    reports::ReportRecord r;
    r.ControlNumber = 46000 + i;
    r.DateEntered = 46000 + (i * 7 % 30);
    r.CaseNumber = "I" + std::to_string(i * 13 % 30);
    r.ListStatus = i % 4 ? reports::kActiveList : reports::kInactiveList;
    r.ProgramVersion = 414;
    ASSERT_TRUE(reports::AppendReport(At(0), r).ok());
  }
  const fs::path data = one / "Kestrova.Data";
  const fs::path index = one / "Kestrova.Index";
  const auto settle = [&] {
    std::error_code ignored;
    fs::remove(index, ignored);
    const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 60, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, data.c_str(), times, 0), 0);
    reports::ReportHeads heads;
    ASSERT_EQ(*heads.Refresh(one), reports::ReportHeads::Source::DataFile);
    ASSERT_EQ(*heads.Refresh(one), reports::ReportHeads::Source::Kept);
    // A reader offers the index only when it can take the lock at once; a
    // share may keep the last writer's lock file a moment after its release.
    bool indexed = false;
    for (int tries = 0; tries < 50 && !indexed; ++tries) {
      if (tries > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      reports::ReportHeads next;
      indexed = *next.Refresh(one) == reports::ReportHeads::Source::Index;
    }
    ASSERT_TRUE(indexed) << "no index written over the share";
  };
  const auto sameAsLocal = [&](const char* what) {
    SCOPED_TRACE(what);
    testing::TempFolder local;
    fs::copy_file(data, local / "Kestrova.Data");
    for (const auto display : {reports::DisplayList::Active, reports::DisplayList::Inactive}) {
      reports::ListRequest request;
      request.display = display;
      auto shared = reports::BuildReportList(one, request);
      auto here = reports::BuildReportList(local.path(), request);
      ASSERT_TRUE(shared.ok() && here.ok());
      EXPECT_EQ(shared->rows, here->rows);
      EXPECT_FALSE(here->rows.empty());
    }
  };
  const auto writeAt = [](const fs::path& path, std::uint64_t at, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
  };
  const std::uint64_t caseAt = 4 * 20001 + reports::SpanOf("CaseNumber").offset;

  settle();
  sameAsLocal("settled");
  writeAt(data, caseAt, "OLDER");
  sameAsLocal("an older program's edit in place");
  settle();
  ASSERT_TRUE(BumpChangeCounter(one).ok());
  sameAsLocal("a write whose index never followed");
  settle();
  fs::resize_file(index, fs::file_size(index) - 100);
  sameAsLocal("a torn index");
  settle();
  writeAt(index, 64 + 30, "X");
  sameAsLocal("a damaged index");
  // An older program's edit in the second the data file was dated, with
  // the index dated in that second too.
  settle();
  struct stat st {};
  ASSERT_EQ(::stat(data.c_str(), &st), 0);
  writeAt(data, caseAt, "RACY!");
  const timespec same[2] = {{0, UTIME_OMIT}, st.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, data.c_str(), same, 0), 0);
  const timespec tick[2] = {{0, UTIME_OMIT}, {st.st_mtim.tv_sec + 1, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, index.c_str(), tick, 0), 0);
  sameAsLocal("an index dated in the tick of an edit");
}
}  // namespace
}  // namespace kestrova::files
