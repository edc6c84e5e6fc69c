#include "core/controls/button_rules.h"

#include <algorithm>
#include <cmath>

#include "core/text/win1252.h"

namespace kestrova::controls {

Rgb FromColorNumber(std::uint32_t number) {
  return {static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
          static_cast<int>((number >> 16) & 0xFF)};
}

std::uint32_t ToColorNumber(Rgb c) {
  return static_cast<std::uint32_t>(c.r) | (static_cast<std::uint32_t>(c.g) << 8) |
         (static_cast<std::uint32_t>(c.b) << 16);
}

Rgb Shift(Rgb c, int n, bool softBevel, bool blueWeighted) {
  if (softBevel) n /= 2;
  const auto hold = [n](int v) {
    if (n > 0) return std::min(v, 255);
    if (n < 0) return std::max(v, 0);
    return v;
  };
  return {hold(c.r + n), hold(c.g + n), hold(c.b + (blueWeighted ? n * c.b / 192 : n))};
}

Rgb Lighten(Rgb c, int n) {
  const auto one = [n](int v) { return std::min(255, n + v * (255 - n) / 255); };
  return {one(c.r), one(c.g), one(c.b)};
}

int GreyLevel(Rgb c) { return static_cast<int>(std::lround(0.30 * c.r + 0.59 * c.g + 0.11 * c.b)); }

ButtonPalette ComputePalette(const PaletteInput& in) {
  ButtonPalette p;
  const bool soft = in.softBevel;
  switch (in.scheme) {
    case 2:
      p.face = in.back;
      p.hoverFace = in.backOver;
      p.text = in.fore;
      p.hoverText = in.foreOver;
      p.shadow = Shift(p.face, -64, soft);
      p.light = Shift(p.face, 31, soft);
      p.highlight = Shift(p.face, 47, soft);
      p.darkShadow = Shift(p.face, -192, soft);
      p.selection = Shift(p.face, -128, soft);
      p.selectionLight = p.face;
      break;
    case 3:
      p.face = p.hoverFace = {192, 192, 192};
      p.text = p.hoverText = {0, 0, 0};
      p.shadow = {128, 128, 128};
      p.light = {223, 223, 223};
      p.highlight = {255, 255, 255};
      p.darkShadow = {0, 0, 0};
      p.selection = {0, 0, 128};
      p.selectionLight = {173, 173, 209};
      break;
    case 4:
      p.face = p.hoverFace = in.parentBack;
      p.text = p.hoverText = in.parentText;
      p.shadow = Shift(p.face, -64, soft);
      p.light = Shift(p.face, 31, soft);
      p.highlight = Shift(p.face, 47, soft);
      p.darkShadow = Shift(p.face, -192, soft);
      p.selection = in.system.selection;
      p.selectionLight = Lighten(in.system.selection, 176);
      break;
    default:
      p.face = p.hoverFace = in.system.face;
      p.text = p.hoverText = in.system.text;
      p.shadow = in.system.shadow;
      p.light = in.system.light;
      p.highlight = in.system.highlight;
      p.darkShadow = in.system.darkShadow;
      p.selection = in.system.selection;
      p.selectionLight = Lighten(in.system.selection, 176);
      break;
  }
  p.mask = in.mask;
  p.pressedFace = Shift(p.face, 48, soft, in.buttonType == 3);
  return p;
}

std::optional<char32_t> AccessKey(std::string_view caption) {
  std::size_t pos = 0;
  // Count characters, not bytes: a one-character caption has no access key.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < caption.size(); ++characters) text::NextCodePoint(caption, i);
  if (characters <= 1) return std::nullopt;
  while ((pos = caption.find('&', pos)) != std::string_view::npos) {
    if (pos + 1 >= caption.size()) return std::nullopt;
    if (caption[pos + 1] == '&') {
      pos += 2;
      continue;
    }
    std::size_t at = pos + 1;
    char32_t key = text::NextCodePoint(caption, at);
    if (key >= 'A' && key <= 'Z') key += 'a' - 'A';
    return key;
  }
  return std::nullopt;
}

std::string ShownCaption(std::string_view caption) {
  std::string shown;
  shown.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      shown += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  return shown;
}

PixelRect DrawingRect(int buttonType, int width, int height) {
  switch (buttonType) {
    case 3: return {4, 4, width - 8, height - 8};
    case 11: return {3, 3, width - 6, height - 6};
    case 14: return {6, 6, width - 10, height - 10};
    default: return {0, 0, width, height};
  }
}

std::vector<Pixel> RegionCutPixels(int buttonType, int width, int height) {
  std::vector<Pixel> cut;
  if (width <= 0 || height <= 0) return cut;
  const int right = width - 1;
  const int bottom = height - 1;
  if (buttonType == 3) {
    for (int y : {0, bottom}) {
      for (int x : {0, 1, right - 1, right}) cut.push_back({x, y});
    }
    for (int y : {1, bottom - 1}) {
      for (int x : {0, right}) cut.push_back({x, y});
    }
  } else if (buttonType == 14) {
    cut = {{0, 0}, {right, 0}, {0, bottom}, {right, bottom}};
  }
  return cut;
}

PixelRect CaptionArea(int width, int height, bool hasPicture, int pictureWidth, int pictureHeight,
                      int picturePosition) {
  PixelRect r{4, 4, width - 8, height - 8};
  if (!hasPicture) return r;
  switch (picturePosition) {
    case 0:
      r.x += pictureWidth + 4;
      r.width -= pictureWidth + 4;
      break;
    case 1: r.width -= pictureWidth + 4; break;
    case 2:
      r.y += pictureHeight + 4;
      r.height -= pictureHeight + 4;
      break;
    case 3: r.height -= pictureHeight + 4; break;
    default: r = {4, 1, width - 8, height - 1}; break;
  }
  return r;
}

Pixel PictureOrigin(int width, int height, int pictureWidth, int pictureHeight, int picturePosition) {
  switch (picturePosition) {
    case 0: return {4, (height - pictureHeight) / 2};
    case 1: return {width - 4 - pictureWidth, (height - pictureHeight) / 2};
    case 2: return {(width - pictureWidth) / 2, 4};
    case 3: return {(width - pictureWidth) / 2, height - 4 - pictureHeight};
    default: return {(width - pictureWidth) / 2, (height - pictureHeight) / 2};
  }
}

}  // namespace kestrova::controls
