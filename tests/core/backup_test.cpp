// Backing the data folder up and restoring it: byte for byte, nothing half
// done, and a consistent picture while other workstations write.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>

#include "core/backup/backup.h"
#include "core/backup/backup_texts.h"
#include "core/backup/procedure.h"
#include "core/backup/staged_copy.h"
#include "core/files/change_counter.h"
#include "core/logs/activity_log.h"
#include "core/reports/data_file.h"
#include "core/users/user_list.h"
#include "support/smb_like_file_system.h"
#include "support/still_clock.h"
#include "support/temp_folder.h"

namespace kestrova::backup {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;
using Kind = Outcome::Kind;

const testing::StillClock kClock;  // 6 Dec 2026 14:05:09
const time::DateTime kAt{2026, 12, 6, 14, 5, 9};

files::RecordFileOptions Quick() {
  files::RecordFileOptions options;
  options.lock.wait = milliseconds(2000);
  options.lock.waiting = nullptr;
  options.notice = nullptr;
  options.clock = &kClock;
  return options;
}

ProcedureOptions Fast() {
  ProcedureOptions options;
  options.pace = milliseconds(0);
  options.renamePatience = milliseconds(200);
  options.lock.wait = milliseconds(2000);
  options.lock.waiting = nullptr;
  options.clock = &kClock;
  return options;
}

reports::ReportRecord Report(const std::string& caseNumber) {
  reports::ReportRecord r;
  r.ControlNumber = 45296.5;
  r.CaseNumber = caseNumber;
  r.Title = "Title of " + caseNumber;
  r.ProgramVersion = 414;
  return r;
}

users::UserRecord User(const std::string& first, std::int16_t level) {
  users::UserRecord u;
  u.FirstName = first;
  u.LastName = "Lee";
  u.Password = "x";
  u.AccessLevel = level;
  return u;
}

// A data folder as the program leaves it: reports, users, logs (no
// "User.Log") and an access code.
void Populate(const fs::path& folder) {
  for (const char* c : {"24-001", "24-002", "24-003"})
    ASSERT_TRUE(reports::AppendReport({folder, Quick()}, Report(c)).ok());
  ASSERT_TRUE(users::AddUser({folder, Quick()}, User("Ann", 4)).ok());
  ASSERT_TRUE(logs::LogSignInOut(folder, kAt, logs::kSignedIn, "Ann Lee", users::AccessLevel::FullAccess).ok());
  ASSERT_TRUE(logs::LogUserListChange(folder, kAt, logs::kAdded, "Ann Lee").ok());
  ASSERT_TRUE(logs::LogRecordChange(folder, kAt, logs::kAdded, Report("24-001"), "Ann Lee").ok());
  ASSERT_TRUE(logs::LogSearch(folder, kAt, "Ann Lee", "'smith'").ok());
  WriteFileBytes(folder / "Kestrova.Access", "sha256$20000$0011$aabb\r\n");
}

// Every regular file of a folder and its bytes, but for the change counter.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name != "Kestrova.Changes") files[name] = ReadFileBytes(entry.path());
  }
  return files;
}

unsigned ModeOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_mode & 0777;
}

// Reads of one file fail past a point, and writes to the copies run out of
// room past another: a source going bad and a full disk, midway.
class FaultyDisk : public files::FileSystem {
 public:
  std::string readFailsIn;
  std::uint64_t readFailsAfter = 0;
  std::uint64_t copiesFullAfter = UINT64_MAX;
  // A copy reads back with one byte changed at this offset: a disk that
  // does not store what it is given.
  std::uint64_t copiesReadWrongAt = UINT64_MAX;
  // Told before each read of a file by name: another workstation at work.
  std::function<void(const std::string& name, std::uint64_t offset)> beforeRead;
  std::map<std::string, std::uint64_t> written;  // bytes, by file name

  int Open(const fs::path& path, int flags, unsigned mode) override {
    const int fd = FileSystem::Open(path, flags, mode);
    std::lock_guard<std::mutex> guard(mutex_);
    if (fd >= 0) names_[fd] = path.filename().string();
    return fd;
  }
  int Close(int fd) override {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      names_.erase(fd);
    }
    return FileSystem::Close(fd);
  }
  ssize_t PRead(int fd, void* data, std::size_t size, std::uint64_t offset) override {
    if (beforeRead) beforeRead(NameOf(fd), offset);
    if (NameOf(fd) == readFailsIn && offset + size > readFailsAfter) {
      errno = EIO;
      return -1;
    }
    const ssize_t n = FileSystem::PRead(fd, data, size, offset);
    if (n > 0 && NameOf(fd).ends_with(".copying") && copiesReadWrongAt >= offset &&
        copiesReadWrongAt < offset + static_cast<std::uint64_t>(n)) {
      static_cast<char*>(data)[copiesReadWrongAt - offset] ^= 0x20;
    }
    return n;
  }
  ssize_t PWrite(int fd, const void* data, std::size_t size, std::uint64_t offset) override {
    if (NameOf(fd).ends_with(".copying") && offset + size > copiesFullAfter) {
      errno = ENOSPC;
      return -1;
    }
    {
      const std::string name = NameOf(fd);
      std::lock_guard<std::mutex> guard(mutex_);
      written[name] += size;
    }
    return FileSystem::PWrite(fd, data, size, offset);
  }

 private:
  std::string NameOf(int fd) {
    std::lock_guard<std::mutex> guard(mutex_);
    return names_.count(fd) ? names_[fd] : std::string();
  }
  std::mutex mutex_;
  std::map<int, std::string> names_;
};

