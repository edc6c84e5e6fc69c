#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace kestrova::gui {

class Session;

// What the program's windows share, attached to a window: the tiled
// background, the first-activation work once the window is shown and
// active, and a close box that asks the way the window's Quit does.
class WindowSkeleton : public QObject {
  Q_OBJECT

 public:
  struct Parts {
    bool tiled = true;
    std::function<void()> firstActivation = {};
    // Dialogs do their first work as they are shown: they open over their
    // owner and are active at once.
    bool atShow = false;
    // Set for windows whose close box leads to the exit question.
    std::function<void()> quit = {};
    // The window's own closing work, run once when it really closes.
    std::function<void()> closing = {};
  };
  WindowSkeleton(Session& session, QWidget* window, Parts parts);

  // The program closes the window: no question; the closing work runs.
  void CloseByProgram();
  bool closingByProgram() const { return byProgram_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  Session& session_;
  QWidget* window_;
  Parts parts_;
  bool shown_ = false;
  bool byProgram_ = false;
  bool closed_ = false;
};

}  // namespace kestrova::gui
