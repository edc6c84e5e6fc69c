#include "gui/ui/window_skeleton.h"

#include <QCloseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "gui/session.h"
#include "gui/ui/background.h"
#include "gui/ui/first_activation.h"

namespace kestrova::gui {

WindowSkeleton::WindowSkeleton(Session& session, QWidget* window, Parts parts)
    : QObject(window), session_(session), window_(window), parts_(std::move(parts)) {
  window->installEventFilter(this);
}

void WindowSkeleton::CloseByProgram() {
  byProgram_ = true;
  window_->close();
}

bool WindowSkeleton::eventFilter(QObject*, QEvent* e) {
  switch (e->type()) {
    case QEvent::Paint: {
      if (!parts_.tiled) break;
      QPainter p(window_);
      TileBackground(p, BackgroundTile(), window_->rect());
      break;
    }
    case QEvent::Show:
      if (!shown_ && parts_.firstActivation) {
        if (parts_.atShow) {
          QTimer::singleShot(0, window_, parts_.firstActivation);
        } else {
          WhenFirstActive(window_, parts_.firstActivation);
        }
      }
      shown_ = true;
      break;
    case QEvent::Close:
      if (!parts_.quit) break;
      if (!byProgram_ && !session_.exiting) {
        // The close box asks as Quit does. A confirmed exit closes every
        // window, but this one is closing already and is not closed again:
        // its closing work runs here.
        e->ignore();
        parts_.quit();
        if (!session_.exiting) return true;
      }
      if (!closed_ && parts_.closing) parts_.closing();
      closed_ = true;
      e->accept();
      return true;
    default: break;
  }
  return false;
}

}  // namespace kestrova::gui
