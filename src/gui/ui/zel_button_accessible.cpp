#include "gui/ui/zel_button_accessible.h"

#include "core/controls/button_rules.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className != QLatin1String(ZelButton::staticMetaObject.className())) return nullptr;
  auto* button = qobject_cast<ZelButton*>(object);
  return button ? new ZelButtonAccessible(button) : nullptr;
}

}  // namespace

void InstallZelButtonAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&Factory);
    return true;
  }();
  (void)installed;
}

ZelButtonAccessible::ZelButtonAccessible(ZelButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

ZelButton* ZelButtonAccessible::button() const { return static_cast<ZelButton*>(widget()); }

QAccessible::Role ZelButtonAccessible::role() const {
  return button()->CheckBoxBehaviour() ? QAccessible::CheckBox : QAccessible::Button;
}

QAccessible::State ZelButtonAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  const ZelButton* b = button();
  // A helper button parked outside its window (the message dialog's
  // Escape answer) is not there for the user.
  if (b->isVisible() && b->visibleRegion().isEmpty()) {
    s.invisible = true;
    s.offscreen = true;
  }
  if (b->CheckBoxBehaviour()) {
    s.checkable = true;
    s.checked = b->Value();
  } else {
    s.pressed = b->IsDrawnPressed();
  }
  return s;
}

QString ZelButtonAccessible::text(QAccessible::Text t) const {
  const ZelButton* b = button();
  switch (t) {
    case QAccessible::Name: {
      // A name a window gave on purpose wins over the caption.
      if (!b->accessibleName().isEmpty()) return b->accessibleName();
      return QString::fromStdString(controls::ShownCaption(b->Caption().toStdString())).trimmed();
    }
    case QAccessible::Description:
      if (!b->accessibleDescription().isEmpty()) return b->accessibleDescription();
      // The tool-tips carry blanks at both ends for their look on screen.
      return b->toolTip().trimmed();
    case QAccessible::Accelerator: {
      const auto key = controls::AccessKey(b->Caption().toStdString());
      if (!key) return {};
      return QStringLiteral("Alt+") + QString::fromUcs4(&*key, 1).toUpper();
    }
    default: return QAccessibleWidget::text(t);
  }
}

QStringList ZelButtonAccessible::actionNames() const {
  QStringList names;
  if (widget()->isEnabled()) {
    if (button()->CheckBoxBehaviour()) names << toggleAction();
    names << pressAction();
  }
  return names + QAccessibleWidget::actionNames();
}

void ZelButtonAccessible::doAction(const QString& actionName) {
  if (actionName == pressAction() || actionName == toggleAction()) {
    // After the call returns, as the desktop's own buttons do: a click that
    // opens a modal window would otherwise hold the caller's reply until
    // that window closes.
    QMetaObject::invokeMethod(button(), &ZelButton::PerformClick, Qt::QueuedConnection);
    return;
  }
  QAccessibleWidget::doAction(actionName);
}

QStringList ZelButtonAccessible::keyBindingsForAction(const QString& actionName) const {
  if (actionName == pressAction() || actionName == toggleAction()) {
    const QString key = text(QAccessible::Accelerator);
    if (!key.isEmpty()) return {key};
    return {};
  }
  return QAccessibleWidget::keyBindingsForAction(actionName);
}

}  // namespace kestrova::gui
