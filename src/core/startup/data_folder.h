#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "core/status.h"

namespace kestrova::startup {

// The data folder must exist, be a folder, and let us create files in it.
Status CheckDataFolder(const std::filesystem::path& folder);

// Whether this process may create files in the folder.
bool IsWritableFolder(const std::filesystem::path& folder);

// Whether the folder already holds a data set: reports, users, or the data
// file of an older release that the sign-in will upgrade.
bool HoldsDataFiles(const std::filesystem::path& folder);

enum class DataFolderSource {
  CommandLine,    // --data-dir
  WorkingFolder,  // the folder the program was started in
  Remembered,     // the folder chosen at an earlier start
  Ask,            // nothing fits: the user is asked for one
};

struct DataFolderChoice {
  DataFolderSource source = DataFolderSource::Ask;
  std::filesystem::path folder;  // empty when asking
};

// Which folder a start uses. --data-dir wins. Otherwise the working folder,
// unless it holds no data and is the home folder, the root folder or a
// folder we may not write to, as when the desktop's menu starts the program:
// then the folder remembered from an earlier start, while it exists, or else
// the user is asked.
DataFolderChoice ChooseDataFolder(const std::optional<std::filesystem::path>& commandLine,
                                  const std::filesystem::path& working, const std::filesystem::path& home,
                                  const std::optional<std::filesystem::path>& remembered,
                                  const std::function<bool(const std::filesystem::path&)>& writable = IsWritableFolder);

}  // namespace kestrova::startup
