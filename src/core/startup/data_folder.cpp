#include "core/startup/data_folder.h"

#include <unistd.h>

namespace kestrova::startup {

Status CheckDataFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  const auto status = std::filesystem::status(folder, ec);
  if (ec || !std::filesystem::exists(status)) {
    return Error{Error::Kind::NotFound, "The data folder " + folder.string() + " does not exist."};
  }
  if (!std::filesystem::is_directory(status)) {
    return Error{Error::Kind::Invalid, "The data folder " + folder.string() + " is not a folder."};
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return Error{Error::Kind::Io, "The data folder " + folder.string() +
                                      " cannot be written to. Choose a folder where you may "
                                      "create files, or ask your administrator for access."};
  }
  return {};
}

}  // namespace kestrova::startup
