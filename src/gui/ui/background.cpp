#include "gui/ui/background.h"

#include <QPainter>
#include <QRandomGenerator>

namespace kestrova::gui {

const QPixmap& BackgroundTile() {
  static const QPixmap tile = [] {
    // A light grain: the same every run, so screenshots compare.
    QImage image(96, 96, QImage::Format_RGB32);
    QRandomGenerator grain(1899);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const int v = 232 + static_cast<int>(grain.bounded(10));
        image.setPixel(x, y, qRgb(v - 4, v - 2, v + 4 > 255 ? 255 : v + 4));
      }
    }
    return QPixmap::fromImage(image);
  }();
  return tile;
}

void TileBackground(QPainter& painter, const QPixmap& image, const QRect& area) {
  if (image.width() <= 0 || image.height() <= 0) return;
  for (int x = area.left(); x <= area.right(); x += image.width()) {
    for (int y = area.top(); y <= area.bottom(); y += image.height()) {
      painter.drawPixmap(x, y, image);
    }
  }
}

}  // namespace kestrova::gui
