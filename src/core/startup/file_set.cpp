#include "core/startup/file_set.h"

namespace kestrova::startup {

std::string_view AccessLevelName(int level) {
  if (level < 1 || level > static_cast<int>(AccessLevels.size())) return {};
  return AccessLevels[static_cast<std::size_t>(level - 1)];
}

EmptyFileSweep DeleteEmptyFiles(const std::filesystem::path& folder) {
  EmptyFileSweep sweep;
  for (std::string_view name : FileSet) {
    const auto path = folder / name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) continue;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
      sweep.problems.push_back(std::string(name) + ": " + ec.message());
      continue;
    }
    if (size != 0) continue;
    if (std::filesystem::remove(path, ec)) {
      sweep.deleted.emplace_back(name);
    } else if (ec) {
      sweep.problems.push_back(std::string(name) + ": " + ec.message());
    }
  }
  return sweep;
}

}  // namespace kestrova::startup
