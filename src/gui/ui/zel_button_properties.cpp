// The button's properties: what a form sets on it, and the property bag
// it is saved to and read back from.

#include <QAccessible>
#include <QVariantMap>

#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

controls::Rgb ToRgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }
QString Lower(const QString& s) { return s.toLower(); }

}  // namespace

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

}  // namespace kestrova::gui
