// The button's painting: the face in each of its styles, the picture and
// the caption.

#include <QApplication>
#include <QBitmap>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

QColor ToQColor(controls::Rgb c) { return QColor(c.r, c.g, c.b); }

QPixmap Greyed(const QPixmap& source) {
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int g = controls::GreyLevel({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
      line[x] = qRgba(g, g, g, qAlpha(line[x]));
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

void ZelButton::CaptureBackground() {
  QWidget* container = parentWidget();
  if (!container) return;
  // The container's own pixels under the button, without its children.
  background_ = QPixmap(size());
  background_.fill(Qt::transparent);
  container->render(&background_, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
}

void ZelButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const controls::ButtonPalette pal = Palette();
  const QRect client = rect();
  const controls::PixelRect d = controls::DrawingRect(buttonType_, width(), height());
  const bool pressed = drawnPressed_ || (checkBoxBehaviour_ && value_);
  DrawFace(p, pal, QRect(d.x, d.y, d.width, d.height), pressed);
  DrawPicture(p, client, pressed);
  DrawCaption(p, pal, client, pressed);
  if (showFocusRect_ && hasFocus()) {
    QPen pen(ToQColor(hover_ ? pal.hoverText : pal.text));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(client.adjusted(4, 4, -5, -5));
  }
}

void ZelButton::DrawFace(QPainter& p, const controls::ButtonPalette& pal, const QRect& r, bool pressed) const {
  const QColor face = ToQColor(hover_ ? pal.hoverFace : pal.face);
  const QColor pressedFace = ToQColor(pal.pressedFace);
  const QColor shadow = ToQColor(pal.shadow);
  const QColor light = ToQColor(pal.light);
  const QColor highlight = ToQColor(pal.highlight);
  const QColor dark = ToQColor(pal.darkShadow);
  const QColor selection = ToQColor(pal.selection);
  const QColor selectionLight = ToQColor(pal.selectionLight);
  const int x1 = r.left(), y1 = r.top(), x2 = r.right(), y2 = r.bottom();
  const auto bevel = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(x1 + inset, y2 - inset, x1 + inset, y1 + inset);
    p.drawLine(x1 + inset, y1 + inset, x2 - inset, y1 + inset);
    p.setPen(bottomRight);
    p.drawLine(x2 - inset, y1 + inset, x2 - inset, y2 - inset);
    p.drawLine(x2 - inset, y2 - inset, x1 + inset, y2 - inset);
  };
  const auto gradient = [&](const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
  };
  p.setBrush(Qt::NoBrush);
  switch (buttonType_) {
    case 1:  // black frame around a plain bevel
      p.fillRect(r, face);
      p.setPen(dark);
      p.drawRect(r.adjusted(0, 0, -1, -1));
      if (pressed) {
        bevel(1, shadow, face);
      } else {
        bevel(1, highlight, shadow);
        bevel(2, light, shadow);
      }
      break;
    case 3: {  // rounded, with a soft vertical gradient
      p.setRenderHint(QPainter::Antialiasing, true);
      QPainterPath path;
      path.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
      p.fillPath(path, pressed ? QBrush(gradient(pressedFace, face)) : QBrush(gradient(highlight, face)));
      p.setPen(pressed ? dark : shadow);
      p.drawPath(path);
      break;
    }
    case 4:  // metal: flat, a dark outline with a light inner edge
      p.fillRect(r, pressed ? shadow : face);
      p.setPen(shadow);
      p.drawRect(r.adjusted(0, 0, -2, -2));
      p.setPen(highlight);
      p.drawRect(r.adjusted(1, 1, -1, -1));
      break;
    case 5:  // a thin raised edge
      p.fillRect(r, face);
      if (pressed) {
        bevel(0, shadow, highlight);
      } else {
        bevel(0, highlight, shadow);
      }
      break;
    case 6:  // flat with a plain border that takes the selection colour on hover
      p.fillRect(r, pressed ? pressedFace : face);
      p.setPen(hover_ || pressed ? selection : shadow);
      p.drawRect(r.adjusted(0, 0, -1, -1));
      break;
    case 7:  // toolbar: no edge until the mouse comes
      p.fillRect(r, face);
      if (pressed) {
        bevel(0, shadow, highlight);
      } else if (hover_) {
        bevel(0, highlight, shadow);
      }
      break;
    case 8:  // office: the selection colours on hover and press
      if (pressed) {
        p.fillRect(r, selection);
        p.setPen(dark);
        p.drawRect(r.adjusted(0, 0, -1, -1));
      } else if (hover_) {
        p.fillRect(r, selectionLight);
        p.setPen(selection);
        p.drawRect(r.adjusted(0, 0, -1, -1));
      } else {
        p.fillRect(r, face);
      }
      break;
    case 9:  // glossy: light top half, face below
      p.fillRect(r, pressed ? QBrush(gradient(face, highlight)) : QBrush(gradient(highlight, face)));
      p.setPen(hover_ ? selection : shadow);
      p.drawRect(r.adjusted(0, 0, -1, -1));
      break;
    case 10: {  // pill
      p.setRenderHint(QPainter::Antialiasing, true);
      const qreal radius = r.height() / 2.0;
      QPainterPath path;
      path.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
      p.fillPath(path, pressed ? pressedFace : face);
      p.setPen(pressed ? dark : shadow);
      p.drawPath(path);
      break;
    }
    case 11:  // over the container's own picture, an edge only when used
      if (!background_.isNull()) p.drawPixmap(rect(), background_);
      if (pressed) {
        bevel(0, shadow, highlight);
      } else if (hover_) {
        bevel(0, highlight, shadow);
      }
      break;
    case 12:  // deep three-step bevel
      p.fillRect(r, face);
      if (pressed) {
        bevel(0, dark, highlight);
        bevel(1, shadow, light);
        bevel(2, shadow, face);
      } else {
        bevel(0, highlight, dark);
        bevel(1, light, shadow);
        bevel(2, highlight, shadow);
      }
      break;
    case 13:  // a link: no face at all
      if (pressed) p.fillRect(r, selectionLight);
      break;
    case 14: {  // the program's own: framed gradient
      p.fillRect(rect(), face);
      p.setPen(shadow);
      p.drawRect(rect().adjusted(0, 0, -1, -1));
      p.fillRect(r, pressed ? QBrush(gradient(pressedFace, face)) : QBrush(gradient(face, light)));
      p.setPen(pressed ? shadow : highlight);
      p.drawRect(r.adjusted(-1, -1, 0, 0));
      break;
    }
    default:  // 2: the classic raised button
      p.fillRect(r, face);
      if (pressed) {
        bevel(0, dark, highlight);
        bevel(1, shadow, light);
      } else {
        bevel(0, highlight, dark);
        bevel(1, light, shadow);
      }
      break;
  }
}

void ZelButton::DrawPicture(QPainter& p, const QRect& client, bool pressed) const {
  QPixmap picture = hover_ && !pictureOver_.isNull() ? pictureOver_ : pictureNormal_;
  if (picture.isNull()) return;
  if (useMaskColor_) {
    picture.setMask(picture.createMaskFromColor(maskColor_, Qt::MaskInColor));
  }
  if (!isEnabled()) {
    if (useGreyscale_) {
      picture = Greyed(picture);
    } else {
      p.setOpacity(0.45);
    }
  }
  const controls::Pixel at =
      controls::PictureOrigin(client.width(), client.height(), picture.width(), picture.height(), picturePosition_);
  const int shift = pressed ? 1 : 0;
  p.drawPixmap(at.x + shift, at.y + shift, picture);
  p.setOpacity(1.0);
}

void ZelButton::DrawCaption(QPainter& p, const controls::ButtonPalette& pal, const QRect& client, bool pressed) const {
  if (caption_.isEmpty()) return;
  const QPixmap& picture = hover_ && !pictureOver_.isNull() ? pictureOver_ : pictureNormal_;
  const controls::PixelRect a = controls::CaptionArea(client.width(), client.height(), !picture.isNull(),
                                                      picture.width(), picture.height(), picturePosition_);
  QRect area(a.x, a.y, a.width, a.height);
  if (pressed) area.translate(1, 1);
  const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
  p.setFont(font());
  if (!isEnabled()) {
    // Engraved: the highlight one pixel down and right, the shadow on top.
    p.setPen(ToQColor(pal.highlight));
    p.drawText(area.translated(1, 1), flags, caption_);
    p.setPen(ToQColor(pal.shadow));
    p.drawText(area, flags, caption_);
    return;
  }
  QColor text = ToQColor(hover_ ? pal.hoverText : pal.text);
  if (buttonType_ == 13 && hover_) {
    QFont underlined = font();
    underlined.setUnderline(true);
    p.setFont(underlined);
    text = ToQColor(pal.selection);
  }
  switch (specialEffect_) {
    case 1:  // raised
      p.setPen(ToQColor(pal.highlight));
      p.drawText(area.translated(-1, -1), flags, caption_);
      break;
    case 2:  // sunken
      p.setPen(ToQColor(pal.highlight));
      p.drawText(area.translated(1, 1), flags, caption_);
      break;
    case 3:  // shadowed
      p.setPen(ToQColor(pal.shadow));
      p.drawText(area.translated(2, 2), flags, caption_);
      break;
    default: break;
  }
  p.setPen(text);
  p.drawText(area, flags, caption_);
}

}  // namespace kestrova::gui
