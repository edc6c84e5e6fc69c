#include "gui/session/window_skeleton.h"

#include <QAbstractSpinBox>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

#include "gui/session/session.h"
#include "gui/ui/background.h"
#include "gui/ui/first_activation.h"

namespace kestrova::gui {
namespace {

// Alt with a letter is a command's access key or nothing: once the key
// reaches a text box no command took it (its command is hidden or
// disabled), and it does nothing rather than type the letter. AltGr, which
// composes characters, arrives without the Alt modifier or with Control.
class AltKeysNeverType : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(e);
    const Qt::KeyboardModifiers mods = key->modifiers();
    return (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !key->text().isEmpty();
  }
};

// Watches the text boxes of a window; a widget's own filters come after
// the application's, so the access keys of the commands go first.
void KeepAltKeysOutOfText(QWidget* window) {
  static AltKeysNeverType* filter = nullptr;
  if (!filter) filter = new AltKeysNeverType(qApp);
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
        qobject_cast<QAbstractSpinBox*>(w)) {
      w->installEventFilter(filter);
    }
  }
}

// A screen reader meets a plain widget as a nameless "filler": a window of
// ours is a frame (a dialog stays a dialog), named by its title.
QAccessibleInterface* WindowRole(const QString& className, QObject* object) {
  auto* w = qobject_cast<QWidget*>(object);
  if (!w || !w->isWindow() || className != QLatin1String(object->metaObject()->className())) return nullptr;
  if (w->inherits("QDialog") || !w->findChild<WindowSkeleton*>(QString(), Qt::FindDirectChildrenOnly)) return nullptr;
  return new QAccessibleWidget(w, QAccessible::Window);
}

}  // namespace

WindowSkeleton::WindowSkeleton(Session& session, QWidget* window, Parts parts)
    : QObject(window), session_(session), window_(window), parts_(std::move(parts)) {
  static const bool roles = [] {
    QAccessible::installFactory(&WindowRole);
    return true;
  }();
  (void)roles;
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
      if (!shown_) KeepAltKeysOutOfText(window_);
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
