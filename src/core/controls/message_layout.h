#pragma once

#include <optional>
#include <vector>

// Where the message dialog puts its parts. Every length is in twips
// (1440 to the inch).
namespace kestrova::controls {

inline constexpr int kMessageLabelTop = 250;
inline constexpr int kMessageLabelLeft = 780;
inline constexpr int kMessageButtonHeight = 400;
inline constexpr int kMessageCancelLeft = -500;

// The width a message label wraps at when it is wider than the screen
// allows (screen width - 3000, at most 12000); nothing when it fits.
std::optional<int> MessageWrapWidth(int labelWidth, int screenWidth);

struct MessageLayout {
  bool tooBig = false;  // taller or wider than the screen: not shown
  int dialogWidth = 0;
  int dialogHeight = 0;
  int buttonTop = 0;
  std::vector<int> buttonLefts;
  std::vector<int> buttonWidths;
  int buttonsTotal = 0;  // the running total of widths and gaps
  int bandTop = 0, bandLeft = 0, bandWidth = 0, bandHeight = 0;
  int checkTop = 0, checkLeft = 0;
};

// Room the title bar takes beside its caption: its buttons and edges
// (120 pixels at 96 dots per inch).
inline constexpr int kTitleBarButtonsWidth = 1800;

// Lays the dialog out around a label of the given (final) size and buttons
// whose texts, blanks around the captions included, measure the given
// widths. The dialog is never so narrow that the title bar cuts its caption
// (captionWidth: the caption in the title font). Roundings go to the
// nearest twip, halves to even.
MessageLayout LayoutMessageDialog(int labelWidth, int labelHeight, const std::vector<double>& buttonTextWidths,
                                  bool showCheckBox, int screenWidth, int screenHeight, int captionWidth = 0);

}  // namespace kestrova::controls
