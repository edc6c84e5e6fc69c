#include "gui/ui/first_activation.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace kestrova::gui {
namespace {

class ActivationWatch : public QObject {
 public:
  ActivationWatch(QWidget* window, std::function<void()> step) : QObject(window), step_(std::move(step)) {
    window->installEventFilter(this);
    QTimer::singleShot(1000, this, [this] { Run(); });
  }

  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::WindowActivate) QTimer::singleShot(0, this, [this] { Run(); });
    return false;
  }

 private:
  void Run() {
    if (done_) return;
    done_ = true;
    const auto step = step_;
    deleteLater();
    step();
  }

  std::function<void()> step_;
  bool done_ = false;
};

}  // namespace

void WhenFirstActive(QWidget* window, std::function<void()> step) {
  if (window->isActiveWindow()) {
    QTimer::singleShot(0, window, std::move(step));
    return;
  }
  new ActivationWatch(window, std::move(step));
}

}  // namespace kestrova::gui
