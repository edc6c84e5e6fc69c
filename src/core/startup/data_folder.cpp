#include "core/startup/data_folder.h"

#include <unistd.h>

#include "core/startup/data_file_upgrade.h"
#include "core/startup/file_set.h"

namespace kestrova::startup {
namespace fs = std::filesystem;

Status CheckDataFolder(const fs::path& folder) {
  std::error_code ec;
  const auto status = fs::status(folder, ec);
  if (ec || !fs::exists(status)) {
    return Error{Error::Kind::NotFound, "The data folder " + folder.string() + " does not exist."};
  }
  if (!fs::is_directory(status)) {
    return Error{Error::Kind::Invalid, "The data folder " + folder.string() + " is not a folder."};
  }
  if (!IsWritableFolder(folder)) {
    return Error{Error::Kind::Io, "The data folder " + folder.string() +
                                      " cannot be written to. Choose a folder where you may "
                                      "create files, or ask your administrator for access."};
  }
  return {};
}

bool IsWritableFolder(const fs::path& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

bool HoldsDataFiles(const fs::path& folder) {
  std::error_code ec;
  for (const std::string_view name : {FileSet[0], FileSet[1], kOldestDataFileName}) {
    if (fs::is_regular_file(folder / name, ec)) return true;
  }
  return false;
}

namespace {

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return !ec && same;
}

bool IsFolder(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder, ec);
}

}  // namespace

DataFolderChoice ChooseDataFolder(const std::optional<fs::path>& commandLine, const fs::path& working,
                                  const fs::path& home, const std::optional<fs::path>& remembered,
                                  const std::function<bool(const fs::path&)>& writable) {
  if (commandLine) return {DataFolderSource::CommandLine, *commandLine};
  const bool unsuitable = !HoldsDataFiles(working) && ((!home.empty() && SameFolder(working, home)) ||
                                                       SameFolder(working, "/") || !writable(working));
  if (!unsuitable) return {DataFolderSource::WorkingFolder, working};
  if (remembered && !remembered->empty() && IsFolder(*remembered)) {
    return {DataFolderSource::Remembered, *remembered};
  }
  return {DataFolderSource::Ask, {}};
}

}  // namespace kestrova::startup
