#pragma once

#include <filesystem>

#include "core/status.h"

namespace kestrova::startup {

// The data folder must exist, be a folder, and let us create files in it.
Status CheckDataFolder(const std::filesystem::path& folder);

}  // namespace kestrova::startup
