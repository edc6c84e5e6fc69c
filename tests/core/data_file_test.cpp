#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"
#include "support/processes.h"
#include "support/still_clock.h"
#include "support/stored_reports.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

const testing::StillClock kClock;

DataFileOptions Quick() {
  DataFileOptions options;
  options.retryFor = std::chrono::milliseconds(200);
  options.retryEvery = std::chrono::milliseconds(10);
  options.lock.wait = std::chrono::milliseconds(300);
  options.lock.waiting = nullptr;
  options.notice = nullptr;
  options.clock = &kClock;
  return options;
}

ReportRecord Report(const std::string& caseNumber, std::uint8_t list = kActiveList) {
  ReportRecord r;
  r.ControlNumber = 45296.5;
  r.CaseNumber = caseNumber;
  r.Title = "Title of " + caseNumber;
  r.DateEntered = 45296.25;
  r.ListStatus = list;
  r.ProgramVersion = 414;
  return r;
}

bool SetImmutable(const fs::path& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
  done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return done;
}

using testing::CaseNumbers;

TEST(DataFile, TheFirstReportOfAnEmptyFolderIsRecordOne) {
  TempFolder folder;
  auto n = AppendReport({folder.path(), Quick()}, Report("24-0001"));
  ASSERT_TRUE(n.ok()) << n.message();
  EXPECT_EQ(*n, 1);
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 20001u);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock")) << "the lock is released";
  auto second = AppendReport({folder.path(), Quick()}, Report("24-0002"));
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(*second, 2);
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 40002u);

  DataFile file(folder.path(), Quick());
  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Read).ok());
  EXPECT_EQ(file.RecordCount(), 2);
  auto record = file.ReadRecord(2);
  ASSERT_TRUE(record.ok());
  EXPECT_EQ(*record, Report("24-0002"));
}

TEST(DataFile, AReadDoesNotCreateTheFileButAWriteOpenDoes) {
  TempFolder folder;
  DataFile file(folder.path(), Quick());
  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Read).ok());
  EXPECT_EQ(file.RecordCount(), 0);
  EXPECT_FALSE(file.ReadRecord(1).ok());
  ASSERT_TRUE(file.CloseDataFile().ok());
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Data"));

  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Write).ok());
  EXPECT_TRUE(fs::exists(folder / "Kestrova.Lock"));
  ASSERT_TRUE(file.CloseDataFile().ok());
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 0u);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
}

TEST(DataFile, ARecordNumberPastTheEndIsAnError) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("1")).ok());
  DataFile file(folder.path(), Quick());
  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Write).ok());
  for (std::int32_t n : {0, -1, 2, 1000}) {
    auto r = file.ReadRecord(n);
    ASSERT_FALSE(r.ok()) << n;
    EXPECT_EQ(r.error().kind, Error::Kind::NotFound);
  }
  EXPECT_FALSE(file.WriteRecord(3, Report("gap")).ok()) << "no gaps";
  EXPECT_TRUE(file.WriteRecord(1, Report("one again")).ok());
  ASSERT_TRUE(file.CloseDataFile().ok());
  EXPECT_EQ(CaseNumbers(folder.path()), std::vector<std::string>{"one again"});
}

TEST(DataFile, APartialRecordIsNeverReadAsAReportNorWrittenWithoutAClockToNameItsCopy) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("1")).ok());
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("2")).ok());
  fs::resize_file(folder / "Kestrova.Data", 35000);
  const std::string before = ReadFileBytes(folder / "Kestrova.Data");

  DataFile reader(folder.path(), Quick());
  ASSERT_TRUE(reader.OpenDataFile(DataFileAccess::Read).ok());
  EXPECT_EQ(reader.RecordCount(), 2);  // 1.75 rounds to 2, as the count always did
  EXPECT_FALSE(reader.HasWholeRecords());
  EXPECT_TRUE(reader.ReadRecord(1).ok());
  EXPECT_FALSE(reader.ReadRecord(2).ok());
  ASSERT_TRUE(reader.CloseDataFile().ok());

  // The repair moves the tail to a file named by the time; with no clock
  // it cannot, and nothing is written.
  DataFileOptions noClock = Quick();
  noClock.clock = nullptr;
  auto append = AppendReport({folder.path(), noClock}, Report("3"));
  ASSERT_FALSE(append.ok());
  EXPECT_EQ(append.error().kind, Error::Kind::Damaged);
  EXPECT_EQ(append.message().rfind("The data file", 0), 0u) << append.message();
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before);
  EXPECT_EQ(CaseNumbers(folder.path()), std::vector<std::string>{"1"});
}

