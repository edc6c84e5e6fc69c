#pragma once

#include <QAccessibleWidget>

namespace kestrova::gui {

class ZelButton;

// What assistive technology (a screen reader, over AT-SPI) learns of the
// program's button: a push button, or a check box where it acts as one,
// named by its caption as shown, described by its tool-tip, with its
// focus, enabled and checked states, and a press action that clicks it.
class ZelButtonAccessible : public QAccessibleWidget {
 public:
  explicit ZelButtonAccessible(ZelButton* button);

  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 private:
  ZelButton* button() const;
};

// Hands out the interface above for every ZelButton; installed once.
void InstallZelButtonAccessibility();

}  // namespace kestrova::gui
