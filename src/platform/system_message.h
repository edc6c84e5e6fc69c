#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace kestrova::platform {

// The desktop's own plain message box with the critical-stop icon, for the
// two notices that cannot use the program's message dialog.
class SystemMessage {
 public:
  virtual ~SystemMessage() = default;
  virtual void ShowCritical(const QString& title, const QString& text, QWidget* parent) = 0;
};

class QtSystemMessage : public SystemMessage {
 public:
  void ShowCritical(const QString& title, const QString& text, QWidget* parent) override;
};

class FakeSystemMessage : public SystemMessage {
 public:
  struct Shown {
    QString title;
    QString text;
  };
  void ShowCritical(const QString& title, const QString& text, QWidget*) override { shown.append({title, text}); }
  QList<Shown> shown;
};

}  // namespace kestrova::platform
