#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrova::startup {

// The manual's file name: the application title followed by ".PDF".
std::string ManualFileName();

// The installed share folder as seen from the folder of the installed
// program, e.g. "../share/kestrova" for <prefix>/bin.
std::filesystem::path ShareFolderFromProgram();

// Where a file the program ships (the manual) is: beside the program, as in
// the build tree, else in the share folder that `shareFromProgram` leads to
// from the program's folder. Nothing when neither holds it.
std::optional<std::filesystem::path> FindShippedFile(
    const std::filesystem::path& programFolder, std::string_view name,
    const std::filesystem::path& shareFromProgram = ShareFolderFromProgram());

}  // namespace kestrova::startup
