#include "core/text/storable_text.h"

#include "core/text/win1252.h"

namespace kestrova::text {

std::vector<std::string> UnstorableTextLines(const std::string& fieldName, const std::string& utf8) {
  const std::string bad = UnstorableCharacters(utf8);
  if (bad.empty()) return {};
  std::string shown;
  std::size_t pos = 0;
  while (pos < bad.size()) {
    const std::size_t start = pos;
    (void)NextCodePoint(bad, pos);
    if (!shown.empty()) shown += ' ';
    shown += bad.substr(start, pos - start);
  }
  return {"'" + fieldName + "' holds characters", "that cannot be stored:", "", shown, "",
          "Please remove or replace them.",       "Nothing has been saved."};
}

}  // namespace kestrova::text
