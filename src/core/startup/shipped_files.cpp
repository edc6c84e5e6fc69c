#include "core/startup/shipped_files.h"

#include "core/startup/file_set.h"

#ifndef KESTROVA_SHARE_FROM_BIN
#define KESTROVA_SHARE_FROM_BIN "../share/kestrova"
#endif

namespace kestrova::startup {
namespace fs = std::filesystem;

std::string ManualFileName() { return std::string(kApplicationTitle) + ".PDF"; }

fs::path ShareFolderFromProgram() { return KESTROVA_SHARE_FROM_BIN; }

std::optional<fs::path> FindShippedFile(const fs::path& programFolder, std::string_view name,
                                        const fs::path& shareFromProgram) {
  if (programFolder.empty()) return std::nullopt;
  for (const fs::path& folder : {programFolder, programFolder / shareFromProgram}) {
    const fs::path candidate = (folder / name).lexically_normal();
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

}  // namespace kestrova::startup
