#include "core/controls/message_layout.h"

#include <algorithm>
#include <cmath>

namespace kestrova::controls {
namespace {

// Halves to even, as the program always rounded.
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

std::optional<int> MessageWrapWidth(int labelWidth, int screenWidth) {
  if (labelWidth <= screenWidth - 3000) return std::nullopt;
  return std::min(screenWidth - 3000, 12000);
}

MessageLayout LayoutMessageDialog(int labelWidth, int labelHeight, const std::vector<double>& buttonTextWidths,
                                  bool showCheckBox, int screenWidth, int screenHeight, int captionWidth) {
  MessageLayout l;
  l.buttonTop = labelHeight + 400;
  int total = 0;
  for (double width : buttonTextWidths) {
    l.buttonWidths.push_back(Round(width));
    total = Round(total + width + 100);
  }
  l.buttonsTotal = total;
  l.dialogWidth =
      std::max({labelWidth + 1100, total + 300, captionWidth > 0 ? captionWidth + kTitleBarButtonsWidth : 0});
  l.dialogHeight = labelHeight + 1300 + (showCheckBox ? 300 : 0);
  if (l.dialogHeight > screenHeight || l.dialogWidth > screenWidth) {
    l.tooBig = true;
    return l;
  }
  int x = Round(l.dialogWidth / 2.0 - total / 2.0);
  for (double width : buttonTextWidths) {
    l.buttonLefts.push_back(x);
    x = Round(x + width + 100);
  }
  l.bandTop = labelHeight + 275;
  l.bandLeft = -20;
  l.bandWidth = l.dialogWidth + 40;
  l.bandHeight = l.dialogHeight - l.bandTop + 100;
  l.checkTop = l.buttonTop + kMessageButtonHeight + 100;
  l.checkLeft = 100;
  return l;
}

}  // namespace kestrova::controls
