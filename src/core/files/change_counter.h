#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/status.h"

namespace kestrova::files {

// "Kestrova.Changes": an 8-byte little-endian count of the writes made to
// the reports (Kestrova.Data), one more after each; the user list's writes
// are not counted. Workstations watch it
// (read by content, which a network share does not cache as it caches file
// dates and sizes) to see that another one has changed something.
inline constexpr std::string_view kChangesFileName = "Kestrova.Changes";

// A missing file reads as 0.
Result<std::uint64_t> ReadChangeCounter(const std::filesystem::path& folder);
// One more change; the caller holds the folder's lock.
Result<std::uint64_t> BumpChangeCounter(const std::filesystem::path& folder);

// The count's eight bytes (a file cut short reads as what it holds, the
// rest as zeros).
std::uint64_t DecodeChangeCounter(const char* bytes);
void EncodeChangeCounter(std::uint64_t value, char* bytes);

}  // namespace kestrova::files
