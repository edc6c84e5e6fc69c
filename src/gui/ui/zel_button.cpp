#include "gui/ui/zel_button.h"

#include <QAccessible>
#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QShortcutEvent>

#include "gui/ui/zel_button_accessible.h"

namespace kestrova::gui {
namespace {

QColor ToQColor(controls::Rgb c) { return QColor(c.r, c.g, c.b); }
controls::Rgb ToRgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }

int MouseButtonNumber(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return ZelButton::kLeftButton;
    case Qt::RightButton: return ZelButton::kRightButton;
    case Qt::MiddleButton: return ZelButton::kMiddleButton;
    default: return 0;
  }
}

int MouseButtonsNumber(Qt::MouseButtons b) {
  int n = 0;
  if (b & Qt::LeftButton) n |= ZelButton::kLeftButton;
  if (b & Qt::RightButton) n |= ZelButton::kRightButton;
  if (b & Qt::MiddleButton) n |= ZelButton::kMiddleButton;
  return n;
}

int ShiftNumber(Qt::KeyboardModifiers m) {
  int n = 0;
  if (m & Qt::ShiftModifier) n |= 1;
  if (m & Qt::ControlModifier) n |= 2;
  if (m & Qt::AltModifier) n |= 4;
  return n;
}

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

QString Lower(const QString& s) { return s.toLower(); }

}  // namespace

QColor ColorFromNumber(quint32 number) { return ToQColor(controls::FromColorNumber(number)); }

ZelButton* MakeCommandButton(QWidget* parent, const QString& objectName, const QColor& face, const QColor& text) {
  auto* b = new ZelButton(parent);
  b->setObjectName(objectName);
  b->setButtonType(14);
  b->setColorScheme(2);
  b->setBackColor(face);
  b->setBackOver(face);
  b->setForeColor(text);
  b->setForeOver(text);
  return b;
}

ZelButton::ZelButton(QWidget* parent) : QWidget(parent) {
  InstallZelButtonAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  backColor_ = palette().color(QPalette::Active, QPalette::Button);
  backOver_ = backColor_;
  foreColor_ = palette().color(QPalette::Active, QPalette::ButtonText);
  foreOver_ = foreColor_;
  overTimer_.setInterval(9);
  connect(&overTimer_, &QTimer::timeout, this, &ZelButton::OverTimer_Timer);
}

ZelButton::~ZelButton() = default;

QSize ZelButton::sizeHint() const {
  const QFontMetrics fm(font());
  QString shown = caption_;
  shown.remove(QLatin1Char('&'));
  return {fm.horizontalAdvance(shown) + 24, fm.height() + 14};
}

void ZelButton::setButtonType(int type) {
  buttonType_ = type;
  UpdateRegion();
  if (type == 11 && shown_) CaptureBackground();
  Redraw(drawnPressed_, true);
}

void ZelButton::setCaption(const QString& caption) {
  caption_ = caption;
  if (QAccessible::isActive()) {
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
  }
  UpdateShortcut();
  updateGeometry();
  Redraw(drawnPressed_, true);
}

void ZelButton::setColorScheme(int scheme) {
  colorScheme_ = scheme;
  Redraw(drawnPressed_, true);
}
void ZelButton::setShowFocusRect(bool show) {
  showFocusRect_ = show;
  Redraw(drawnPressed_, true);
}
void ZelButton::setBackColor(const QColor& color) {
  backColor_ = color;
  Redraw(drawnPressed_, true);
}
void ZelButton::setBackOver(const QColor& color) {
  backOver_ = color;
  Redraw(drawnPressed_, true);
}
void ZelButton::setForeColor(const QColor& color) {
  foreColor_ = color;
  Redraw(drawnPressed_, true);
}
void ZelButton::setForeOver(const QColor& color) {
  foreOver_ = color;
  Redraw(drawnPressed_, true);
}
void ZelButton::setMaskColor(const QColor& color) {
  maskColor_ = color;
  Redraw(drawnPressed_, true);
}
void ZelButton::setMousePointer(int pointer) {
  mousePointer_ = pointer;
  UpdateCursor();
}
void ZelButton::setMouseIcon(const QPixmap& icon) {
  mouseIcon_ = icon;
  UpdateCursor();
}
void ZelButton::setPictureNormal(const QPixmap& picture) {
  pictureNormal_ = picture;
  Redraw(drawnPressed_, true);
}
void ZelButton::setPictureOver(const QPixmap& picture) {
  pictureOver_ = picture;
  Redraw(drawnPressed_, true);
}
void ZelButton::setUseMaskColor(bool use) {
  useMaskColor_ = use;
  Redraw(drawnPressed_, true);
}
void ZelButton::setSoftBevel(bool soft) {
  softBevel_ = soft;
  Redraw(drawnPressed_, true);
}
void ZelButton::setPicturePosition(int position) {
  picturePosition_ = position;
  Redraw(drawnPressed_, true);
}
void ZelButton::setUseGreyscale(bool use) {
  useGreyscale_ = use;
  Redraw(drawnPressed_, true);
}
void ZelButton::setSpecialEffect(int effect) {
  specialEffect_ = effect;
  Redraw(drawnPressed_, true);
}
void ZelButton::setCheckBoxBehaviour(bool on) {
  checkBoxBehaviour_ = on;
  Redraw(drawnPressed_, true);
}
void ZelButton::setValue(bool value) {
  const bool changed = value_ != value;
  value_ = value;
  if (changed) ValueChanged();
  Redraw(false, true);
}

