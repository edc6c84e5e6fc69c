#include <gtest/gtest.h>

#include <filesystem>

#include "core/startup/data_folder.h"
#include "core/startup/shipped_files.h"
#include "support/temp_folder.h"

namespace kestrova::startup {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteFileBytes;

bool Writable(const fs::path&) { return true; }

// The home folder and a working folder beside it; nothing remembered yet.
struct Start {
  TempFolder root;
  fs::path home = root / "home";
  fs::path elsewhere = root / "reports";
  fs::path remembered = root / "chosen";
  Start() {
    fs::create_directories(home);
    fs::create_directories(elsewhere);
    fs::create_directories(remembered);
  }
};

TEST(ChooseDataFolder, TheCommandLineWinsAndAnOrdinaryWorkingFolderIsUsedAsBefore) {
  Start s;
  auto c = ChooseDataFolder(s.elsewhere, s.home, s.home, s.remembered, Writable);
  EXPECT_EQ(c.source, DataFolderSource::CommandLine);
  EXPECT_EQ(c.folder, s.elsewhere);
  c = ChooseDataFolder(std::nullopt, s.elsewhere, s.home, s.remembered, Writable);
  EXPECT_EQ(c.source, DataFolderSource::WorkingFolder);
  EXPECT_EQ(c.folder, s.elsewhere);
}

TEST(ChooseDataFolder, HomeRootOrAReadOnlyFolderWithoutDataTakeTheRememberedFolderOrAsk) {
  Start s;
  const auto readOnly = [](const fs::path&) { return false; };
  for (const auto& [working, writable] : std::vector<std::pair<fs::path, std::function<bool(const fs::path&)>>>{
           {s.home, Writable}, {"/", Writable}, {s.elsewhere, readOnly}}) {
    SCOPED_TRACE(working.string());
    auto c = ChooseDataFolder(std::nullopt, working, s.home, s.remembered, writable);
    EXPECT_EQ(c.source, DataFolderSource::Remembered);
    EXPECT_EQ(c.folder, s.remembered);
    c = ChooseDataFolder(std::nullopt, working, s.home, std::nullopt, writable);
    EXPECT_EQ(c.source, DataFolderSource::Ask);
    EXPECT_TRUE(c.folder.empty());
    // A remembered folder that has gone is asked for again.
    c = ChooseDataFolder(std::nullopt, working, s.home, s.root / "gone", writable);
    EXPECT_EQ(c.source, DataFolderSource::Ask);
  }
  // The home folder reached through a link is still the home folder.
  fs::create_directory_symlink(s.home, s.root / "link");
  EXPECT_EQ(ChooseDataFolder(std::nullopt, s.root / "link", s.home, std::nullopt, Writable).source,
            DataFolderSource::Ask);
}

TEST(ChooseDataFolder, AHomeFolderHoldingDataIsTheDataFolder) {
  for (const char* name : {"Kestrova.Data", "User.List", "Kestrova.Dat"}) {
    SCOPED_TRACE(name);
    Start s;
    WriteFileBytes(s.home / name, "x");
    const auto c = ChooseDataFolder(std::nullopt, s.home, s.home, s.remembered, Writable);
    EXPECT_EQ(c.source, DataFolderSource::WorkingFolder);
    EXPECT_EQ(c.folder, s.home);
  }
  Start s;
  fs::create_directory(s.home / "Kestrova.Data");  // a folder of that name holds no reports
  WriteFileBytes(s.home / "Search.Log", "x");      // nor does a stray log
  EXPECT_EQ(ChooseDataFolder(std::nullopt, s.home, s.home, std::nullopt, Writable).source, DataFolderSource::Ask);
}

TEST(FindShippedFile, LooksBesideTheProgramThenInTheInstalledShareFolder) {
  TempFolder prefix;
  const fs::path bin = prefix / "bin";
  const fs::path share = (bin / ShareFolderFromProgram()).lexically_normal();
  fs::create_directories(bin);
  fs::create_directories(share);
  const std::string name = ManualFileName();
  EXPECT_EQ(name, "Kestrova.PDF");

  EXPECT_FALSE(FindShippedFile(bin, name));
  fs::create_directory(bin / name);  // not a file
  EXPECT_FALSE(FindShippedFile(bin, name));
  fs::remove(bin / name);

  WriteFileBytes(share / name, "%PDF-1.4\n");
  EXPECT_EQ(FindShippedFile(bin, name), share / name);
  WriteFileBytes(bin / name, "%PDF-1.4\n");
  EXPECT_EQ(FindShippedFile(bin, name), bin / name) << "the build tree's copy comes first";
  EXPECT_FALSE(FindShippedFile(fs::path(), name));
}

}  // namespace
}  // namespace kestrova::startup
