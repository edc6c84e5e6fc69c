#pragma once

#include <QPixmap>
#include <QRect>

class QPainter;

namespace kestrova::gui {

// The soft paper texture every window of the program is tiled with.
const QPixmap& BackgroundTile();

// Paints the image over the area from its top-left corner, in steps of the
// image's own size.
void TileBackground(QPainter& painter, const QPixmap& image, const QRect& area);

}  // namespace kestrova::gui