TEST(Backup, BacksUpAndRestoresByteForByteKeepingTheReplacedLogs) {
  TempFolder data;
  TempFolder target;
  Populate(data.path());
  ::chmod((data / "Search.Log").c_str(), 0444);  // read-only, as an earlier release left it
  WriteFileBytes(data / "Kestrova.Index", "the list's index, never carried");

  const BackupPlan plan = PlanBackup(data.path(), target.path());
  EXPECT_EQ(plan.stop, Stop::None);
  EXPECT_FALSE(plan.holdsOtherFiles);
  EXPECT_EQ(plan.skipped, std::vector<std::string>{"User.Log"});
  const auto before = Snapshot(data.path());
  // The pace before each file, never spent holding the folder's lock.
  ProcedureOptions paced = Fast();
  paced.pace = milliseconds(1000);
  std::vector<std::string> captions;
  paced.progress = [&](const Progress& p) {
    if (p.step == Progress::Step::Copying && p.bytesDone == 0)
      captions.push_back(CopyingCaption(Procedure::Backup, p.fileName));
  };
  paced.wait = [&](milliseconds pause) {
    EXPECT_EQ(pause, milliseconds(1000));
    EXPECT_FALSE(files::FolderLock::HeldHere(data.path()));
    captions.emplace_back("paused");
  };
  const Outcome backedUp = RunBackup(data.path(), target.path(), paced);
  ASSERT_TRUE(backedUp.ok()) << backedUp.reason;
  EXPECT_EQ(captions.size(), 14u) << ::testing::PrintToString(captions);
  EXPECT_EQ(captions[0], "Copying Kestrova.Data...");
  EXPECT_EQ(captions[1], "paused");
  EXPECT_EQ(backedUp.skipped, std::vector<std::string>{"User.Log"});
  auto copies = Snapshot(target.path());
  EXPECT_EQ(copies.size(), 7u) << "the six files present and nothing else, no copy left on its way";
  for (const auto& [name, bytes] : copies) EXPECT_EQ(bytes, before.at(name)) << name;
  EXPECT_EQ(Snapshot(data.path()), before) << "a backup changes nothing in the data folder";
  EXPECT_EQ(ModeOf(data / "Search.Log"), 0444u);
  EXPECT_NE(ModeOf(target / "Search.Log") & S_IWUSR, 0u) << "the next backup must be able to replace it";

  // Work goes on after the backup, then the backup is restored.
  ASSERT_TRUE(reports::AppendReport({data.path(), Quick()}, Report("24-004")).ok());
  ASSERT_TRUE(logs::LogSearch(data.path(), kAt, "Ann Lee", "'after'").ok());
  WriteFileBytes(data / "User.Log", "kept as it is\r\n");
  ::chmod((data / "UserList.Log").c_str(), 0440);
  const std::string searchesSince = ReadFileBytes(data / "Search.Log");
  const auto counter = files::ReadChangeCounter(data.path());
  const RestorePlan restorePlan = PlanRestore(data.path(), target.path());
  EXPECT_EQ(restorePlan.stop, Stop::None);
  EXPECT_TRUE(restorePlan.replacesDataFile);
  const Outcome restored = RunRestore(data.path(), target.path(), Fast());
  ASSERT_TRUE(restored.ok()) << restored.reason;
  const auto after = Snapshot(data.path());
  for (const auto& [name, bytes] : copies) EXPECT_EQ(after.at(name), bytes) << name;
  EXPECT_EQ(after.at("User.Log"), "kept as it is\r\n") << "not in the backup: left alone";
  EXPECT_EQ(after.at("Search.Log.before-restore-20261206140509"), searchesSince);
  EXPECT_EQ(after.count("Kestrova.Data.before-restore-20261206140509"), 0u) << "only the logs are kept";
  EXPECT_EQ(after.count("Kestrova.Index"), 0u) << "no index of the data file the restore replaced";
  ASSERT_EQ(restored.keptLogs.size(), 4u);
  EXPECT_EQ(restored.keptLogs[0].keptAs, "SignInOut.Log.before-restore-20261206140509");
  EXPECT_EQ(ModeOf(data / "UserList.Log"), 0440u) << "the data folder's files keep their permissions";
  EXPECT_EQ(*files::ReadChangeCounter(data.path()), *counter + 1) << "other workstations are told";
  for (const auto& [name, bytes] : after) EXPECT_FALSE(name.ends_with(".copying")) << name;

  const Message notice = OutcomeNotice(Procedure::Restore, restored, target.path(), "Kestrova");
  EXPECT_EQ(notice.caption, "Restore Successful");
  EXPECT_EQ(std::vector<std::string>(notice.lines.begin(), notice.lines.begin() + 3),
            (std::vector<std::string>{"Your previously backed up ", "Kestrova data files",
                                      "have been successfully restored!"}));
  EXPECT_EQ(notice.lines.back(), "'Search.Log.before-restore-20261206140509'");
}

