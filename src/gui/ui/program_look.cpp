#include "gui/ui/program_look.h"

#include <QApplication>
#include <QStringList>

namespace kestrova::gui {

QFont ProgramFont() {
  QFont font;
  // Named one by one: fontconfig would otherwise answer "DejaVu Sans" with
  // whatever it has, and the fallback would never be looked at.
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(kProgramFontPoints);
  return font;
}

QFont TitleFont(int points, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("Georgia"), QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Serif")});
  font.setStyleHint(QFont::Serif);
  font.setPointSize(points);
  font.setBold(bold);
  return font;
}

QIcon ProgramIcon() {
  // Rendered from the SVG at build time; the same pictures are installed
  // into the desktop's icon theme.
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

void UseProgramLook() {
  // Without a class name this also drops the fonts a desktop theme set for
  // menus, tool-tips and title bars.
  QApplication::setFont(ProgramFont());
  QApplication::setWindowIcon(ProgramIcon());
}

}  // namespace kestrova::gui
