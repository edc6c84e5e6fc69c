#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#ifdef KESTROVA_TEST_WINDOWS
#include "gui/ui/program_look.h"
#endif

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
#ifdef KESTROVA_TEST_WINDOWS
  // The desktop's font as a desktop theme would set it before the program
  // starts ("Nimbus Sans,9", ",11": face and points, either left out);
  // then the program's own, as the program sets it.
  const QStringList desktop = QString::fromLocal8Bit(qgetenv("KESTROVA_TEST_DESKTOP_FONT")).split(QLatin1Char(','));
  if (desktop.size() == 2) {
    QFont font = QApplication::font();
    if (!desktop[0].isEmpty()) font.setFamilies({desktop[0]});
    if (!desktop[1].isEmpty()) font.setPointSize(desktop[1].toInt());
    QApplication::setFont(font);
    QApplication::setFont(font, "QLabel");
  }
  kestrova::gui::UseProgramLook();
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
