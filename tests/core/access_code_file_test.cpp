#include <gtest/gtest.h>

#include <filesystem>

#include "core/users/access_code_file.h"
#include "support/temp_folder.h"

namespace kestrova::users {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

const std::string kHash = "sha256$20000$00ff$a1b2";

files::LockOptions Short() {
  files::LockOptions options;
  options.wait = std::chrono::milliseconds(100);
  return options;
}

TEST(AccessCodeFile, TheFirstHashStoredStaysUntilRemoved) {
  TempFolder folder;
  EXPECT_FALSE(ReadAccessCodeFile(folder.path())->has_value());
  ASSERT_TRUE(*CreateAccessCodeFile(folder.path(), kHash));
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Access"), kHash + "\r\n");
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));

  // A second workstation choosing later does not replace the first code.
  EXPECT_FALSE(*CreateAccessCodeFile(folder.path(), "sha256$1$00$00"));
  EXPECT_EQ(ReadAccessCodeFile(folder.path())->value(), kHash);

  EXPECT_TRUE(*RemoveAccessCodeFile(folder.path()));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Access"));
  EXPECT_FALSE(*RemoveAccessCodeFile(folder.path()));
}

TEST(AccessCodeFile, WritesWaitForTheFolderLock) {
  TempFolder folder;
  auto held = files::FolderLock::Acquire(folder.path());
  ASSERT_TRUE(held.ok());
  const auto created = CreateAccessCodeFile(folder.path(), kHash, Short());
  ASSERT_FALSE(created.ok());
  EXPECT_EQ(created.error().kind, Error::Kind::Busy);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Access"));
  WriteFileBytes(folder / "Kestrova.Access", kHash);
  EXPECT_FALSE(RemoveAccessCodeFile(folder.path(), Short()).ok());
  EXPECT_TRUE(fs::exists(folder / "Kestrova.Access"));
}

TEST(AccessCodeFile, WhatIsNotOursIsRefusedAndLeftAlone) {
  TempFolder folder;
  const fs::path path = folder / "Kestrova.Access";
  WriteFileBytes(path, std::string(5000, 'a'));
  EXPECT_EQ(ReadAccessCodeFile(folder.path()).error().kind, Error::Kind::Damaged);
  WriteFileBytes(path, "two\r\nlines\r\n");
  EXPECT_EQ(ReadAccessCodeFile(folder.path()).error().kind, Error::Kind::Damaged);

  fs::remove(path);
  WriteFileBytes(folder / "elsewhere", kHash);
  fs::create_symlink(folder / "elsewhere", path);
  EXPECT_FALSE(ReadAccessCodeFile(folder.path()).ok());
  EXPECT_FALSE(CreateAccessCodeFile(folder.path(), "sha256$1$00$00").ok());
  EXPECT_FALSE(RemoveAccessCodeFile(folder.path()).ok());
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(ReadFileBytes(folder / "elsewhere"), kHash);
}

}  // namespace
}  // namespace kestrova::users
