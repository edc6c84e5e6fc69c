#include <gtest/gtest.h>

#include <filesystem>

#include "core/files/change_counter.h"
#include "core/files/data_folder.h"
#include "core/network/change_watch.h"
#include "core/reports/report_actions.h"
#include "core/users/user_list.h"
#include "support/temp_folder.h"

namespace kestrova::network {
namespace {

using testing::TempFolder;

reports::ReportRecord Report(const std::string& caseNumber) {
  reports::ReportRecord r;
  r.ControlNumber = 45296.5;
  r.CaseNumber = caseNumber;
  r.ProgramVersion = 414;
  return r;
}

TEST(ChangeCounter, EveryWriteBumpsItUnderTheLockAndTellsTheWriter) {
  TempFolder folder;
  EXPECT_EQ(*files::ReadChangeCounter(folder.path()), 0u) << "no file reads as 0";
  std::vector<DataStamp> told;
  struct Recorder : files::WriteObserver {
    explicit Recorder(std::vector<DataStamp>& told) : told(told) {}
    void AboutToWrite(const std::filesystem::path&) override {}
    void Committed(const std::filesystem::path& f) override {
      EXPECT_TRUE(std::filesystem::exists(f / "Kestrova.Lock")) << "told while the lock is held";
      told.push_back(*ReadDataStamp(f));
    }
    std::vector<DataStamp>& told;
  } observer(told);
  files::RecordFileOptions options;
  options.observer = &observer;
  const files::DataFolder watched(folder.path(), options);
  ASSERT_TRUE(reports::AppendReport(watched, Report("A")).ok());
  ASSERT_TRUE(reports::AppendReport(watched, Report("B")).ok());
  ASSERT_TRUE(reports::ChangeReport(watched, {2, 45296.5, "B"}, [](reports::ReportRecord& r) { r.Title = "t"; }).ok());
  ASSERT_TRUE(reports::DeleteReport(watched, {1, 45296.5, "A"}, nullptr).ok());
  ASSERT_TRUE(reports::DeleteReport(watched, {1, 45296.5, "B"}, nullptr).ok());
  ASSERT_EQ(told.size(), 5u);
  EXPECT_EQ(told[0].changes, 1u);
  EXPECT_EQ(told[4].changes, 5u);
  EXPECT_FALSE(told[4].dataFile) << "the last report deleted: no data file is a stamp too";
  EXPECT_EQ(*ReadDataStamp(folder.path()), told[4]);
  // A refused write bumps nothing.
  EXPECT_FALSE(reports::ChangeReport(folder.path(), {1, 1, "gone"}, [](reports::ReportRecord&) {}).ok());
  EXPECT_EQ(*files::ReadChangeCounter(folder.path()), 5u);
}

// The watch means "the reports changed": adding, changing and deleting
// users leave the stamp as it was, so no main window is alerted.
TEST(ChangeCounter, UserListWritesLeaveTheStampAlone) {
  TempFolder folder;
  ASSERT_TRUE(reports::AppendReport(folder.path(), Report("A")).ok());
  const DataStamp before = *ReadDataStamp(folder.path());
  struct Counting : files::WriteObserver {
    void AboutToWrite(const std::filesystem::path&) override {}
    void Committed(const std::filesystem::path&) override { ++committed; }
    int committed = 0;
  } counting;
  files::RecordFileOptions options;
  options.observer = &counting;
  const files::DataFolder watched(folder.path(), options);
  users::UserRecord u;
  u.FirstName = "Ada";
  u.LastName = "Lane";
  u.Password = "xaybzc1d";
  u.AccessLevel = 4;
  ASSERT_TRUE(users::AddUser(watched, u).ok());
  ASSERT_TRUE(users::AddUser(watched, u).ok());
  u.Comments = "changed";
  ASSERT_TRUE(users::ChangeUser(watched, 2, users::IdentityOf(u), u).ok());
  ASSERT_TRUE(users::DeleteUser(watched, 1, nullptr).ok());
  EXPECT_EQ(counting.committed, 4) << "the writes went through";
  EXPECT_EQ(*ReadDataStamp(folder.path()), before);
  EXPECT_EQ(*files::ReadChangeCounter(folder.path()), 1u);
}

TEST(ChangeWatch, AnnouncesAnotherWritersChangeOnceAndFlashesWithTheSoundInItsSlots) {
  ChangeWatch watch;
  DataStamp onFile{3, true, 20001, 100};
  const auto read = [&] { return std::optional<DataStamp>(onFile); };
  watch.Remember(onFile);
  EXPECT_TRUE(watch.OnTick(1000, true, true, read).looked);
  EXPECT_FALSE(watch.OnTick(1001, true, true, read).looked) << "once in each five-second slot";
  // This workstation's own write: remembered, so not announced.
  onFile.changes = 4;
  watch.Remember(onFile);
  watch.OnTick(1005, true, true, read);
  EXPECT_FALSE(watch.flashing());
  // Another workstation's write, even within the same second of the file's date.
  onFile.changes = 5;
  EXPECT_FALSE(watch.OnTick(1010, false, true, read).looked) << "no reports listed: not looked for";
  watch.OnTick(1011, true, true, read);
  EXPECT_EQ(watch.look(), RefreshLook::Yellow);
  EXPECT_EQ((watch.OnTick(1012, true, true, read), watch.look()), RefreshLook::LightRed);
  EXPECT_EQ((watch.OnTick(1013, true, true, read), watch.look()), RefreshLook::LightGreen);
  // Sixty seconds of flashing: a tick lands twice in second 1020, and none
  // lands on second 1040.
  int sounds = 0;
  for (std::int64_t s = 1014; s < 1074; ++s) {
    if (s == 1040) continue;
    sounds += watch.OnTick(s, true, true, read).playSound;
    if (s == 1020) sounds += watch.OnTick(s, true, true, read).playSound;
  }
  EXPECT_EQ(sounds, 3) << "at 0, 20 and 40 s, once each";
  watch.Reset();
  watch.OnTick(1075, true, true, read);
  EXPECT_FALSE(watch.flashing()) << "one change is announced once";
  // Another workstation writes, then this one, before the next look.
  onFile.changes = 6;
  watch.BeforeOwnWrite(onFile);
  EXPECT_TRUE(watch.flashing()) << "the change before the own write is not swallowed";
}

}  // namespace
}  // namespace kestrova::network