TEST(Backup, TheSameFolderIsTheFileSystemsAnswerAndIsRefused) {
  TempFolder data;
  TempFolder other;
  Populate(data.path());
  fs::create_directory(data / "sub");
  fs::create_directory_symlink(data.path(), other / "link");
  for (const fs::path& same : {data / "sub/..", other / "link", fs::path(data.path().string() + "/")}) {
    EXPECT_TRUE(*SameFolder(data.path(), same)) << same;
    EXPECT_EQ(PlanBackup(data.path(), same).stop, Stop::SameFolder) << same;
    EXPECT_EQ(PlanRestore(data.path(), same).stop, Stop::SameFolder) << same;
    EXPECT_EQ(RunBackup(data.path(), same, Fast()).kind, Kind::SameFolder) << same;
    EXPECT_EQ(RunRestore(data.path(), same, Fast()).kind, Kind::SameFolder) << same;
  }
  EXPECT_FALSE(*SameFolder(data.path(), data / "sub"));
  EXPECT_EQ(Snapshot(other.path()).size(), 0u);

  // What the questions depend on.
  WriteFileBytes(other / "notes.txt", "mine");
  EXPECT_TRUE(PlanBackup(data.path(), other.path()).holdsOtherFiles);
  EXPECT_EQ(BackupQuestion(PlanBackup(data.path(), other.path()), other.path()).caption, "Caution");
  WriteFileBytes(other / "Kestrova.Data", "");
  EXPECT_FALSE(PlanBackup(data.path(), other.path()).holdsOtherFiles) << "it holds a backup";
  EXPECT_EQ(PlanBackup(data.path(), other / "missing").stop, Stop::FolderProblem);
  EXPECT_EQ(PlanRestore(data.path(), data / "sub").stop, Stop::RequiredMissing);
  const auto notice = PlanNotice(PlanRestore(data.path(), data / "sub"), data / "sub", "Kestrova");
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->caption, "Required file(s) missing");
  EXPECT_EQ(notice->lines.front(), "'" + (data / "sub").string() + "/'");
}

TEST(Backup, AFailureMidwayLeavesEveryFileAsItWasAndNoCopyBehind) {
  TempFolder data;
  TempFolder target;
  Populate(data.path());
  ASSERT_TRUE(RunBackup(data.path(), target.path(), Fast()).ok());
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(reports::AppendReport({data.path(), Quick()}, Report("more")).ok());
  ASSERT_TRUE(logs::LogSearch(data.path(), kAt, "Ann Lee", "'after'").ok());
  const auto dataBefore = Snapshot(data.path());
  const auto targetBefore = Snapshot(target.path());
  FaultyDisk disk;
  testing::UsingFileSystem using_(disk);

  // The backup folder's disk fills up in the middle of the data file.
  disk.copiesFullAfter = 100000;
  const Outcome full = RunBackup(data.path(), target.path(), Fast());
  EXPECT_EQ(full.kind, Kind::Failed);
  EXPECT_EQ(full.fileName, "Kestrova.Data");
  EXPECT_NE(full.reason.find("disk"), std::string::npos) << full.reason;
  EXPECT_EQ(Snapshot(target.path()), targetBefore);
  EXPECT_EQ(OutcomeNotice(Procedure::Backup, full, target.path(), "Kestrova").caption, "File Backup Error");

  // A backed-up log turns unreadable in the middle of a restore.
  disk.copiesFullAfter = UINT64_MAX;
  disk.readFailsIn = "DataRecords.Log";
  disk.readFailsAfter = 10;
  const Outcome unreadable = RunRestore(data.path(), target.path(), Fast());
  EXPECT_EQ(unreadable.kind, Kind::Failed);
  EXPECT_EQ(unreadable.fileName, "DataRecords.Log");
  EXPECT_EQ(Snapshot(data.path()), dataBefore);
  EXPECT_EQ(Snapshot(target.path()), targetBefore);
}

