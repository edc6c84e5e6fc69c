#include "gui/ui/zel_button.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QShortcut>
#include <QShortcutEvent>

#include "gui/ui/zel_button_accessible.h"

namespace kestrova::gui {
namespace {

QColor ToQColor(controls::Rgb c) { return QColor(c.r, c.g, c.b); }

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