void ZelButton::ValueChanged() {
  if (!QAccessible::isActive()) return;
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(this, changed);
  QAccessible::updateAccessibility(&event);
}

void ZelButton::Refresh() { repaint(); }

void ZelButton::ReadProperties(const QVariantMap& bag) {
  QVariantMap lower;
  for (auto it = bag.begin(); it != bag.end(); ++it) lower.insert(Lower(it.key()), it.value());
  const auto value = [&](const char* key, const QVariant& fallback) {
    const auto it = lower.find(QString::fromLatin1(key));
    return it == lower.end() ? fallback : *it;
  };
  const auto colour = [&](const char* key, const QColor& fallback) {
    const QVariant v = value(key, QVariant());
    if (!v.isValid()) return fallback;
    if (v.canConvert<QColor>() && v.typeId() == QMetaType::QColor) return v.value<QColor>();
    return ColorFromNumber(v.toUInt());
  };
  const auto picture = [&](const char* key) {
    const QVariant v = value(key, QVariant());
    if (v.typeId() == QMetaType::QPixmap) return v.value<QPixmap>();
    if (v.typeId() == QMetaType::QString) return QPixmap(v.toString());
    return QPixmap();
  };
  const QColor face = palette().color(QPalette::Active, QPalette::Button);
  const QColor text = palette().color(QPalette::Active, QPalette::ButtonText);
  buttonType_ = value("btype", 2).toInt();
  caption_ = value("tx", QString()).toString();
  setEnabled(value("enab", true).toBool());
  const QVariant f = value("font", QVariant());
  if (f.typeId() == QMetaType::QFont) setFont(f.value<QFont>());
  colorScheme_ = value("coltype", 1).toInt();
  showFocusRect_ = value("focusr", true).toBool();
  backColor_ = colour("bcol", face);
  backOver_ = colour("bcolo", backColor_);
  foreColor_ = colour("fcol", text);
  foreOver_ = colour("fcolo", foreColor_);
  maskColor_ = colour("mcol", ColorFromNumber(12632256));
  mousePointer_ = value("mptr", 0).toInt();
  mouseIcon_ = picture("micon");
  pictureNormal_ = picture("picn");
  pictureOver_ = picture("pich");
  useMaskColor_ = value("umcol", true).toBool();
  softBevel_ = value("soft", false).toBool();
  picturePosition_ = value("picpos", 0).toInt();
  useGreyscale_ = value("ngrey", false).toBool();
  specialEffect_ = value("fx", 0).toInt();
  checkBoxBehaviour_ = value("check", false).toBool();
  value_ = value("value", false).toBool();
  UpdateShortcut();
  UpdateCursor();
  UpdateRegion();
  Redraw(false, true);
}

