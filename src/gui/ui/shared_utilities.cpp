#include "gui/ui/shared_utilities.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include "core/startup/shipped_files.h"
#include "gui/session.h"
#include "gui/ui/message_dialog.h"

namespace kestrova::gui {
namespace {

Qt::Key KeyOfVirtualKey(int vk) {
  if (vk >= 112 && vk <= 135) return static_cast<Qt::Key>(Qt::Key_F1 + (vk - 112));
  if (vk >= 'A' && vk <= 'Z') return static_cast<Qt::Key>(Qt::Key_A + (vk - 'A'));
  if (vk >= '0' && vk <= '9') return static_cast<Qt::Key>(Qt::Key_0 + (vk - '0'));
  switch (vk) {
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    case 32: return Qt::Key_Space;
    case 37: return Qt::Key_Left;
    case 38: return Qt::Key_Up;
    case 39: return Qt::Key_Right;
    case 40: return Qt::Key_Down;
    case 46: return Qt::Key_Delete;
    default: return Qt::Key_unknown;
  }
}

}  // namespace

void OpenAddress(Session& session, int kind, QWidget* owner, const QString& address) {
  QString target;
  if (kind == kAddressEmail) {
    target = QStringLiteral("mailto:") + (address.isEmpty() ? session.makerEmail() : address);
  } else {
    target = QStringLiteral("http://") + (address.isEmpty() ? session.makerWebSite() : address);
  }
  // The answer may come later; the window may be gone by then.
  const QPointer<QWidget> window(owner);
  session.shell().OpenAddress(target, [&session, kind, window](const platform::Shell::Outcome& outcome) {
    if (outcome.opened) return;
    QApplication::processEvents();
    if (kind == kAddressEmail) {
      ShowNotice(session, window, QStringLiteral("No E-mail Program"),
                 QStringLiteral("No e-mail program could be opened for this message.\n\n"
                                "Choose one as the desktop's e-mail program (in its settings\n"
                                "for default or preferred applications) and try again, or set\n"
                                "one in a terminal, for example:\n"
                                "xdg-settings set default-url-scheme-handler mailto thunderbird.desktop\n\n") +
                     outcome.detail,
                 kIconError);
      return;
    }
    ShowNotice(session, window, QStringLiteral("Connection Error"),
               QStringLiteral("An internet connection\ncould not be established."), kIconError);
  });
}

void OpenManual(Session& session, QWidget* owner) {
  const QString title = session.applicationTitle();
  const auto found =
      startup::FindShippedFile(session.programFolder().toStdString(), (title + QStringLiteral(".PDF")).toStdString());
  const QPointer<QWidget> window(owner);
  const auto missing = [&session, title, window] {
    ShowNotice(session, window, QStringLiteral("Can not open ") + title + QStringLiteral(" Manual"),
               QStringLiteral("The ") + title + QStringLiteral(" manual\n") +
                   QStringLiteral("(in PDF format) is either\n") + QStringLiteral("missing or can not be opened..."),
               kIconWarning, QStringLiteral("&Okay") + QStringLiteral(", return to the program"));
  };
  if (!found) {
    missing();
    return;
  }
  session.shell().OpenDocument(QString::fromStdString(found->string()),
                               [missing](const platform::Shell::Outcome& outcome) {
                                 if (!outcome.opened) missing();
                               });
}

void PressKey(int virtualKey) {
  QWidget* target = QApplication::focusWidget();
  if (!target) return;
  const Qt::Key key = KeyOfVirtualKey(virtualKey);
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QApplication::sendEvent(target, &release);
}

QString VersionCaption() {
  return QStringLiteral("Version w%1.%2.%3")
      .arg(KESTROVA_VERSION_MAJOR)
      .arg(KESTROVA_VERSION_MINOR)
      .arg(QString::fromLatin1(KESTROVA_VERSION_STRING).section(QLatin1Char('.'), 2, 2).toInt());
}

}  // namespace kestrova::gui
