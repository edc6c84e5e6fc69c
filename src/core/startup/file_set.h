#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/folder_lock.h"
#include "core/status.h"

namespace kestrova::startup {

inline constexpr std::string_view kApplicationTitle = "Kestrova";

// The files the program keeps in its data folder, in the order that backup,
// restore and the exit routine walk them.
inline constexpr std::array<std::string_view, 7> FileSet = {
    "Kestrova.Data", "User.List", "SignInOut.Log", "UserList.Log", "DataRecords.Log", "Search.Log", "User.Log",
};

struct EmptyFileSweep {
  std::vector<std::string> deleted;   // names removed, in FileSet order
  std::vector<std::string> problems;  // files that could not be checked or removed
};

// The exit routine's tidy-up: every FileSet file in the folder that exists
// and is empty is deleted, so a file opened but never written is not left
// behind. Files with contents, and missing files, are left as they are.
// It is done under the folder's lock, and nothing is deleted without it.
EmptyFileSweep DeleteEmptyFiles(const std::filesystem::path& folder, const files::LockOptions& lock = {});

}  // namespace kestrova::startup
