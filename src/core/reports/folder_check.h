#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/status.h"

// What `kestrova-cli verify` checks: the data file's length and every
// report's members, and the files interrupted writes left aside.
namespace kestrova::reports {

struct FolderProblem {
  std::int32_t record = 0;  // 0: the file or the folder
  std::string what;
};

struct FolderCheck {
  bool dataFileMissing = false;
  std::int32_t reportsChecked = 0;
  std::vector<FolderProblem> problems;  // the first ones found
  std::size_t problemsNotListed = 0;    // and how many more
};

// Fails only when the data file cannot be read at all.
Result<FolderCheck> CheckDataFolder(const std::filesystem::path& folder);

}  // namespace kestrova::reports
