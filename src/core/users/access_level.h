#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrova::users {

// A user's access level, as stored (its position in AccessLevels). Each
// level may do what the ones below it may.
enum class AccessLevel : std::int16_t { None = 0, ReadOnly = 1, ReadEdit = 2, ReadEditAdd = 3, FullAccess = 4 };

// The access levels' names; a user's level is its position, 1 to 4.
inline constexpr std::array<std::string_view, 4> AccessLevels = {"Read Only", "Read/Edit", "Read/Edit/Add",
                                                                 "Full Access"};

// The name of level 1-4, or "" for anything else.
std::string_view AccessLevelName(int level);
inline std::string_view AccessLevelName(AccessLevel level) { return AccessLevelName(static_cast<int>(level)); }

}  // namespace kestrova::users