QVariantMap ZelButton::WriteProperties() const {
  QVariantMap bag;
  const QColor face = palette().color(QPalette::Active, QPalette::Button);
  const QColor text = palette().color(QPalette::Active, QPalette::ButtonText);
  const auto number = [](const QColor& c) { return QVariant::fromValue(controls::ToColorNumber(ToRgb(c))); };
  if (buttonType_ != 2) bag.insert(QStringLiteral("btype"), buttonType_);
  if (!caption_.isEmpty()) bag.insert(QStringLiteral("tx"), caption_);
  if (!isEnabled()) bag.insert(QStringLiteral("enab"), false);
  if (colorScheme_ != 1) bag.insert(QStringLiteral("coltype"), colorScheme_);
  if (!showFocusRect_) bag.insert(QStringLiteral("focusr"), false);
  if (backColor_ != face) bag.insert(QStringLiteral("bcol"), number(backColor_));
  if (backOver_ != backColor_) bag.insert(QStringLiteral("bcolo"), number(backOver_));
  if (foreColor_ != text) bag.insert(QStringLiteral("fcol"), number(foreColor_));
  if (foreOver_ != foreColor_) bag.insert(QStringLiteral("fcolo"), number(foreOver_));
  if (maskColor_ != ColorFromNumber(12632256)) bag.insert(QStringLiteral("mcol"), number(maskColor_));
  if (mousePointer_ != 0) bag.insert(QStringLiteral("mptr"), mousePointer_);
  if (!mouseIcon_.isNull()) bag.insert(QStringLiteral("micon"), mouseIcon_);
  if (!pictureNormal_.isNull()) bag.insert(QStringLiteral("picn"), pictureNormal_);
  if (!pictureOver_.isNull()) bag.insert(QStringLiteral("pich"), pictureOver_);
  if (!useMaskColor_) bag.insert(QStringLiteral("umcol"), false);
  if (softBevel_) bag.insert(QStringLiteral("soft"), true);
  if (picturePosition_ != 0) bag.insert(QStringLiteral("picpos"), picturePosition_);
  if (useGreyscale_) bag.insert(QStringLiteral("ngrey"), true);
  if (specialEffect_ != 0) bag.insert(QStringLiteral("fx"), specialEffect_);
  if (checkBoxBehaviour_) bag.insert(QStringLiteral("check"), true);
  if (value_) bag.insert(QStringLiteral("value"), true);
  return bag;
}

controls::ButtonPalette ZelButton::Palette() const {
  controls::PaletteInput in;
  in.scheme = colorScheme_;
  in.buttonType = buttonType_;
  in.softBevel = softBevel_;
  // While hovered, scheme 2 derives the whole drawing from BackOver. A
  // disabled button rests in it too: a pulse caught at its darkest would
  // leave its engraved caption unreadable.
  in.back = ToRgb((colorScheme_ == 2 && hover_) || !isEnabled() ? backOver_ : backColor_);
  in.backOver = ToRgb(backOver_);
  in.fore = ToRgb(foreColor_);
  in.foreOver = ToRgb(foreOver_);
  in.mask = ToRgb(maskColor_);
  const QPalette& sys = palette();
  in.system.face = ToRgb(sys.color(QPalette::Active, QPalette::Button));
  in.system.text = ToRgb(sys.color(QPalette::Active, QPalette::ButtonText));
  in.system.shadow = ToRgb(sys.color(QPalette::Active, QPalette::Dark));
  in.system.light = ToRgb(sys.color(QPalette::Active, QPalette::Midlight));
  in.system.highlight = ToRgb(sys.color(QPalette::Active, QPalette::Light));
  in.system.darkShadow = ToRgb(sys.color(QPalette::Active, QPalette::Shadow));
  in.system.selection = ToRgb(sys.color(QPalette::Active, QPalette::Highlight));
  const QPalette parentPalette = parentWidget() ? parentWidget()->palette() : sys;
  in.parentBack = ToRgb(parentPalette.color(QPalette::Active, QPalette::Window));
  in.parentText = ToRgb(parentPalette.color(QPalette::Active, QPalette::WindowText));
  return controls::ComputePalette(in);
}

void ZelButton::PerformClick() {
  if (!isEnabled()) return;
  lastMouseButton_ = kLeftButton;
  ClickAction();
}

void ZelButton::ClickAction() {
  if (lastMouseButton_ != kLeftButton || !isEnabled()) return;
  if (checkBoxBehaviour_) {
    value_ = !value_;
    ValueChanged();
  }
  Redraw(false, true);
  Refresh();
  emit Click();
}

