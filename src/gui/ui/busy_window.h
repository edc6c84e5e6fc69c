#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace kestrova::gui {

// A window that is busy for a moment: disabled with the hourglass pointer,
// then enabled again with the keyboard focus back where it was (disabling
// a window drops its focus, and the user's next key would go nowhere).
class BusyWindow {
 public:
  explicit BusyWindow(QWidget* window) : window_(window), focus_(QApplication::focusWidget()) {
    window_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~BusyWindow() { End(); }
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

  // Ends early, e.g. before a message is shown.
  void End() {
    if (ended_) return;
    ended_ = true;
    QApplication::restoreOverrideCursor();
    if (window_) window_->setEnabled(true);
    if (focus_ && focus_->isVisible() && focus_->isEnabled() && focus_->window() == window_->window()) {
      focus_->setFocus(Qt::OtherFocusReason);
    }
  }

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> focus_;
  bool ended_ = false;
};

}  // namespace kestrova::gui
