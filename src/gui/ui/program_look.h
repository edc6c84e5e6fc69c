#pragma once

#include <QFont>
#include <QIcon>

// How every window looks, whatever the desktop: the font the windows are
// laid out for, and the program's icon.
//
// The font: Their geometry is given in twips
// and their captions were fitted in this face at this size; a desktop's
// own font (another face, 11 points) would cut captions and push controls
// over one another. Users who want larger text set QT_SCALE_FACTOR, which
// scales the layout and the text together.
namespace kestrova::gui {

// "DejaVu Sans" (the package depends on fonts-dejavu-core), else
// "Liberation Sans", at 9 points.
inline constexpr int kProgramFontPoints = 9;
QFont ProgramFont();
// The serif face of the title window's headings: "Georgia" where it is
// installed, else the serif faces of the same two families.
QFont TitleFont(int points, bool bold);

// The program's icon at the sizes desktops show (16 to 256 pixels).
QIcon ProgramIcon();

// Makes the program font every window's, whatever the desktop set, and
// the program's icon every window's icon.
void UseProgramLook();

}  // namespace kestrova::gui