void ZelButton::Redraw(bool pressed, bool force) {
  if (checkBoxBehaviour_ && value_) pressed = true;
  if (!force && drawnOnce_ && pressed == drawnPressed_ && caption_ == drawnCaption_) return;
  drawnPressed_ = pressed;
  if (!shown_) return;
  drawnOnce_ = true;
  drawnCaption_ = caption_;
  update();
}

bool ZelButton::CursorOverMe() const {
  if (cursorProbe_) return cursorProbe_();
  return QApplication::widgetAt(QCursor::pos()) == this;
}

void ZelButton::OverTimer_Timer() {
  if (CursorOverMe()) return;
  overTimer_.stop();
  hover_ = false;
  Redraw(false, true);
  emit MouseOut();
}

bool ZelButton::event(QEvent* e) {
  if (e->type() == QEvent::ToolTipChange && QAccessible::isActive()) {
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
  }
  if (e->type() == QEvent::ShortcutOverride) {
    // A focused button takes Enter for itself, as desktop buttons do, before
    // the window's default button would.
    const int key = static_cast<QKeyEvent*>(e)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && isEnabled()) {
      e->accept();
      return true;
    }
  }
  if (e->type() == QEvent::Shortcut) {
    auto* shortcut = static_cast<QShortcutEvent*>(e);
    if (shortcut->shortcutId() == shortcutId_) {
      PerformClick();
      return true;
    }
  }
  return QWidget::event(e);
}

void ZelButton::mousePressEvent(QMouseEvent* e) {
  const int button = MouseButtonNumber(e->button());
  const QPoint pos = e->position().toPoint();
  emit MouseDown(button, ShiftNumber(e->modifiers()), pos.x(), pos.y());
  lastMouseButton_ = button;
  if (button != kRightButton) Redraw(true);
}

void ZelButton::mouseDoubleClickEvent(QMouseEvent* e) {
  // A second click in quick succession is another press, so that a double
  // click clicks twice.
  if (e->button() == Qt::LeftButton) {
    mousePressEvent(e);
    grabMouse();
  }
}

void ZelButton::mouseReleaseEvent(QMouseEvent* e) {
  if (mouseGrabber() == this) releaseMouse();
  const int button = MouseButtonNumber(e->button());
  const QPoint pos = e->position().toPoint();
  emit MouseUp(button, ShiftNumber(e->modifiers()), pos.x(), pos.y());
  if (button != kRightButton) Redraw(false);
  if (button == kLeftButton && rect().contains(pos)) ClickAction();
}

void ZelButton::mouseMoveEvent(QMouseEvent* e) {
  const int buttons = MouseButtonsNumber(e->buttons());
  const QPoint pos = e->position().toPoint();
  emit MouseMove(buttons, ShiftNumber(e->modifiers()), pos.x(), pos.y());
  if (buttons != 0 && buttons != kLeftButton) return;
  if (CursorOverMe()) {
    if (!overTimer_.isActive()) emit MouseIn();
    if (buttons == 0 && !hover_) {
      overTimer_.start();
      hover_ = true;
      Redraw(false, true);
      emit MouseOver();
    }
    if (buttons == kLeftButton) Redraw(true);
  } else {
    Redraw(false);
  }
}

void ZelButton::keyPressEvent(QKeyEvent* e) {
  emit KeyDown(e->key(), ShiftNumber(e->modifiers()));
  if (!e->text().isEmpty()) emit KeyPress(e->text().at(0).unicode());
  if (e->isAutoRepeat()) return;
  lastKey_ = e->key();
  if (e->key() == Qt::Key_Space) {
    Redraw(true);
    return;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    PerformClick();
    return;
  }
  QWidget::keyPressEvent(e);
}

void ZelButton::keyReleaseEvent(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;
  emit KeyUp(e->key(), ShiftNumber(e->modifiers()));
  if (e->key() == Qt::Key_Space && lastKey_ == Qt::Key_Space) {
    lastKey_ = 0;
    if (!isEnabled()) return;
    if (checkBoxBehaviour_) {
      value_ = !value_;
      ValueChanged();
    }
    Redraw(false, true);
    Refresh();
    emit Click();
    return;
  }
  QWidget::keyReleaseEvent(e);
}

void ZelButton::focusInEvent(QFocusEvent* e) {
  hasFocus_ = true;
  Redraw(drawnPressed_, true);
  QWidget::focusInEvent(e);
}

