#pragma once

#include <string>
#include <string_view>

#include "core/output/print_cursor.h"

// A report's picture: its enlarged view and its printed page.
namespace kestrova::output {

// Where a picture prints, in inches. A landscape picture (wider than high)
// is 6.5 wide at x 0.75, centred vertically on y 4.5; any other is 9.0 high
// at y 0.8, centred on x 3.25, unless that would make it wider than 6.5: then
// it is placed as a landscape picture is, so it always fits the page.
struct PicturePlacement {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};
PicturePlacement PlacePicture(double naturalWidth, double naturalHeight);

// The enlarged-picture window's caption, printed above the picture:
// "Control Number <control> - Case Number <case>".
std::string PictureCaption(std::string_view controlNumber, std::string_view caseNumber);

// The picture's page: the caption in Arial 9 just above the picture's top
// left corner, then the picture.
void PrintPicture(PrintCursor& cursor, std::string_view caption, std::string path, double naturalWidth,
                  double naturalHeight);

// The enlarged view, in twips: the picture's longer side becomes 8000, the
// other keeps the proportion (rounding down); the window is 300 wider and
// 1200 higher than the picture, its close button 845 in from the right edge.
struct EnlargedPicture {
  int pictureWidth = 0;
  int pictureHeight = 0;
  int windowWidth = 0;
  int windowHeight = 0;
  int returnLeft = 0;

  friend bool operator==(const EnlargedPicture&, const EnlargedPicture&) = default;
};
EnlargedPicture EnlargedPictureSize(int naturalWidth, int naturalHeight);

}  // namespace kestrova::output
