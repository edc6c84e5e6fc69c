#pragma once

#include <optional>
#include <utility>

#include "core/controls/button_rules.h"

// The pulse that draws the eye to the button of the next step.
namespace kestrova::controls {

// Two intensities swinging in opposite directions between about 4 and 252.
struct FlashLevels {
  int a = 0;
  int b = 0;
  int step = 0;
  // low is 8 for the title window, the search dialog and the
  // administrative window, 2 for the main window.
  void Tick(int low = 8);
};

struct FlashColours {
  Rgb back;
  Rgb fore;
};

// The title window recognises light yellow (8454143) and light cyan
// (16777088) hover colours; any other is left alone.
std::optional<FlashColours> TitleFlashColours(Rgb backOver, const FlashLevels& l);
// The administrative window: green, cyan and magenta families.
std::optional<FlashColours> AdminFlashColours(Rgb backOver, const FlashLevels& l);
// The search dialog's find button: always cyan.
FlashColours SearchFlashColours(const FlashLevels& l);

}  // namespace kestrova::controls
