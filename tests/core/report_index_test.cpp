#include "core/reports/report_index.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "core/files/change_counter.h"
#include "core/files/file.h"
#include "core/files/file_system.h"
#include "core/files/folder_lock.h"
#include "core/reports/report_actions.h"
#include "core/reports/report_heads.h"
#include "support/smb_like_file_system.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using Source = ReportHeads::Source;

ReportRecord Report(int i) {
  ReportRecord r;
  r.ControlNumber = 70000 + i;
  r.CaseNumber = "26-" + std::to_string(500 - i % 23);
  r.Title = "title " + std::to_string(i);
  r.DateEntered = 45000 + i * 0.5;
  r.ListStatus = i % 3 == 0 ? kInactiveList : kActiveList;
  r.ProgramVersion = 414;
  return r;
}

void Fill(const fs::path& folder, int count) {
  for (int i = 1; i <= count; ++i) ASSERT_TRUE(AppendReport(folder, Report(i)).ok());
}

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

void SetTime(const fs::path& path, std::int64_t seconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}
std::int64_t TimeOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0);
  return st.st_mtim.tv_sec;
}

// Writes record n's bytes in place as a program that knows nothing of the
// index or the change counter would.
void WriteInPlace(const fs::path& folder, int n, const ReportRecord& record) {
  RecordBytes bytes;
  EncodeReportRecord(record, bytes.data());
  const int fd = ::open((folder / kDataFileName).c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(n - 1) * kReportRecordSize),
            static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

// Every head as the data file holds it now.
std::vector<char> Scanned(const fs::path& folder) {
  std::vector<char> entries;
  EXPECT_TRUE(ScanRecordHeads(folder, kHeadSize, [&](std::int32_t, const char* head, const char* tail) {
                entries.insert(entries.end(), head, head + kHeadSize);
                entries.push_back(tail[0]);
                return true;
              }).ok());
  return entries;
}

// The heads a workstation that has just started gets, and where from.
std::vector<char> Listed(const fs::path& folder, Source* from = nullptr) {
  ReportHeads heads;
  auto source = heads.Refresh(folder);
  EXPECT_TRUE(source.ok()) << source.message();
  if (from && source.ok()) *from = *source;
  std::vector<char> entries;
  for (std::int32_t n = 1; n <= heads.count(); ++n) {
    entries.insert(entries.end(), heads.head(n), heads.head(n) + kHeadEntrySize);
  }
  return entries;
}

// A folder whose data file last changed a minute ago, with the index a
// reader wrote since: the next reader takes the heads from it.
void Settle(const fs::path& folder) {
  fs::remove(folder / kIndexFileName);
  SetTime(folder / kDataFileName, Now() - 60);
  Source from{};
  Listed(folder, &from);
  ASSERT_EQ(from, Source::DataFile);
  ASSERT_TRUE(fs::exists(folder / kIndexFileName));
  Listed(folder, &from);
  ASSERT_EQ(from, Source::Index);
}

TEST(ReportIndex, IsWrittenByAReadOfSettledReportsAndServesTheNextReader) {
  TempFolder folder;
  Fill(folder.path(), 40);
  // Just written: an index now might share the data file's time, so none
  // is written.
  Source from{};
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_EQ(from, Source::DataFile);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Index"));

  Settle(folder.path());
  const std::string index = testing::ReadFileBytes(folder / "Kestrova.Index");
  ASSERT_EQ(index.size(), 64 + 40 * kHeadEntrySize);
  EXPECT_EQ(index.substr(0, 8), "KestIdx1");
  std::uint32_t count = 0;
  std::uint64_t size = 0, changes = 0;
  std::memcpy(&count, index.data() + 12, 4);
  std::memcpy(&changes, index.data() + 16, 8);
  std::memcpy(&size, index.data() + 24, 8);
  EXPECT_EQ(count, 40u);
  EXPECT_EQ(changes, *files::ReadChangeCounter(folder.path()));
  EXPECT_EQ(size, 40u * kReportRecordSize);
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_EQ(from, Source::Index);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Index.new"));

  // What the index holds is what the reader gets: an edit that kept the
  // data file's size, time and counter (which a file system that dates
  // writes past the margin cannot give) is not seen.
  const std::int64_t settled = TimeOf(folder.path() / kDataFileName);
  ReportRecord edited = Report(3);
  edited.CaseNumber = "EDITED";
  WriteInPlace(folder.path(), 3, edited);
  SetTime(folder.path() / kDataFileName, settled);
  EXPECT_NE(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_EQ(from, Source::Index);
}

TEST(ReportIndex, IsIgnoredAndWrittenAgainWhenAnythingElseChangedTheFolder) {
  TempFolder folder;
  Fill(folder.path(), 25);
  const fs::path data = folder.path() / kDataFileName;
  const fs::path index = folder.path() / kIndexFileName;
  struct Way {
    const char* what;
    std::function<void()> spoil;
  };
  ReportRecord older = Report(7);
  older.Title = "written by an older program";
  const std::vector<Way> ways = {
      {"an older program's edit in place", [&] { WriteInPlace(folder.path(), 7, older); }},
      {"an older program's append",
       [&] {
         const int fd = ::open(data.c_str(), O_WRONLY | O_APPEND);
         RecordBytes bytes;
         EncodeReportRecord(Report(26), bytes.data());
         ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
         ::close(fd);
       }},
      {"a save, its index never written (a crash)",
       [&] {
         ASSERT_TRUE(ChangeReport(folder.path(), {2, 70002, Report(2).CaseNumber}, [](ReportRecord& r) {
                       r.CaseNumber = "SAVED";
                     }).ok());
       }},
      {"only the change counter bumped", [&] { ASSERT_TRUE(files::BumpChangeCounter(folder.path()).ok()); }},
      {"an index cut short", [&] { fs::resize_file(index, fs::file_size(index) - kHeadEntrySize); }},
      {"an index cut to its header", [&] { fs::resize_file(index, 64); }},
      {"an empty index", [&] { fs::resize_file(index, 0); }},
      {"a byte of an entry changed",
       [&] {
         const int fd = ::open(index.c_str(), O_WRONLY);
         ASSERT_EQ(::pwrite(fd, "Z", 1, 64 + 3 * kHeadEntrySize + 20), 1);
         ::close(fd);
       }},
      {"a byte of the header changed",
       [&] {
         const int fd = ::open(index.c_str(), O_WRONLY);
         ASSERT_EQ(::pwrite(fd, "\x7f", 1, 20), 1);
         ::close(fd);
       }},
      {"another folder's index", [&] {
         TempFolder other;
         Fill(other.path(), 25);
         SetTime(other.path() / kDataFileName, Now() - 120);
         Listed(other.path());
         fs::copy_file(other / "Kestrova.Index", index, fs::copy_options::overwrite_existing);
       }}};
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    Settle(folder.path());
    way.spoil();
    Source from{};
    EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
    EXPECT_EQ(from, Source::DataFile);
  }

  // A copy of the folder: dated now, its index is stale; copied with every
  // date kept, it still describes its data file exactly.
  Settle(folder.path());
  TempFolder copy, kept;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    fs::copy_file(entry.path(), copy / entry.path().filename().string());
    fs::copy_file(entry.path(), kept / entry.path().filename().string());
    SetTime(kept / entry.path().filename().string(), TimeOf(entry.path()));
  }
  Source from{};
  EXPECT_EQ(Listed(copy.path(), &from), Scanned(copy.path()));
  EXPECT_EQ(from, Source::DataFile);
  EXPECT_EQ(Listed(kept.path(), &from), Scanned(folder.path()));
  EXPECT_EQ(from, Source::Index);

  // A reader that died between writing the index and putting it in place.
  std::ofstream(folder / "Kestrova.Index.new") << "half";
  fs::remove(index);
  Listed(folder.path(), &from);
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_EQ(from, Source::Index);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Index.new"));
}