TEST(Backup, ARenameRefusedAtTheEndPutsBackWhatWasAlreadyInPlace) {
  TempFolder data;
  TempFolder target;
  Populate(data.path());
  ASSERT_TRUE(RunBackup(data.path(), target.path(), Fast()).ok());
  ASSERT_TRUE(reports::AppendReport({data.path(), Quick()}, Report("24-004")).ok());
  ASSERT_TRUE(logs::LogSearch(data.path(), kAt, "Ann Lee", "'after'").ok());
  const auto before = Snapshot(data.path());
  // A share without links that will not replace a file another
  // workstation has open: the data file, renamed last, stays open there.
  testing::SmbLikeFileSystem share;
  testing::UsingFileSystem using_(share);
  const int other = share.Open(data / "Kestrova.Data", O_RDONLY, 0);
  ASSERT_GE(other, 0);
  const Outcome refused = RunRestore(data.path(), target.path(), Fast());
  share.Close(other);
  EXPECT_EQ(refused.kind, Kind::Failed) << refused.reason;
  EXPECT_EQ(refused.fileName, "Kestrova.Data");
  EXPECT_GT(share.refusedRenames.load(), 0);
  EXPECT_EQ(Snapshot(data.path()), before) << "logs, users and access code put back; nothing else left";
  const Outcome later = RunRestore(data.path(), target.path(), Fast());
  EXPECT_TRUE(later.ok()) << later.reason;
  EXPECT_EQ(ReadFileBytes(data / "Kestrova.Data"), ReadFileBytes(target / "Kestrova.Data"));
}

TEST(Backup, ARestoreRefusesFilesThatAreNotOursAndChangesNothing) {
  TempFolder data;
  TempFolder backup;
  Populate(data.path());
  ASSERT_TRUE(RunBackup(data.path(), backup.path(), Fast()).ok());
  const std::string goodData = ReadFileBytes(backup / "Kestrova.Data");
  const std::string goodUsers = ReadFileBytes(backup / "User.List");
  std::string badLevel = goodUsers;
  badLevel[59] = 9;
  std::string badVersion = goodData;
  badVersion[reports::kReportRecordSize - 2] = 7;
  const std::pair<const char*, std::string> damages[] = {
      {"Kestrova.Data", goodData + "partial"},
      {"Kestrova.Data", std::string(goodData.size(), '\0')},
      {"Kestrova.Data", badVersion},
      {"Kestrova.Data", ""},
      {"User.List", badLevel},
      {"User.List", goodUsers.substr(1)},
      {"Kestrova.Access", "not a hash\r\n"},
  };
  const auto before = Snapshot(data.path());
  for (const auto& [name, bytes] : damages) {
    WriteFileBytes(backup / name, bytes);
    const RestorePlan plan = PlanRestore(data.path(), backup.path());
    EXPECT_EQ(plan.stop, Stop::Refused) << name;
    EXPECT_EQ(plan.refusedFile, name);
    const Outcome outcome = RunRestore(data.path(), backup.path(), Fast());
    EXPECT_EQ(outcome.kind, Kind::Refused) << name;
    EXPECT_EQ(Snapshot(data.path()), before) << name;
    WriteFileBytes(backup / "Kestrova.Data", goodData);
    WriteFileBytes(backup / "User.List", goodUsers);
    WriteFileBytes(backup / "Kestrova.Access", "sha256$20000$0011$aabb\r\n");
  }
  // A data file of an earlier release is restored, for the sign-in to convert.
  WriteFileBytes(backup / "Kestrova.Data", std::string(2 * 10000, 'x'));
  EXPECT_TRUE(RunRestore(data.path(), backup.path(), Fast()).ok());
}

