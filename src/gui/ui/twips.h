#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QSize>
#include <cmath>

// Lengths in the program's windows are given in twips: 1440 to the inch,
// converted at the screen's logical resolution (15 twips to the pixel at
// 96 dots per inch).
namespace kestrova::gui {

inline double TwipsPerPixel(const QScreen* screen = nullptr) {
  if (!screen) screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
  return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

inline int ToPixels(double twips, const QScreen* screen = nullptr) {
  return static_cast<int>(std::lround(twips / TwipsPerPixel(screen)));
}

inline int ToTwips(double pixels, const QScreen* screen = nullptr) {
  return static_cast<int>(std::lround(pixels * TwipsPerPixel(screen)));
}

// The screen's size in twips.
inline QSize ScreenTwips(const QScreen* screen = nullptr) {
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QSize pixels = screen ? screen->geometry().size() : QSize(1024, 768);
  return {ToTwips(pixels.width(), screen), ToTwips(pixels.height(), screen)};
}

}  // namespace kestrova::gui
