#include "core/users/access_level.h"

namespace kestrova::users {

std::string_view AccessLevelName(int level) {
  if (level < 1 || level > static_cast<int>(AccessLevels.size())) return {};
  return AccessLevels[static_cast<std::size_t>(level - 1)];
}

}  // namespace kestrova::users