TEST(Backup, AWriteElsewhereDuringTheCopyIsCaughtAndCopiedAgain) {
  TempFolder data;
  TempFolder target;
  Populate(data.path());
  ProcedureOptions options = Fast();
  int appended = 0;
  options.copied = [&](std::string_view name, int round) {
    if (name == "Kestrova.Data" && round == 1) {
      // Another workstation saves a report while the data file is copied,
      // and logs it while the other files are.
      ASSERT_TRUE(reports::AppendReport({data.path(), Quick()}, Report("24-LATE")).ok());
      ++appended;
    }
    if (name == "Search.Log" && round == 1) {
      ASSERT_TRUE(logs::LogSearch(data.path(), kAt, "Bo", "'x'").ok());
    }
  };
  const Outcome outcome = RunBackup(data.path(), target.path(), options);
  ASSERT_TRUE(outcome.ok()) << outcome.reason;
  EXPECT_EQ(appended, 1);
  EXPECT_EQ(outcome.copiedAgain, 1);
  EXPECT_EQ(ReadFileBytes(target / "Kestrova.Data"), ReadFileBytes(data / "Kestrova.Data"));
  EXPECT_EQ(ReadFileBytes(target / "Search.Log"), ReadFileBytes(data / "Search.Log"));

  // A change the files' times cannot show, only the change counter: every
  // record file goes again.
  options.copied = [&](std::string_view name, int round) {
    if (name == "Kestrova.Access" && round == 1) {
      ASSERT_TRUE(files::BumpChangeCounter(data.path()).ok());
    }
  };
  EXPECT_EQ(RunBackup(data.path(), target.path(), options).copiedAgain, 3);

  // A folder that changes at every try is given up on, the backup folder
  // untouched, when the changes are never copied holding the lock.
  const auto before = Snapshot(target.path());
  options.tries = 2;
  options.lockedPassUpTo = milliseconds(0);
  options.copied = [&](std::string_view name, int) {
    if (name == "User.List") {
      ASSERT_TRUE(users::AddUser({data.path(), Quick()}, User("Bo", 2)).ok());
    }
  };
  const Outcome busy = RunBackup(data.path(), target.path(), options);
  EXPECT_EQ(busy.kind, Kind::KeptChanging);
  EXPECT_EQ(busy.fileName, "User.List");
  EXPECT_EQ(Snapshot(target.path()), before);
}

TEST(Backup, ADataFileChangedInPlaceAtEveryPassIsBroughtUpToDateUnderTheLock) {
  TempFolder data;
  TempFolder target;
  Populate(data.path());
  // 200 reports: a few of the blocks a copy is made in.
  std::string reports(200 * reports::kReportRecordSize, '\0');
  for (int i = 0; i < 200; ++i) {
    reports::EncodeReportRecord(Report("24-" + std::to_string(i)), reports.data() + i * reports::kReportRecordSize);
  }
  WriteFileBytes(data / "Kestrova.Data", reports);
  FaultyDisk disk;
  testing::UsingFileSystem using_(disk);
  // Another workstation saves report 150 whenever the backup has read past
  // it without the lock: every pass that does not hold the lock is stale.
  int saves = 0;
  bool saving = false;
  disk.beforeRead = [&](const std::string& name, std::uint64_t offset) {
    if (name != "Kestrova.Data" || offset < (3u << 20) || saving || files::FolderLock::HeldHere(data.path())) return;
    saving = true;
    reports::DataFile file(data.path(), Quick());
    ASSERT_TRUE(file.OpenDataFile().ok());
    ASSERT_TRUE(file.WriteRecord(150, Report("24-SAVED-" + std::to_string(++saves))).ok());
    ASSERT_TRUE(file.CloseDataFile().ok());
    saving = false;
  };
  ProcedureOptions options = Fast();
  options.tries = 3;
  const Outcome outcome = RunBackup(data.path(), target.path(), options);
  ASSERT_TRUE(outcome.ok()) << outcome.reason;
  EXPECT_EQ(saves, 2) << "the copy and the pass without the lock";
  EXPECT_EQ(outcome.tries, 2) << "the second look brought it up to date holding the lock";
  EXPECT_TRUE(outcome.lockedPass);
  EXPECT_EQ(outcome.copiedAgain, 2);
  EXPECT_LT(outcome.longestLockHeld, options.lockedPassBound);
  const std::string saved = ReadFileBytes(data / "Kestrova.Data");
  EXPECT_NE(saved, reports);
  EXPECT_EQ(ReadFileBytes(target / "Kestrova.Data"), saved);
  // Only the block holding report 150 was written again, at each pass.
  EXPECT_EQ(disk.written["Kestrova.Data.copying"], reports.size() + 2 * (1u << 20));

  // Never under the lock, it keeps changing and is given up on.
  options.lockedPassUpTo = milliseconds(0);
  const Outcome busy = RunBackup(data.path(), target.path(), options);
  EXPECT_EQ(busy.kind, Kind::KeptChanging);
  EXPECT_EQ(busy.fileName, "Kestrova.Data");
  EXPECT_EQ(ReadFileBytes(target / "Kestrova.Data"), saved) << "the backup as it was";
}

