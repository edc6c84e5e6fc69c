#pragma once

#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kestrova::gui {

// Room kept for a window's frame before the window manager says how large
// it is: a title bar, and a border on each side.
inline constexpr int kFrameRoomWidth = 10;
inline constexpr int kFrameRoomHeight = 40;

// The size a window opens at: what it asks for, no more than its screen's
// available area holds with a frame, and no less than its layout needs
// (a window whose layout needs more scrolls, or stands partly off screen).
inline QSize WithinScreen(const QWidget* window, QSize wanted) {
  const QScreen* screen = window->screen();
  const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
  return {std::max(least.width(), std::min(wanted.width(), room.width() - kFrameRoomWidth)),
          std::max(least.height(), std::min(wanted.height(), room.height() - kFrameRoomHeight))};
}

}  // namespace kestrova::gui
