#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/files/record_file.h"
#include "core/status.h"

namespace kestrova::network {

// "ccSys.system": how many workstations run the program, as one 8-byte
// currency value (one workstation = 10000).
inline constexpr std::string_view kCounterFileName = "ccSys.system";

inline constexpr int kWorkstationStarts = 1;
inline constexpr int kWorkstationEnds = 3;

// Mode 1 adds this workstation, mode 3 takes it away (never below 0). The
// read and the write happen under the folder's write lock, so two
// workstations starting at once both count. Returns the new count.
Result<std::int64_t> UpdateConcurrentUsers(const std::filesystem::path& folder, int mode,
                                           const files::RecordFileOptions& options = {});

// The count without changing it; a missing file counts 0.
Result<std::int64_t> ReadConcurrentUsers(const std::filesystem::path& folder,
                                         const files::RecordFileOptions& options = {});

}  // namespace kestrova::network