TEST(DataFile, PurgingRenumbersTheSurvivorsAndCountsThem) {
  TempFolder folder;
  for (const char* c : {"A", "B", "C"}) ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report(c)).ok());
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("D", kInactiveList)).ok());

  DataFile file(folder.path(), Quick());
  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Write).ok());
  auto b = file.ReadRecord(2);
  ASSERT_TRUE(b.ok());
  b->CaseNumber = std::string(kKilledMark);
  ASSERT_TRUE(file.WriteRecord(2, *b).ok());
  auto counts = file.PurgeKilledRecords();
  ASSERT_TRUE(counts.ok()) << counts.message();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(counts->ActiveCount, 2);
  EXPECT_EQ(counts->InactiveCount, 1);
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 60003u);
  EXPECT_EQ(CaseNumbers(folder.path()), (std::vector<std::string>{"A", "C", "D"}));
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
}

TEST(DataFile, AKilledMarkLeftBehindGoesWithTheNextPurge) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("$Killed$")).ok());
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("keep")).ok());
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("   $Killed$")).ok());
  auto counts = PurgeKilledRecords(folder.path(), Quick());
  ASSERT_TRUE(counts.ok());
  EXPECT_EQ(counts->ActiveCount, 1);
  EXPECT_EQ(CaseNumbers(folder.path()), std::vector<std::string>{"keep"});
}

TEST(DataFile, PurgingTheLastReportLeavesNoDataFile) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("$Killed$")).ok());
  auto counts = PurgeKilledRecords(folder.path(), Quick());
  ASSERT_TRUE(counts.ok());
  EXPECT_EQ(counts->ActiveCount + counts->InactiveCount, 0);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Data"));
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
  // The next open for writing creates it again, empty.
  DataFile file(folder.path(), Quick());
  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Write).ok());
  EXPECT_EQ(file.RecordCount(), 0);
}

TEST(DataFile, AFailedPurgeLeavesTheDataFileUntouched) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("A")).ok());
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("$Killed$")).ok());
  const std::string before = ReadFileBytes(folder / "Kestrova.Data");
  // A folder in the temporary file's place makes the rewrite fail.
  fs::create_directory(folder / "TempFile.$$$");
  auto counts = PurgeKilledRecords(folder.path(), Quick());
  EXPECT_FALSE(counts.ok());
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
}

TEST(DataFile, AWriteIsRefusedWhenTheStoredRecordIsAnotherReport) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("A")).ok());
  ReportRecord b = Report("B");
  b.ControlNumber = 45300.75;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, b).ok());

  DataFile file(folder.path(), Quick());
  ASSERT_TRUE(file.OpenDataFile(DataFileAccess::Write).ok());
  EXPECT_TRUE(file.CheckRecordIdentity(2, 45300.75, "B").ok());
  EXPECT_TRUE(file.CheckRecordIdentity(2, 45300.75, "  B ").ok());
  auto otherCase = file.CheckRecordIdentity(2, 45300.75, "A");
  EXPECT_EQ(otherCase.error().kind, Error::Kind::Conflict);
  EXPECT_FALSE(file.CheckRecordIdentity(2, 45296.5, "B").ok());
  EXPECT_FALSE(file.CheckRecordIdentity(3, 45300.75, "B").ok());
}

TEST(DataFile, AnEditFollowsItsReportPastADeleteElsewhereAndIsRefusedOnceItChanged) {
  TempFolder folder;
  // Three reports with the same control number: only their bytes tell them apart.
  for (const char* c : {"A", "B", "C"}) ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report(c)).ok());
  const auto c = ReadStoredReport({folder.path(), Quick()}, 3);
  ASSERT_TRUE(c.ok());
  ASSERT_TRUE(DeleteReport({folder.path(), Quick()}, {1, 45296.5, "A"}, nullptr).ok());
  const auto retitle = [](ReportRecord& r) { r.Title = "edited"; };
  auto edited = RewriteEditedReport({folder.path(), Quick()}, 3, c->bytes, retitle);
  ASSERT_TRUE(edited.ok()) << edited.message();
  EXPECT_TRUE(edited->written);
  EXPECT_EQ(edited->recordNumber, 2) << "C moved down one";
  EXPECT_EQ(ReadReport({folder.path(), Quick()}, 2)->Title, "edited");
  EXPECT_EQ(ReadReport({folder.path(), Quick()}, 1)->Title, "Title of B") << "B is not touched";
  // The same edit again: C no longer holds the bytes read, and B never did.
  const std::string before = ReadFileBytes(folder / "Kestrova.Data");
  auto stale = RewriteEditedReport({folder.path(), Quick()}, 2, c->bytes, retitle);
  ASSERT_TRUE(stale.ok());
  EXPECT_FALSE(stale->written);
  EXPECT_EQ(stale->recordNumber, 2) << "the nearest report with its control number";
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), before) << "nothing written";
}

