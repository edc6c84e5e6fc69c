#pragma once

#include <filesystem>
#include <optional>

namespace kestrova::platform {
class FolderPicker;
class SettingsStore;
}  // namespace kestrova::platform

namespace kestrova::gui {

class MessageAnswerer;

// Where a start finds itself.
struct StartFolders {
  std::optional<std::filesystem::path> commandLine;  // --data-dir
  std::filesystem::path working;
  std::filesystem::path home;
};

// The folder of sample reports, in the home folder.
inline constexpr const char* kSampleFolderName = "kestrova-demo";

// The setting (section "Defaults") that remembers the chosen data folder.
inline constexpr const char* kDataFolderSetting = "DataFolder";

// The folder remembered in "DataFolder", if any.
std::optional<std::filesystem::path> RememberedDataFolder(const platform::SettingsStore& settings);

// The data folder of this start. --data-dir and a working folder fit for
// data are used as they are. Started from the desktop's menu (in the home
// folder, "/", or a folder it may not write to, holding no data), the
// folder remembered in "DataFolder" is used while it is there and usable;
// otherwise the user is asked for one with the folder dialog, opened at the
// sample folder when there is one, and the choice is remembered; or the
// user chooses to try the program on a sample folder, which is made (200
// reports, four demo users shown once) and remembered. Nothing when the
// user declines.
std::optional<std::filesystem::path> SettleDataFolder(const StartFolders& start, platform::SettingsStore& settings,
                                                      platform::FolderPicker& picker, MessageAnswerer& messages);

}  // namespace kestrova::gui