// Dates as a share keeps them: to the second. And optionally a file
// server whose clock is behind this computer's, or a cache of the data
// file's status that still shows it as it was.
class Granular : public files::FileSystem {
 public:
  std::int64_t serverBehind = 0;  // seconds
  std::optional<struct stat> cachedData;

  int LStat(const fs::path& path, struct stat* st) override {
    if (cachedData && path.filename() == kDataFileName) {
      *st = *cachedData;
      return 0;
    }
    const int r = FileSystem::LStat(path, st);
    if (r == 0) {
      st->st_mtim.tv_nsec = 0;
      if (path.filename() == files::kLockFileName) st->st_mtim.tv_sec -= serverBehind;
    }
    return r;
  }
};

TEST(ReportIndex, IsTrustedOnlyWhenTheServerDatedItWellAfterTheDataFile) {
  TempFolder folder;
  Fill(folder.path(), 12);
  Granular granular;
  testing::UsingFileSystem using_(granular);
  Settle(folder.path());
  const fs::path data = folder.path() / kDataFileName;
  const fs::path index = folder.path() / kIndexFileName;

  // An older program edits a report in the second the data file was
  // dated, and the index is dated in that second too, or up to the margin
  // after it: the index could have been taken before the edit.
  ReportRecord edited = Report(4);
  edited.Title = "edited in the same second";
  for (const std::int64_t after : {0, 1, 2}) {
    SCOPED_TRACE(after);
    WriteInPlace(folder.path(), 4, Report(4));
    Settle(folder.path());
    const std::int64_t changed = TimeOf(data);
    WriteInPlace(folder.path(), 4, edited);
    SetTime(data, changed);
    SetTime(index, changed + after);
    Source from{};
    EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
    EXPECT_EQ(from, Source::DataFile);
  }

  // The server's clock decides, not this computer's: by ours the data file
  // changed a minute ago, by the server's it has only just changed.
  fs::remove(index);
  granular.serverBehind = 59;
  Source from{};
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_FALSE(fs::exists(index));
  granular.serverBehind = 0;
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_TRUE(fs::exists(index));

  // A cache still shows the data file as it was when another program,
  // which keeps no counter, appended a report: the file server's own
  // answer shows it.
  struct stat before {};
  ASSERT_EQ(::lstat(data.c_str(), &before), 0);
  granular.cachedData = before;
  const int fd = ::open(data.c_str(), O_WRONLY | O_APPEND);
  RecordBytes bytes;
  EncodeReportRecord(Report(13), bytes.data());
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
  EXPECT_EQ(Listed(folder.path(), &from).size(), 13 * kHeadEntrySize);
  EXPECT_EQ(from, Source::DataFile);
  granular.cachedData.reset();

  // While another writer holds the lock the reader does not wait for it:
  // no index this time.
  fs::remove(index);
  std::atomic<int> step{0};
  std::thread writer([&] {
    auto held = files::FolderLock::Acquire(folder.path());
    step = held.ok() ? 1 : -1;
    while (step == 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  while (step == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(step.load(), 1);
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_FALSE(fs::exists(index));
  step = 2;
  writer.join();
}

TEST(ReportIndex, OnAShareThatRefusesToReplaceAnOpenFileSavesGoOnAndNothingStaleIsRead) {
  TempFolder folder;
  Fill(folder.path(), 10);
  testing::SmbLikeFileSystem smb;
  testing::UsingFileSystem using_(smb);
  Settle(folder.path());
  // Another workstation is reading the index when a save changes the
  // reports: the index cannot be replaced, the save goes through, and the
  // old index is never taken for the new reports.
  auto reading = files::File::Open(folder.path() / kIndexFileName, files::OpenMode::Read);
  ASSERT_TRUE(reading.ok());
  ASSERT_TRUE(AppendReport(folder.path(), Report(11)).ok());
  SetTime(folder.path() / kDataFileName, Now() - 30);
  Source from{};
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_EQ(from, Source::DataFile);
  EXPECT_GT(smb.refusedRenames.load(), 0);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Index.new"));
  ASSERT_TRUE(reading->Close().ok());
  EXPECT_EQ(Listed(folder.path(), &from), Scanned(folder.path()));
  EXPECT_EQ(Listed(folder.path(), &from).size(), 11 * kHeadEntrySize);
  EXPECT_EQ(from, Source::Index);
}

}  // namespace
}  // namespace kestrova::reports
