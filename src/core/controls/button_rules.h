#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The arithmetic behind the program's button control: its colours, its
// access key and its geometry, free of any window.
namespace kestrova::controls {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Colours are kept in the program as 0x00BBGGRR numbers (12632256 = C0C0C0).
Rgb FromColorNumber(std::uint32_t number);
std::uint32_t ToColorNumber(Rgb c);

// shift(colour, n): with a soft bevel n is halved first; R and G get n added;
// B gets n added, or n x B / 192 under the blue-weighted rule; results are
// held at 255 when n is positive and at 0 when it is negative.
Rgb Shift(Rgb c, int n, bool softBevel, bool blueWeighted = false);
// lighten(colour, n): each channel c becomes n + c x (255 - n) / 255.
Rgb Lighten(Rgb c, int n);
// The grey a picture's pixel takes: 0.30 R + 0.59 G + 0.11 B, rounded.
int GreyLevel(Rgb c);

// The desktop's own colours, for scheme 1.
struct SystemColours {
  Rgb face{212, 208, 200};
  Rgb text{0, 0, 0};
  Rgb shadow{128, 128, 128};
  Rgb light{223, 223, 223};
  Rgb highlight{255, 255, 255};
  Rgb darkShadow{64, 64, 64};
  Rgb selection{10, 36, 106};
};

struct ButtonPalette {
  Rgb face, hoverFace, text, hoverText;
  Rgb shadow, light, highlight, darkShadow;
  Rgb selection, selectionLight, mask, pressedFace;
};

struct PaletteInput {
  int scheme = 1;  // 1 system, 2 own colours, 3 fixed grey, 4 the parent's
  int buttonType = 2;
  bool softBevel = false;
  Rgb back, backOver, fore, foreOver, mask;
  Rgb parentBack, parentText;
  SystemColours system;
};

// The colours a button draws with. An unknown scheme counts as scheme 1.
ButtonPalette ComputePalette(const PaletteInput& in);

// The access key of a caption, lower-cased: the character after the first
// single "&". "&Save" -> 's'; "&&" alone -> none; "Fish && &Chips" -> 'c'.
std::optional<char32_t> AccessKey(std::string_view caption);
// The caption as the button shows it, for assistive technology and
// messages: "&&" is one "&", any other "&" only marks the access key.
// "&Save" -> "Save"; "Fish && &Chips" -> "Fish & Chips".
std::string ShownCaption(std::string_view caption);

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};
struct Pixel {
  int x = 0, y = 0;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

// Where a button of the given type draws inside its client area.
PixelRect DrawingRect(int buttonType, int width, int height);
// The pixels cut from a button's window: rounded corners for type 3, the
// four corner pixels for type 14, none for the others.
std::vector<Pixel> RegionCutPixels(int buttonType, int width, int height);

// Picture positions: 0 left of the caption, 1 right, 2 above, 3 below, 4 behind.
// The area the caption is laid out in (hasPicture false ignores the rest).
PixelRect CaptionArea(int width, int height, bool hasPicture, int pictureWidth, int pictureHeight, int picturePosition);
// The top-left corner of the picture.
Pixel PictureOrigin(int width, int height, int pictureWidth, int pictureHeight, int picturePosition);

}  // namespace kestrova::controls
