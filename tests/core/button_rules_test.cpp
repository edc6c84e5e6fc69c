#include <gtest/gtest.h>

#include <algorithm>

#include "core/controls/button_rules.h"

namespace kestrova::controls {
namespace {

TEST(ButtonColours, NumbersAreBlueGreenRed) {
  EXPECT_EQ(FromColorNumber(12632256), (Rgb{192, 192, 192}));
  EXPECT_EQ(FromColorNumber(0x0000C0), (Rgb{192, 0, 0}));  // the program's dark red
  EXPECT_EQ(ToColorNumber({0x12, 0x34, 0x56}), 0x563412u);
}

TEST(ButtonColours, ShiftAddsToEachChannelAndHoldsAtTheEnds) {
  EXPECT_EQ(Shift({100, 150, 200}, 31, false), (Rgb{131, 181, 231}));
  EXPECT_EQ(Shift({100, 150, 240}, 47, false), (Rgb{147, 197, 255}));
  EXPECT_EQ(Shift({100, 50, 30}, -64, false), (Rgb{36, 0, 0}));
  // Soft bevel halves the step toward zero.
  EXPECT_EQ(Shift({100, 100, 100}, -64, true), (Rgb{68, 68, 68}));
  EXPECT_EQ(Shift({100, 100, 100}, 31, true), (Rgb{115, 115, 115}));
  // Blue-weighted: blue gets n x B / 192.
  EXPECT_EQ(Shift({100, 100, 96}, 48, false, true), (Rgb{148, 148, 120}));
  EXPECT_EQ(Shift({0, 0, 0}, 48, false, true), (Rgb{48, 48, 0}));
}

TEST(ButtonColours, LightenMovesTowardWhite) {
  EXPECT_EQ(Lighten({0, 0, 0}, 176), (Rgb{176, 176, 176}));
  EXPECT_EQ(Lighten({255, 255, 255}, 176), (Rgb{255, 255, 255}));
  EXPECT_EQ(Lighten({10, 36, 106}, 176), (Rgb{179, 187, 208}));
}

TEST(ButtonColours, GreyLevel) {
  EXPECT_EQ(GreyLevel({255, 255, 255}), 255);
  EXPECT_EQ(GreyLevel({255, 0, 0}), 77);   // 76.5 rounds up
  EXPECT_EQ(GreyLevel({0, 255, 0}), 150);  // 150.45
  EXPECT_EQ(GreyLevel({0, 0, 255}), 28);   // 28.05
}

TEST(ButtonPalette, SchemeTwoDerivesFromTheButtonsOwnColours) {
  PaletteInput in;
  in.scheme = 2;
  in.back = {100, 120, 140};
  in.backOver = {1, 2, 3};
  in.fore = {9, 9, 9};
  in.foreOver = {8, 8, 8};
  in.mask = {192, 192, 192};
  const ButtonPalette p = ComputePalette(in);
  EXPECT_EQ(p.face, in.back);
  EXPECT_EQ(p.hoverFace, in.backOver);
  EXPECT_EQ(p.text, in.fore);
  EXPECT_EQ(p.hoverText, in.foreOver);
  EXPECT_EQ(p.shadow, (Rgb{36, 56, 76}));
  EXPECT_EQ(p.light, (Rgb{131, 151, 171}));
  EXPECT_EQ(p.highlight, (Rgb{147, 167, 187}));
  EXPECT_EQ(p.darkShadow, (Rgb{0, 0, 0}));
  EXPECT_EQ(p.selection, (Rgb{0, 0, 12}));
  EXPECT_EQ(p.selectionLight, in.back);
  EXPECT_EQ(p.mask, in.mask);
  EXPECT_EQ(p.pressedFace, (Rgb{148, 168, 188}));

  in.softBevel = true;
  EXPECT_EQ(ComputePalette(in).shadow, Shift(in.back, -32, false));
  in.softBevel = false;
  in.buttonType = 3;
  EXPECT_EQ(ComputePalette(in).pressedFace, (Rgb{148, 168, 140 + 48 * 140 / 192}));
}

TEST(ButtonPalette, SchemesOneThreeAndFour) {
  PaletteInput in;
  in.system.face = {240, 240, 240};
  in.system.selection = {0, 120, 215};
  in.parentBack = {50, 60, 70};
  in.parentText = {1, 1, 1};
  in.scheme = 1;
  ButtonPalette p = ComputePalette(in);
  EXPECT_EQ(p.face, in.system.face);
  EXPECT_EQ(p.hoverFace, in.system.face);
  EXPECT_EQ(p.selectionLight, Lighten(in.system.selection, 176));
  EXPECT_EQ(p.pressedFace, (Rgb{255, 255, 255}));

  in.scheme = 3;
  p = ComputePalette(in);
  EXPECT_EQ(p.face, (Rgb{192, 192, 192}));
  EXPECT_EQ(p.light, (Rgb{223, 223, 223}));
  EXPECT_EQ(p.selection, (Rgb{0, 0, 128}));
  EXPECT_EQ(p.selectionLight, (Rgb{173, 173, 209}));
  EXPECT_EQ(p.darkShadow, (Rgb{0, 0, 0}));

  in.scheme = 4;
  p = ComputePalette(in);
  EXPECT_EQ(p.face, in.parentBack);
  EXPECT_EQ(p.text, in.parentText);
  EXPECT_EQ(p.shadow, (Rgb{0, 0, 6}));
  EXPECT_EQ(p.selection, in.system.selection);

  in.scheme = 9;  // unknown: the system's colours
  EXPECT_EQ(ComputePalette(in).face, in.system.face);
}

TEST(AccessKey, IsTheLetterAfterTheFirstSingleAmpersand) {
  EXPECT_EQ(AccessKey("&Save"), U's');
  EXPECT_EQ(AccessKey("E&xit Kestrova"), U'x');
  EXPECT_EQ(AccessKey("&&"), std::nullopt);
  EXPECT_EQ(AccessKey("Fish && Chips"), std::nullopt);
  EXPECT_EQ(AccessKey("Fish && &Chips"), U'c');
  EXPECT_EQ(AccessKey("Save&"), std::nullopt);
  EXPECT_EQ(AccessKey("&"), std::nullopt);
  EXPECT_EQ(AccessKey("S"), std::nullopt);
  EXPECT_EQ(AccessKey("Plain"), std::nullopt);
  EXPECT_EQ(AccessKey("&1 first"), U'1');
  EXPECT_EQ(AccessKey("&\u00C9t\u00E9"), U'\u00C9');
}

TEST(ShownCaption, DropsTheAccessMarkAndKeepsADoubledAmpersand) {
  EXPECT_EQ(ShownCaption("&Save"), "Save");
  EXPECT_EQ(ShownCaption("Edit '&User List'"), "Edit 'User List'");
  EXPECT_EQ(ShownCaption("Fish && &Chips"), "Fish & Chips");
  EXPECT_EQ(ShownCaption("Save&"), "Save");
  EXPECT_EQ(ShownCaption("Print this Report..."), "Print this Report...");
}

TEST(ButtonGeometry, DrawingRectPerType) {
  EXPECT_EQ(DrawingRect(3, 100, 30), (PixelRect{4, 4, 92, 22}));
  EXPECT_EQ(DrawingRect(11, 100, 30), (PixelRect{3, 3, 94, 24}));
  EXPECT_EQ(DrawingRect(14, 100, 30), (PixelRect{6, 6, 90, 20}));
  EXPECT_EQ(DrawingRect(2, 100, 30), (PixelRect{0, 0, 100, 30}));
}

TEST(ButtonGeometry, RoundedCornersOfTypeThreeAndCornerPixelsOfTypeFourteen) {
  const auto three = RegionCutPixels(3, 10, 6);
  EXPECT_EQ(three.size(), 12u);
  for (Pixel p : {Pixel{0, 0}, Pixel{1, 0}, Pixel{8, 0}, Pixel{9, 0}, Pixel{0, 1}, Pixel{9, 1}, Pixel{0, 4},
                  Pixel{9, 4}, Pixel{0, 5}, Pixel{1, 5}, Pixel{8, 5}, Pixel{9, 5}}) {
    EXPECT_NE(std::find(three.begin(), three.end(), p), three.end()) << p.x << "," << p.y;
  }
  EXPECT_EQ(std::find(three.begin(), three.end(), Pixel{1, 1}), three.end());
  EXPECT_EQ(RegionCutPixels(14, 10, 6), (std::vector<Pixel>{{0, 0}, {9, 0}, {0, 5}, {9, 5}}));
  EXPECT_TRUE(RegionCutPixels(2, 10, 6).empty());
}

TEST(ButtonGeometry, CaptionMakesRoomForThePicture) {
  EXPECT_EQ(CaptionArea(100, 40, false, 16, 16, 0), (PixelRect{4, 4, 92, 32}));
  EXPECT_EQ(CaptionArea(100, 40, true, 16, 16, 0), (PixelRect{24, 4, 72, 32}));
  EXPECT_EQ(CaptionArea(100, 40, true, 16, 16, 1), (PixelRect{4, 4, 72, 32}));
  EXPECT_EQ(CaptionArea(100, 60, true, 16, 20, 2), (PixelRect{4, 28, 92, 28}));
  EXPECT_EQ(CaptionArea(100, 60, true, 16, 20, 3), (PixelRect{4, 4, 92, 28}));
  EXPECT_EQ(CaptionArea(100, 60, true, 16, 20, 4), (PixelRect{4, 1, 92, 59}));
  EXPECT_EQ(PictureOrigin(100, 40, 16, 16, 0), (Pixel{4, 12}));
  EXPECT_EQ(PictureOrigin(100, 40, 16, 16, 1), (Pixel{80, 12}));
  EXPECT_EQ(PictureOrigin(100, 60, 16, 20, 2), (Pixel{42, 4}));
  EXPECT_EQ(PictureOrigin(100, 60, 16, 20, 3), (Pixel{42, 36}));
}

}  // namespace
}  // namespace kestrova::controls