TEST(Backup, ARefreshedCopyIsItsSourceAsItIsNowWhateverChanged) {
  TempFolder folder;
  const fs::path source = folder / "Kestrova.Data";
  const fs::path temp = folder / "Kestrova.Data.copying";
  std::string bytes;
  for (int i = 0; bytes.size() < (3u << 20) + 12345; ++i) bytes += "record " + std::to_string(i) + "; ";
  WriteFileBytes(source, bytes);
  auto copy = StagedCopy::Begin(source, temp);
  ASSERT_TRUE(copy.ok());
  ASSERT_TRUE(copy->Copy().ok());
  const auto change = [&](std::string now) {
    bytes = std::move(now);
    const int fd = ::open(source.c_str(), O_WRONLY | O_TRUNC);  // in place: the same file
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
  };
  // Changed in the middle and at the end, grown, cut in a block and at a
  // block's end, and changed in the first byte.
  const std::vector<std::function<std::string(std::string)>> changes = {
      [](std::string b) { return b.replace((2u << 20) + 7, 5, "EDITS"); },
      [](std::string b) { return b + std::string(1500000, 'n'); },
      [](std::string b) { return b.substr(0, (4u << 20) + 99); },
      [](std::string b) { return b.substr(0, 2u << 20); },
      [](std::string b) { return "X" + b.substr(1); },
  };
  std::uint64_t rewritten = 0;
  for (const auto& edit : changes) {
    change(edit(bytes));
    auto done = copy->Refresh();
    ASSERT_TRUE(done.ok() && *done) << done.message();
    rewritten += copy->rewritten();
  }
  EXPECT_LT(rewritten, 5u << 20) << "only the blocks that changed";
  // A pass stopped by its deadline after rewriting the first block: the
  // next one still hashes the copy as it is.
  change("Y" + bytes.substr(1, (1u << 20) + 10) + "Z" + bytes.substr((1u << 20) + 12));
  auto stopped = copy->Refresh(std::chrono::steady_clock::now());
  ASSERT_TRUE(stopped.ok());
  EXPECT_FALSE(*stopped);
  EXPECT_FALSE(copy->sourceReplaced());
  auto done = copy->Refresh();
  ASSERT_TRUE(done.ok() && *done);
  ASSERT_TRUE(copy->Finish().ok()) << "the copy hashes as its source does";
  EXPECT_EQ(ReadFileBytes(temp), bytes);

  // A source replaced by another file cannot be brought up to date.
  auto other = StagedCopy::Begin(source, temp);
  ASSERT_TRUE(other.ok() && other->Copy().ok());
  WriteFileBytes(folder / "new", "other");
  fs::rename(folder / "new", source);
  auto replaced = other->Refresh();
  ASSERT_TRUE(replaced.ok());
  EXPECT_FALSE(*replaced);
  EXPECT_TRUE(other->sourceReplaced());
  EXPECT_FALSE(other->Finish().ok());
  other->Discard();
}

TEST(Backup, ACopyThatReadsBackWrongIsNeverCalledABackup) {
  TempFolder data;
  TempFolder target;
  Populate(data.path());
  // A log larger than the pieces a copy is flushed and read back in.
  std::string big;
  for (int i = 0; big.size() < (17u << 20); ++i) big += "12/06/2026 at 14:05:09 - search " + std::to_string(i) + "\r\n";
  WriteFileBytes(data / "Search.Log", big);
  {
    FaultyDisk disk;
    testing::UsingFileSystem using_(disk);
    disk.copiesReadWrongAt = (9u << 20) + 5;
    const Outcome wrong = RunBackup(data.path(), target.path(), Fast());
    EXPECT_EQ(wrong.kind, Kind::Failed);
    EXPECT_EQ(wrong.fileName, "Search.Log");
    EXPECT_NE(wrong.reason.find("does not read back"), std::string::npos) << wrong.reason;
    EXPECT_TRUE(Snapshot(target.path()).empty()) << "no copy kept, none left on its way";
  }
  ASSERT_TRUE(RunBackup(data.path(), target.path(), Fast()).ok());
  EXPECT_EQ(ReadFileBytes(target / "Search.Log"), big);
}

// The administrative window's side of a procedure: it picks the folder,
// answers the dialogs and shows the captions it is given.
struct ScriptedWindow {
  fs::path data;  // the folder whose lock must never be held while pausing
  std::optional<fs::path> folder;
  std::vector<int> answers;  // the buttons chosen, in turn; then the first
  std::string title = "Administrative Options";
  std::vector<std::string> prompts;
  std::vector<std::string> captions;
  std::vector<Message> messages;
  std::vector<bool> busy;
  std::vector<milliseconds> waits;