TEST(DataFile, AnOpenThatKeepsFailingEndsInAnErrorAfterItsRetries) {
  TempFolder folder;
  ASSERT_TRUE(AppendReport({folder.path(), Quick()}, Report("1")).ok());
  // A file that cannot be opened for writing: without permissions, or for
  // root (who ignores them) immutable.
  const fs::path path = folder / "Kestrova.Data";
  ::chmod(path.c_str(), 0444);
  const bool immutable = ::geteuid() == 0 && SetImmutable(path, true);
  if (::geteuid() == 0 && !immutable) GTEST_SKIP() << "this file system has no immutable files";
  DataFile file(folder.path(), Quick());
  const auto started = std::chrono::steady_clock::now();
  Status opened = file.OpenDataFile(DataFileAccess::Write);
  const auto waited = std::chrono::steady_clock::now() - started;
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.error().kind, Error::Kind::Busy);
  EXPECT_NE(opened.message().find("Kestrova.Data"), std::string::npos);
  EXPECT_GE(waited, std::chrono::milliseconds(200)) << "retried before giving up";
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
  if (immutable) SetImmutable(path, false);
}

TEST(DataFile, ScanningReadsEveryWholeRecordInOrder) {
  TempFolder folder;
  {
    DataFile file(folder.path(), Quick());
    ASSERT_TRUE(file.OpenDataFile().ok());
    for (int i = 1; i <= 150; ++i) {
      ASSERT_TRUE(file.WriteRecord(i, Report(std::to_string(i), i % 3 ? kActiveList : kInactiveList)).ok());
    }
    ASSERT_TRUE(file.CloseDataFile().ok());
  }
  std::int32_t expected = 0;
  ASSERT_TRUE(ScanRecords(folder.path(), [&](std::int32_t n, const char* bytes) {
                EXPECT_EQ(n, ++expected);
                EXPECT_EQ(StoredCaseNumber(bytes), std::to_string(n));
                return true;
              }).ok());
  EXPECT_EQ(expected, 150);
  auto counts = CountReports(folder.path());
  ASSERT_TRUE(counts.ok());
  EXPECT_EQ(counts->ActiveCount, 100);
  EXPECT_EQ(counts->InactiveCount, 50);
  // Stopping early.
  int seen = 0;
  ASSERT_TRUE(ScanRecords(folder.path(), [&](std::int32_t, const char*) { return ++seen < 5; }).ok());
  EXPECT_EQ(seen, 5);
}

// Several workstations saving at the same moment: every report is kept.
TEST(DataFile, ProcessesAppendingAtOnceAllKeepTheirReports) {
  TempFolder folder;
  constexpr int kProcesses = 6;
  constexpr int kEach = 25;
  EXPECT_TRUE(testing::RunInChildren(kProcesses, [&](int p) {
    DataFileOptions options;
    options.lock.wait = std::chrono::milliseconds(20000);
    int failures = 0;
    for (int i = 0; i < kEach; ++i) {
      const std::string caseNumber = "P" + std::to_string(p) + "-" + std::to_string(i);
      if (!AppendReport({folder.path(), options}, Report(caseNumber)).ok()) ++failures;
    }
    return failures;
  }));
  const auto cases = CaseNumbers(folder.path());
  EXPECT_EQ(cases.size(), static_cast<std::size_t>(kProcesses * kEach));
  const std::set<std::string> unique(cases.begin(), cases.end());
  EXPECT_EQ(unique.size(), static_cast<std::size_t>(kProcesses * kEach));
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kEach; ++i) {
      EXPECT_TRUE(unique.count("P" + std::to_string(p) + "-" + std::to_string(i)));
    }
  }
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 20001u * kProcesses * kEach);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
}

}  // namespace
}  // namespace kestrova::reports