void ZelButton::focusOutEvent(QFocusEvent* e) {
  hasFocus_ = false;
  if (lastKey_ == Qt::Key_Space) lastKey_ = 0;
  Redraw(false, true);
  QWidget::focusOutEvent(e);
}

void ZelButton::resizeEvent(QResizeEvent* e) {
  UpdateRegion();
  QWidget::resizeEvent(e);
}

void ZelButton::showEvent(QShowEvent* e) {
  shown_ = true;
  if (buttonType_ == 11) CaptureBackground();
  Redraw(drawnPressed_, true);
  QWidget::showEvent(e);
}

void ZelButton::changeEvent(QEvent* e) {
  switch (e->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange: Redraw(drawnPressed_, true); break;
    default: break;
  }
  QWidget::changeEvent(e);
}

void ZelButton::UpdateShortcut() {
  if (shortcutId_ != 0) releaseShortcut(shortcutId_);
  shortcutId_ = 0;
  const auto key = controls::AccessKey(caption_.toStdString());
  if (!key) return;
  const QString letter = QString::fromUcs4(&*key, 1);
  shortcutId_ = grabShortcut(QKeySequence::mnemonic(QStringLiteral("&") + letter));
}

void ZelButton::UpdateRegion() {
  const auto cut = controls::RegionCutPixels(buttonType_, width(), height());
  if (cut.empty()) {
    clearMask();
    return;
  }
  QRegion region(rect());
  for (const controls::Pixel& p : cut) region -= QRegion(p.x, p.y, 1, 1);
  setMask(region);
}

void ZelButton::UpdateCursor() {
  switch (mousePointer_) {
    case 0: unsetCursor(); break;
    case 1: setCursor(Qt::ArrowCursor); break;
    case 2: setCursor(Qt::CrossCursor); break;
    case 3: setCursor(Qt::IBeamCursor); break;
    case 11: setCursor(Qt::WaitCursor); break;
    case 12: setCursor(Qt::ForbiddenCursor); break;
    case 99:
      if (!mouseIcon_.isNull()) {
        setCursor(QCursor(mouseIcon_));
      } else {
        unsetCursor();
      }
      break;
    default: setCursor(Qt::PointingHandCursor); break;
  }
}

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

namespace {

void Mark(QWidget* window, ZelButton* button, const char* name, QKeySequence key, QKeySequence second = {}) {
  if (!window) return;
  const QString objectName = QString::fromLatin1(name);
  for (QShortcut* old : window->findChildren<QShortcut*>(objectName, Qt::FindDirectChildrenOnly)) {
    delete old;
  }
  if (!button) return;
  for (const QKeySequence& k : {key, second}) {
    if (k.isEmpty()) continue;
    auto* shortcut = new QShortcut(k, window);
    shortcut->setObjectName(objectName);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, &ZelButton::PerformClick);
  }
}

// Watches the keys of one window: Alt + a letter that a visible, usable
// command button of the window has as its access key clicks that button.
class AccessKeyPriority : public QObject {
 public:
  explicit AccessKeyPriority(QWidget* window) : QObject(window), window_(window) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress) return false;
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != window_) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier || key->isAutoRepeat()) return false;
    if (key->key() < Qt::Key_0 || key->key() > Qt::Key_Z) return false;
    const QChar letter = QChar(key->key()).toLower();
    for (ZelButton* b : window_->findChildren<ZelButton*>()) {
      if (!b->isVisible() || !b->isEnabled()) continue;
      const auto access = controls::AccessKey(b->Caption().toStdString());
      if (!access || QString::fromUcs4(&*access, 1) != letter) continue;
      e->accept();
      if (e->type() == QEvent::KeyPress) b->PerformClick();
      return true;
    }
    return false;
  }

 private:
  QWidget* window_;
};

}  // namespace

void GiveButtonsAccessKeyPriority(QWidget* window) { new AccessKeyPriority(window); }

void SetDefaultButton(QWidget* window, ZelButton* button) {
  Mark(window, button, "defaultButtonKey", QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter));
}

void SetCancelButton(QWidget* window, ZelButton* button) {
  Mark(window, button, "cancelButtonKey", QKeySequence(Qt::Key_Escape));
}

}  // namespace kestrova::gui
