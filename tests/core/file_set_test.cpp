#include <gtest/gtest.h>

#include <filesystem>

#include "core/reports/data_file.h"
#include "core/startup/data_folder.h"
#include "core/startup/file_set.h"
#include "support/temp_folder.h"

namespace kestrova::startup {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteFileBytes;

TEST(FileSet, HoldsTheSevenFilesInOrder) {
  const std::vector<std::string_view> expected = {"Kestrova.Data",   "User.List",  "SignInOut.Log", "UserList.Log",
                                                  "DataRecords.Log", "Search.Log", "User.Log"};
  EXPECT_EQ(std::vector<std::string_view>(FileSet.begin(), FileSet.end()), expected);
  EXPECT_EQ(FileSet[0], reports::kDataFileName);
  EXPECT_EQ(std::string(kApplicationTitle) + ".Data", FileSet[0]);
}

TEST(FileSet, LeavingDeletesOnlyEmptyFilesOfTheSet) {
  TempFolder folder;
  WriteFileBytes(folder / "Search.Log", "");
  WriteFileBytes(folder / "Kestrova.Data", "");
  WriteFileBytes(folder / "SignInOut.Log", "x\r\n");
  WriteFileBytes(folder / "notes.txt", "");  // not ours
  const auto sweep = DeleteEmptyFiles(folder.path());
  EXPECT_EQ(sweep.deleted, (std::vector<std::string>{"Kestrova.Data", "Search.Log"}));
  EXPECT_TRUE(sweep.problems.empty());
  EXPECT_FALSE(fs::exists(folder / "Search.Log"));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Data"));
  EXPECT_TRUE(fs::exists(folder / "SignInOut.Log"));
  EXPECT_TRUE(fs::exists(folder / "notes.txt"));
  EXPECT_FALSE(fs::exists(folder / "User.List")) << "a missing file is not created";
}

// Another workstation holds the folder: it may have just created the data
// file it is about to write, so nothing is swept.
TEST(FileSet, NothingIsSweptWhileAnotherWorkstationWrites) {
  TempFolder folder;
  WriteFileBytes(folder / "Kestrova.Data", "");
  auto other = files::FolderLock::Acquire(folder.path());
  ASSERT_TRUE(other.ok());
  files::LockOptions brief;
  brief.wait = std::chrono::milliseconds(100);
  brief.waiting = nullptr;
  const auto sweep = DeleteEmptyFiles(folder.path(), brief);
  EXPECT_TRUE(sweep.deleted.empty());
  ASSERT_EQ(sweep.problems.size(), 1u);
  EXPECT_TRUE(fs::exists(folder / "Kestrova.Data"));
}

TEST(DataFolder, MustBeAnExistingFolder) {
  TempFolder folder;
  EXPECT_TRUE(CheckDataFolder(folder.path()).ok());
  const Status missing = CheckDataFolder(folder / "missing");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.message().find("does not exist"), std::string::npos);
  WriteFileBytes(folder / "plain.txt", "x");
  const Status file = CheckDataFolder(folder / "plain.txt");
  ASSERT_FALSE(file.ok());
  EXPECT_NE(file.message().find("is not a folder"), std::string::npos);
}

}  // namespace
}  // namespace kestrova::startup
