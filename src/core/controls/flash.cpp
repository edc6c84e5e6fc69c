#include "core/controls/flash.h"

#include <algorithm>

#include "core/controls/arithmetic.h"

namespace kestrova::controls {

void FlashLevels::Tick(int low) {
  if (a < 8) {
    b = 248;
    step = 4;
  } else if (a > 248) {
    b = low;
    step = -4;
  }
  AddStep(a, step);
  AddStep(b, -step);
}

std::optional<FlashColours> TitleFlashColours(Rgb backOver, const FlashLevels& l) {
  if (backOver == FromColorNumber(8454143)) return FlashColours{{l.b, l.b, 0}, {l.a, l.a, 0}};
  if (backOver == FromColorNumber(16777088)) return FlashColours{{0, l.b, l.b}, {0, l.a, l.a}};
  return std::nullopt;
}

std::optional<FlashColours> AdminFlashColours(Rgb backOver, const FlashLevels& l) {
  if (backOver == Rgb{128, 255, 128} || backOver == Rgb{0, 255, 0}) {
    return FlashColours{{0, l.b, 0}, {0, l.a, 0}};
  }
  if (backOver == Rgb{0, 255, 255} || backOver == Rgb{128, 255, 255}) {
    return FlashColours{{0, l.b, l.b}, {0, l.a, l.a}};
  }
  if (backOver == Rgb{255, 0, 255} || backOver == Rgb{255, 128, 255}) {
    return FlashColours{{l.b, std::min(l.b, 124), l.b}, {l.a, std::min(l.a, 124), l.a}};
  }
  return std::nullopt;
}

FlashColours SearchFlashColours(const FlashLevels& l) { return {{0, l.b, l.b}, {0, l.a, l.a}}; }

}  // namespace kestrova::controls
