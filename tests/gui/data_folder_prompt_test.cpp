#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gui/startup/data_folder_prompt.h"
#include "platform/folder_picker.h"
#include "platform/settings_store.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"

namespace kestrova::gui {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedMessages;
using testing::TempFolder;

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

// A start from the desktop's menu: in the home folder, which holds no data.
struct MenuStart {
  TempFolder root;
  fs::path home = root / "home";
  platform::MemorySettingsStore settings;
  platform::ScriptedFolderPicker picker;
  ScriptedMessages messages;
  MenuStart() { fs::create_directories(home); }
  std::optional<fs::path> Settle(std::optional<fs::path> commandLine = std::nullopt) {
    return SettleDataFolder({commandLine, home, home}, settings, picker, messages);
  }
  std::optional<QString> Remembered() const { return settings.Read(QStringLiteral("DataFolder")); }
};

TEST(SettleDataFolder, AsksOnceOpeningAtTheDemoFolderAndRemembersTheChoice) {
  MenuStart s;
  fs::create_directories(s.home / "kestrova-demo");
  const fs::path chosen = s.root / "reports";
  fs::create_directories(chosen);
  s.messages.Press(1);
  s.picker.answers = {Q(chosen)};
  EXPECT_EQ(s.Settle(), chosen);
  ASSERT_EQ(s.messages.asked.size(), 1);
  EXPECT_EQ(s.messages.Last().caption, QStringLiteral("Kestrova - Data Folder"));
  EXPECT_EQ(s.messages.Last().buttons,
            (QStringList{QStringLiteral("&Choose, pick the data folder"), QStringLiteral("&Try it with sample reports"),
                         QStringLiteral("&Quit, not now")}));
  ASSERT_EQ(s.picker.asked.size(), 1);
  EXPECT_EQ(s.picker.asked[0].startFolder, Q(s.home / "kestrova-demo"));
  EXPECT_EQ(s.Remembered(), Q(chosen));

  // The next start from the menu goes straight there.
  EXPECT_EQ(s.Settle(), chosen);
  EXPECT_EQ(s.messages.asked.size(), 1);
  EXPECT_EQ(s.picker.asked.size(), 1);

  // --data-dir wins and leaves the remembered folder alone.
  const fs::path other = s.root / "other";
  fs::create_directories(other);
  EXPECT_EQ(s.Settle(other), other);
  EXPECT_EQ(s.Remembered(), Q(chosen));
  EXPECT_EQ(s.picker.asked.size(), 1);
}

TEST(SettleDataFolder, AFolderThatCannotBeUsedIsExplainedAndAskedForAgain) {
  MenuStart s;
  const fs::path file = s.root / "plain.txt";
  testing::WriteFileBytes(file, "x");
  const fs::path good = s.root / "good";
  fs::create_directories(good);
  s.messages.Press(1).Press(1);
  s.picker.answers = {Q(file), Q(good)};
  EXPECT_EQ(s.Settle(), good);
  ASSERT_EQ(s.messages.asked.size(), 2);
  EXPECT_EQ(s.messages.Last().iconKind, kIconError);
  EXPECT_TRUE(s.messages.Last().message.contains(QStringLiteral("is not a folder")));
  ASSERT_EQ(s.picker.asked.size(), 2);
  EXPECT_EQ(s.picker.asked[0].startFolder, Q(s.home)) << "no demo folder: the home folder";
  EXPECT_EQ(s.picker.asked[1].startFolder, Q(file));
  EXPECT_EQ(s.Remembered(), Q(good));

  // Once the remembered folder is gone, the question comes back and says so.
  fs::remove_all(good);
  s.messages.Press(3);
  EXPECT_EQ(s.Settle(), std::nullopt);
  EXPECT_TRUE(
      s.messages.Last().message.startsWith(QStringLiteral("The data folder ") + Q(good) +
                                           QStringLiteral(", chosen at an earlier start, is not there any more.")));
  EXPECT_EQ(s.picker.asked.size(), 2) << "Quit opens no dialog";
  EXPECT_EQ(s.Remembered(), Q(good)) << "declining changes nothing";
}

TEST(SettleDataFolder, CancellingTheDialogRemembersNothing) {
  MenuStart s;
  s.messages.Press(1);
  EXPECT_EQ(s.Settle(), std::nullopt);
  EXPECT_EQ(s.picker.asked.size(), 1);
  EXPECT_EQ(s.Remembered(), std::nullopt);
}

TEST(SettleDataFolder, TryingItMakesTheSampleFolderShowsItsUsersOnceToCopyAndRemembersIt) {
  MenuStart s;
  s.messages.Press(2).Press(1);
  const fs::path sample = s.home / "kestrova-demo";
  EXPECT_EQ(s.Settle(), sample);
  EXPECT_TRUE(s.picker.asked.isEmpty());
  EXPECT_EQ(fs::file_size(sample / "Kestrova.Data"), 200u * 20001u);
  EXPECT_EQ(fs::file_size(sample / "User.List"), 4u * 500u);
  const MessageRequest& shown = s.messages.Last();
  EXPECT_TRUE(shown.copyable);
  for (const char* line : {"\nAvery Brennan (Full Access): kestrel4", "\nJordan Okafor (Read/Edit/Add): report3",
                           "\nCasey Delgado (Read/Edit): casey22", "\nMorgan Park (Read Only): view1"}) {
    EXPECT_TRUE(shown.message.contains(QString::fromLatin1(line))) << line;
  }
  EXPECT_EQ(s.Remembered(), Q(sample));
  // Later starts go there and show the passwords no more.
  const auto asked = s.messages.asked.size();
  EXPECT_EQ(s.Settle(), sample);
  EXPECT_EQ(s.messages.asked.size(), asked);
}

TEST(SettleDataFolder, ASampleFolderMadeBeforeKeepsItsReportsAndUsers) {
  MenuStart s;
  const fs::path sample = s.home / "kestrova-demo";
  fs::create_directories(sample);
  const std::string users(500, 'u');
  { std::ofstream(sample / "User.List", std::ios::binary) << users; }
  s.messages.Press(2).Press(1);
  EXPECT_EQ(s.Settle(), sample);
  EXPECT_EQ(testing::ReadFileBytes(sample / "User.List"), users) << "its users are left alone";
  EXPECT_EQ(fs::file_size(sample / "Kestrova.Data"), 200u * 20001u) << "what it lacked is made";
  EXPECT_TRUE(s.messages.Last().message.contains(QStringLiteral("was made before and is used as it is")));
}

}  // namespace
}  // namespace kestrova::gui
