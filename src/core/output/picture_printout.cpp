#include "core/output/picture_printout.h"

#include <cstdint>
#include <utility>

#include "core/reports/report_display.h"

namespace kestrova::output {
namespace {

constexpr double kLandscapeWidth = 6.5;
constexpr double kLandscapeX = 0.75;
constexpr double kLandscapeCentreY = 4.5;
constexpr double kPortraitHeight = 9.0;
constexpr double kPortraitY = 0.8;
constexpr double kPortraitCentreX = 3.25;
constexpr double kCaptionAbove = 0.2;
constexpr int kEnlargedBox = 8000;

}  // namespace

PicturePlacement PlacePicture(double naturalWidth, double naturalHeight) {
  if (naturalWidth <= 0 || naturalHeight <= 0) return {};
  const double portraitWidth = naturalWidth * kPortraitHeight / naturalHeight;
  if (naturalHeight < naturalWidth || portraitWidth > kLandscapeWidth) {
    const double height = naturalHeight * kLandscapeWidth / naturalWidth;
    return {kLandscapeX, kLandscapeCentreY - height / 2, kLandscapeWidth, height};
  }
  return {kPortraitCentreX - portraitWidth / 2, kPortraitY, portraitWidth, kPortraitHeight};
}

std::string PictureCaption(std::string_view controlNumber, std::string_view caseNumber) {
  return std::string(reports::FieldHeading(0)) + " " + std::string(controlNumber) + " - " +
         std::string(reports::FieldHeading(1)) + " " + std::string(caseNumber);
}

void PrintPicture(PrintCursor& cursor, std::string_view caption, std::string path, double naturalWidth,
                  double naturalHeight) {
  const PicturePlacement at = PlacePicture(naturalWidth, naturalHeight);
  PrintFont font;
  font.size = 9;
  cursor.SetFont(font);
  cursor.x = at.x;
  cursor.y = at.y - kCaptionAbove;
  cursor.Print(caption);
  cursor.EndLine();
  cursor.DrawPicture(at.x, at.y, at.width, at.height, std::move(path));
  cursor.Flush();
}

EnlargedPicture EnlargedPictureSize(int naturalWidth, int naturalHeight) {
  EnlargedPicture e;
  if (naturalWidth > 0 && naturalHeight > 0) {
    const auto scaled = [](int side, int other) {
      return static_cast<int>(static_cast<std::int64_t>(side) * kEnlargedBox / other);
    };
    if (naturalHeight >= naturalWidth) {
      e.pictureHeight = kEnlargedBox;
      e.pictureWidth = scaled(naturalWidth, naturalHeight);
    } else {
      e.pictureWidth = kEnlargedBox;
      e.pictureHeight = scaled(naturalHeight, naturalWidth);
    }
  }
  e.windowWidth = e.pictureWidth + 300;
  e.windowHeight = e.pictureHeight + 1200;
  e.returnLeft = e.windowWidth - 845;
  return e;
}

}  // namespace kestrova::output
