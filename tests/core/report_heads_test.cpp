#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "core/files/file_system.h"
#include "core/reports/folder_check.h"
#include "core/reports/report_actions.h"
#include "core/reports/report_list.h"
#include "core/users/user_list.h"
#include "support/smb_like_file_system.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

using testing::TempFolder;

ReportRecord Report(int i, std::uint8_t list = kActiveList) {
  ReportRecord r;
  r.ControlNumber = 40000 + i;
  r.CaseNumber = "24-" + std::to_string(1000 - i % 37);  // out of file order
  r.Title = std::string(static_cast<std::size_t>(i % 50), 'x') + " title " + std::to_string(i);
  r.CriminalViolations = "PC " + std::to_string(i % 7);
  r.DateEntered = 44000 + (i * 7919 % 600) + 0.25;
  r.ListStatus = list;
  r.ProgramVersion = 414;
  return r;
}

// The operating system's calls, counting the opens of the data file and its
// index; and,
// when told, a page cache that never holds the data file (a cold disk), or
// holds every other span of it.
class Watching : public files::FileSystem {
 public:
  enum class Cache { Real, Empty, Patchy };
  Cache cache = Cache::Real;
  std::atomic<int> dataOpens{0};

  int Open(const std::filesystem::path& path, int flags, unsigned mode) override {
    if (path.filename() == kDataFileName) ++dataOpens;
    return FileSystem::Open(path, flags, mode);
  }
  ssize_t PReadCached(int fd, void* data, std::size_t size, std::uint64_t offset) override {
    if (cache == Cache::Empty || (cache == Cache::Patchy && ++calls_ % 3 != 0)) {
      errno = EAGAIN;
      return -1;
    }
    return FileSystem::PReadCached(fd, data, size, offset);
  }

 private:
  int calls_ = 0;
};

std::vector<ListRow> Rows(const std::filesystem::path& folder, const ListRequest& request, ReportHeads& heads) {
  auto list = BuildReportList(folder, request, heads);
  EXPECT_TRUE(list.ok()) << list.message();
  return list.ok() ? list->rows : std::vector<ListRow>{};
}

std::vector<ListRow> Fresh(const std::filesystem::path& folder, const ListRequest& request) {
  ReportHeads none;
  return Rows(folder, request, none);
}

TEST(ReportHeads, AreKeptWhileTheReportsStayTheSameAndReadAgainOnAnyChange) {
  TempFolder folder;
  for (int i = 1; i <= 30; ++i) ASSERT_TRUE(AppendReport(folder.path(), Report(i, i % 4 ? 1 : 2)).ok());
  Watching fs;
  testing::UsingFileSystem using_(fs);
  ReportHeads heads;
  ListRequest request;
  EXPECT_EQ(Rows(folder.path(), request, heads).size(), 23u);
  EXPECT_EQ(fs.dataOpens.load(), 1);

  // Sort and show options, the other list, a summary, a search of the
  // heads' members: nothing but the stamp is read.
  std::vector<std::pair<ListRequest, std::vector<ListRow>>> built;
  for (const SortOption sort : {SortOption::Entered, SortOption::CaseNumber}) {
    for (const DisplayList display : {DisplayList::Active, DisplayList::Inactive}) {
      request.sort = sort;
      request.display = display;
      request.show = ShowOption::Violations;
      built.push_back({request, Rows(folder.path(), request, heads)});
    }
  }
  ListRequest search;
  search.flags = {false, true, false};
  search.criteria = {"PC 3", 5, 1, 0, 0};
  built.push_back({search, Rows(folder.path(), search, heads)});
  EXPECT_EQ(built.back().second.size(), 3u) << "3, 10 and 17; 24 is inactive";
  EXPECT_EQ(fs.dataOpens.load(), 1);
  EXPECT_EQ(*heads.Refresh(folder.path()), ReportHeads::Source::Kept);
  for (const auto& [asked, rows] : built) EXPECT_EQ(rows, Fresh(folder.path(), asked));

  // A user added elsewhere changes nothing the list shows.
  users::UserRecord user;
  user.FirstName = "Ada";
  user.Password = "xaybzc1d";
  ASSERT_TRUE(users::AddUser(folder.path(), user).ok());
  EXPECT_EQ(*heads.Refresh(folder.path()), ReportHeads::Source::Kept);

  // Another workstation appends, then edits in place: read again each time.
  ASSERT_TRUE(AppendReport(folder.path(), Report(31)).ok());
  EXPECT_NE(*heads.Refresh(folder.path()), ReportHeads::Source::Kept);
  EXPECT_EQ(heads.count(), 31);
  ASSERT_TRUE(ChangeReport(folder.path(), {31, 40031, Report(31).CaseNumber}, [](ReportRecord& r) {
                r.Title = "changed";
              }).ok());
  request = {};
  EXPECT_EQ(Rows(folder.path(), request, heads), Fresh(folder.path(), request));

  // A program that knows nothing of the change counter writes a record in
  // place: the data file's time shows it.
  ReportRecord older = Report(5, 2);
  older.Title = "written by an older program";
  RecordBytes bytes;
  EncodeReportRecord(older, bytes.data());
  const int fd = ::open((folder / "Kestrova.Data").c_str(), O_WRONLY);
  ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 4 * kReportRecordSize), static_cast<ssize_t>(bytes.size()));
  const timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
  ASSERT_EQ(::futimens(fd, times), 0);
  ::close(fd);
  request.display = DisplayList::Inactive;
  const auto rows = Rows(folder.path(), request, heads);
  EXPECT_EQ(rows, Fresh(folder.path(), request));
  EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const ListRow& r) { return r.recordNumber == 5; }));
}

// A disk whose page cache holds nothing, or part of the file, is read in
// blocks: what the list, the check and the counts see is the same.
TEST(ReportHeads, ADiskReadColdOrHalfCachedGivesTheSameHeads) {
  TempFolder folder;
  for (int i = 1; i <= 130; ++i) ASSERT_TRUE(AppendReport(folder.path(), Report(i, i % 5 ? 1 : 2)).ok());
  ListRequest request;
  request.sort = SortOption::Entered;
  const auto warm = Fresh(folder.path(), request);
  const auto counts = *CountReports(folder.path());
  ASSERT_EQ(warm.size(), 104u);
  for (const Watching::Cache cache : {Watching::Cache::Empty, Watching::Cache::Patchy}) {
    Watching fs;
    fs.cache = cache;
    testing::UsingFileSystem using_(fs);
    EXPECT_EQ(Fresh(folder.path(), request), warm);
    const auto cold = *CountReports(folder.path());
    EXPECT_EQ(cold.ActiveCount, counts.ActiveCount);
    EXPECT_EQ(cold.InactiveCount, counts.InactiveCount);
    const auto check = CheckDataFolder(folder.path());
    ASSERT_TRUE(check.ok());
    EXPECT_EQ(check->reportsChecked, 130);
    EXPECT_TRUE(check->problems.empty());
  }
}

}  // namespace
}  // namespace kestrova::reports
