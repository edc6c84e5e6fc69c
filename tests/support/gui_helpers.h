#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui/session/session.h"
#include "gui/ui/button_flasher.h"

namespace kestrova::testing {

// The visible top-level window of a type, or null.
template <class T>
T* FindWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
  }
  return nullptr;
}

// Runs the step on the next modal window of type T once it is active (for
// windows opened with exec()).
template <class T>
void WhenModalOpens(std::function<void(T*)> step) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  auto tries = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, step, tries] {
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if ((!w || !w->isActiveWindow()) && ++*tries < 400) return;
    poll->stop();
    poll->deleteLater();
    if (!w) {
      ADD_FAILURE() << "the modal window did not open";
      return;
    }
    step(w);
  });
  poll->start();
}

// A real click on a button, as the user makes it: the button must be there
// to be clicked.
inline void Click(QWidget* button, Qt::MouseButton which = Qt::LeftButton) {
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isVisible() && button->isEnabled()) << button->objectName().toStdString() << " cannot be clicked";
  QTest::mouseClick(button, which);
}
inline void Click(QWidget* window, const char* name) { Click(window->findChild<QWidget*>(QString::fromLatin1(name))); }
inline void RightClick(QWidget* window, const char* name) {
  Click(window->findChild<QWidget*>(QString::fromLatin1(name)), Qt::RightButton);
}

// The window shown and made the active one, as the desktop does when the
// user brings it up; returns once its first activation has run (the window
// runs it just after the activation, or just after a dialog is shown).
inline void Activate(QWidget* window) {
  window->show();
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(window));
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// A window's button flasher, found as any of its parts.
inline gui::ButtonFlasher& FlasherOf(const QObject* window) {
  return *window->findChild<gui::ButtonFlasher*>(QStringLiteral("flasher"));
}

// The calendar of a date picker dropped down and closed again, keeping
// the date it shows.
template <typename Picker>
inline void DropAndCloseCalendar(Picker* picker) {
  ASSERT_NE(picker, nullptr);
  picker->ShowCalendar();
  QCoreApplication::processEvents();
  picker->calendar()->hide();
  QCoreApplication::processEvents();
}

// Closes every window the way the program does on its way out, and lets
// them be deleted, so the next test starts with none.
inline void CloseAllWindows(gui::Session& session) {
  session.exiting = true;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible()) w->close();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  session.exiting = false;
}

}  // namespace kestrova::testing