  ProcedureHost Host() {
    ProcedureHost host;
    host.chooseFolder = [this](const std::string& prompt) {
      prompts.push_back(prompt);
      return folder;
    };
    host.ask = [this](const Message& message) {
      messages.push_back(message);
      if (answers.empty()) return 1;
      const int answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    };
    host.caption = [this] { return title; };
    host.setCaption = [this](const std::string& caption) {
      title = caption;
      captions.push_back(caption);
    };
    host.setBusy = [this](bool on) { busy.push_back(on); };
    host.wait = [this](milliseconds pause) {
      EXPECT_FALSE(files::FolderLock::HeldHere(data));
      waits.push_back(pause);
    };
    return host;
  }
  std::vector<std::string> Asked() const {
    std::vector<std::string> asked;
    for (const Message& message : messages) asked.push_back(message.caption);
    return asked;
  }
  ProcedureRun::Ending Run(Procedure procedure, ProcedureOptions options = Fast()) {
    messages.clear();
    captions.clear();
    busy.clear();
    ProcedureRun run(procedure, data, "Kestrova", Host(), std::move(options));
    const auto ending = run.Run();
    reloaded = run.reloadUsers();
    return ending;
  }
  bool reloaded = false;
};

TEST(BackupProcedure, TheWindowIsAskedAndToldEachStepOfABackup) {
  using Ending = ProcedureRun::Ending;
  TempFolder data;
  TempFolder target;
  TempFolder other;
  Populate(data.path());
  ScriptedWindow window;
  window.data = data.path();
  window.folder = target.path();
  ProcedureOptions paced = Fast();
  paced.pace = milliseconds(1000);  // spent by the window, so the test does not wait
  EXPECT_EQ(window.Run(Procedure::Backup, paced), Ending::Succeeded);
  EXPECT_EQ(window.prompts,
            std::vector<std::string>{"Select a disk/drive/folder to copy (backup)\nyour Kestrova data files to..."});
  EXPECT_EQ(window.Asked(), (std::vector<std::string>{"Ready to Backup...", "Backup Successful"}));
  EXPECT_EQ(window.captions, (std::vector<std::string>{"Kestrova - Data Backup Procedure", "Copying Kestrova.Data...",
                                                       "Copying User.List...", "Copying SignInOut.Log...",
                                                       "Copying UserList.Log...", "Copying DataRecords.Log...",
                                                       "Copying Search.Log...", "Copying Kestrova.Access...",
                                                       "Kestrova - Data Backup Procedure", "Administrative Options"}));
  EXPECT_EQ(window.busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(window.waits, std::vector<milliseconds>(7, milliseconds(1000))) << "one pause before each file";
  for (std::string_view name : kCarriedFiles) {
    if (name == "User.Log") continue;
    EXPECT_EQ(ReadFileBytes(target / std::string(name)), ReadFileBytes(data / std::string(name))) << name;
  }
  EXPECT_FALSE(window.reloaded) << "a backup changes nothing the window shows";

  // No folder chosen, the data folder itself, and a folder of other files
  // declined: nothing is copied, and the caption is back each time.
  const auto before = Snapshot(target.path());
  window.folder.reset();
  EXPECT_EQ(window.Run(Procedure::Backup), Ending::Cancelled);
  EXPECT_TRUE(window.messages.empty());
  window.folder = fs::path(data.path().string() + "/");
  EXPECT_EQ(window.Run(Procedure::Backup), Ending::Stopped);
  EXPECT_EQ(window.Asked(), std::vector<std::string>{"Invalid Procedure"});
  WriteFileBytes(other / "notes.txt", "mine");
  window.folder = other.path();
  window.answers = {2};
  EXPECT_EQ(window.Run(Procedure::Backup), Ending::Declined);
  EXPECT_EQ(window.Asked(), std::vector<std::string>{"Caution"});
  EXPECT_EQ(Snapshot(other.path()).size(), 1u);
  EXPECT_EQ(window.title, "Administrative Options");
  EXPECT_EQ(Snapshot(target.path()), before);
  EXPECT_TRUE(window.busy.empty()) << "never busy without copying";
  EXPECT_EQ(MenuItemProcedure(2), Procedure::Restore);
  EXPECT_FALSE(MenuItemProcedure(4));
}

TEST(BackupProcedure, ARestoreAsksBeforeReplacingAndHasTheWindowReloadItsUsers) {
  using Ending = ProcedureRun::Ending;
  TempFolder data;
  TempFolder backup;
  TempFolder empty;
  Populate(data.path());
  ASSERT_TRUE(RunBackup(data.path(), backup.path(), Fast()).ok());
  ASSERT_TRUE(reports::AppendReport({data.path(), Quick()}, Report("24-004")).ok());
  ASSERT_TRUE(users::AddUser({data.path(), Quick()}, User("Bo", 2)).ok());
  const auto before = Snapshot(data.path());
  ScriptedWindow window;
  window.data = data.path();

  window.folder = empty.path();
  EXPECT_EQ(window.Run(Procedure::Restore), Ending::Stopped);
  EXPECT_EQ(window.Asked(), std::vector<std::string>{"Required file(s) missing"});
  window.folder = backup.path();
  window.answers = {2};
  EXPECT_EQ(window.Run(Procedure::Restore), Ending::Declined);
  EXPECT_EQ(window.Asked(), std::vector<std::string>{"Important! Please read carefully..."});
  EXPECT_FALSE(window.reloaded);
  EXPECT_EQ(Snapshot(data.path()), before);

  // The data folder's lock is held only for the renames, never while copying.
  int copying = 0;
  ProcedureHost host = window.Host();
  host.progress = [&](const Progress& p) {
    if (p.step != Progress::Step::Copying) return;
    ++copying;
    EXPECT_FALSE(files::FolderLock::HeldHere(data.path())) << p.fileName;
  };
  const auto counter = *files::ReadChangeCounter(data.path());
  window.messages.clear();
  window.captions.clear();
  ProcedureRun run(Procedure::Restore, data.path(), "Kestrova", host, Fast());
  EXPECT_EQ(run.Run(), Ending::Succeeded);
  EXPECT_GE(copying, 7);
  EXPECT_TRUE(run.reloadUsers());
  EXPECT_EQ(window.Asked(), (std::vector<std::string>{"Important! Please read carefully...", "Restore Successful"}));
  EXPECT_EQ(window.captions[1], "Restoring Kestrova.Data");
  EXPECT_EQ(window.captions.back(), "Administrative Options");
  for (const auto& [name, bytes] : Snapshot(backup.path())) EXPECT_EQ(ReadFileBytes(data / name), bytes) << name;
  EXPECT_EQ(*files::ReadChangeCounter(data.path()), counter + 1) << "other workstations refresh";

  // With no data file to replace there is no question.
  fs::remove(data / "Kestrova.Data");
  EXPECT_EQ(window.Run(Procedure::Restore), Ending::Succeeded);
  EXPECT_EQ(window.Asked(), std::vector<std::string>{"Restore Successful"});

  // A restore that fails while copying still has the window reload.
  const auto restored = Snapshot(data.path());
  FaultyDisk disk;
  testing::UsingFileSystem using_(disk);
  disk.copiesFullAfter = 100;
  EXPECT_EQ(window.Run(Procedure::Restore), Ending::Failed);
  EXPECT_EQ(window.Asked(), (std::vector<std::string>{"Important! Please read carefully...", "File Restore Error"}));
  EXPECT_TRUE(window.reloaded);
  EXPECT_EQ(window.title, "Administrative Options");
  EXPECT_EQ(Snapshot(data.path()), restored);
}

TEST(BackupTexts, QuestionsAndNoticesSayWhatTheWindowShows) {
  const fs::path folder = "/media/usb";
  BackupPlan plan;
  const Message ready = BackupQuestion(plan, folder);
  EXPECT_EQ(ready.caption, "Ready to Backup...");
  EXPECT_EQ(ready.iconKind, 5);
  EXPECT_EQ(ready.lines, (std::vector<std::string>{"You have selected:", "", "'/media/usb/'", "",
                                                   "as your data backup location.", "", "Are you ready to proceed?"}));
  EXPECT_EQ(ready.buttons, (std::vector<std::string>{"&Yes, Backup the files now", "&No, Cancel backup procedure"}));
  EXPECT_EQ(ready.defaultButton, 2);
  RestorePlan restore;
  EXPECT_FALSE(RestoreQuestion(restore)) << "no current data file, no question";
  restore.replacesDataFile = true;
  EXPECT_EQ(RestoreQuestion(restore)->buttons.front(), "&Yes, Restore the files now");
  BackupPlan same;
  same.stop = Stop::SameFolder;
  const Message invalid = *PlanNotice(same, "Kestrova");
  EXPECT_EQ(invalid.caption, "Invalid Procedure");
  EXPECT_EQ(invalid.lines,
            (std::vector<std::string>{"You can not backup Kestrova", "data to itself in the same folder!"}));
  EXPECT_EQ(invalid.buttons, std::vector<std::string>{"&Cancel backup procedure"});
  Outcome failed;
  failed.kind = Kind::Failed;
  failed.fileName = "User.List";
  const Message error = OutcomeNotice(Procedure::Restore, failed, folder, "Kestrova");
  EXPECT_EQ(error.caption, "File Restore Error");
  EXPECT_EQ(error.lines[1], "trying to restore User.List");
  EXPECT_EQ(ProcedureCaption(Procedure::Restore, "Kestrova"), "Kestrova - Data Restoration Procedure");
  EXPECT_EQ(CopyingCaption(Procedure::Backup, "User.List"), "Copying User.List...");
}

}  // namespace
}  // namespace kestrova::backup
