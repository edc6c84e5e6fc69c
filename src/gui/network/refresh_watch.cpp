#include "gui/network/refresh_watch.h"

#include <QAction>
#include <QMenu>
#include <cmath>

#include "core/time/ole_date.h"
#include "gui/session/message_dialog.h"
#include "gui/session/own_writes.h"
#include "gui/session/session.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

const QString kRefreshSound = QStringLiteral("RefreshSound");

// "True" in any letter case, as the other switches are read.
bool RefreshSoundOn(Session& session) {
  return session.settings()
             .Read(kRefreshSound)
             .value_or(QString())
             .compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0;
}

}  // namespace

RefreshWatch::RefreshWatch(Session& session, ZelButton* button, std::function<bool()> listed)
    : QObject(button), session_(session), button_(button), listed_(std::move(listed)), timer_(this) {
  // Own writes are remembered as they commit, so they are never announced.
  connect(&session_.ownWrites(), &OwnWrites::WriteCommitted, this,
          [this](const network::DataStamp& stamp) { watch_.Remember(stamp); });
  connect(&session_.ownWrites(), &OwnWrites::WriteStarting, this, [this](const network::DataStamp& stamp) {
    const bool was = watch_.flashing();
    watch_.BeforeOwnWrite(stamp);
    if (watch_.flashing() != was) ShowLook();
  });
  restBack_ = button_->BackOver();
  restFore_ = button_->ForeOver();
  timer_.setObjectName(QStringLiteral("timerConcurrentUserCheck"));
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &RefreshWatch::timerConcurrentUserCheck_Timer);
  timer_.start();
}

void RefreshWatch::RememberNow() {
  if (auto stamp = network::ReadDataStamp(session_.folder().path()); stamp.ok()) watch_.Remember(*stamp);
}

void RefreshWatch::Reset() {
  watch_.Reset();
  ShowLook();
}

void RefreshWatch::timerConcurrentUserCheck_Timer() {
  if (session_.changeWatchPaused()) return;
  // The setting is read only while the button flashes: an idle watch reads
  // nothing but the folder's stamp.
  const bool soundOn = watch_.flashing() && RefreshSoundOn(session_);
  const auto tick = watch_.OnTick(session_.clock().Seconds(), listed_(), soundOn, [this] {
    auto stamp = network::ReadDataStamp(session_.folder().path());
    return stamp.ok() ? std::optional<network::DataStamp>(*stamp) : std::nullopt;
  });
  if (tick.lookChanged) ShowLook();
  if (tick.playSound) session_.sound().Play(QString::fromLatin1(kSound));
}

void RefreshWatch::ShowLook() {
  QColor back = restBack_;
  switch (watch_.look()) {
    case network::RefreshLook::Resting: break;
    case network::RefreshLook::Yellow: back = QColor(255, 255, 0); break;
    case network::RefreshLook::LightRed: back = QColor(255, 128, 128); break;
    case network::RefreshLook::LightGreen: back = QColor(128, 255, 128); break;
  }
  // The hover colour flashes too: a pointer left on the button after the
  // last refresh must not hide the next alert.
  button_->setForeColor(restFore_);
  button_->setBackColor(back);
  button_->setBackOver(back);
  button_->Refresh();
}

void RefreshWatch::ShowSoundMenu(const QPoint& globalPos) {
  const bool on = RefreshSoundOn(session_);
  QMenu menu(button_);
  menu.setObjectName(QStringLiteral("menuRefreshSoundmenu"));
  menu.setTitle(QStringLiteral("Refresh Sounds option"));
  QAction* more = menu.addAction(QStringLiteral("More information about this button..."));
  menu.addSeparator();
  QAction* enable = menu.addAction(QStringLiteral("Enable 'Refresh List' sound notification"));
  QAction* disable = menu.addAction(QStringLiteral("Disable 'Refresh List' sound notification"));
  menu.addSeparator();
  menu.addAction(QStringLiteral("Exit this menu"));
  enable->setEnabled(!on);
  disable->setEnabled(on);
  QAction* chosen = menu.exec(globalPos);
  if (chosen == more) {
    const QString title = session_.applicationTitle();
    ShowNotice(session_, button_->window(), QStringLiteral("The 'Refresh List' button..."),
               QStringLiteral("If the ") + title +
                   QStringLiteral(" database has been\nupdated by some other network user,\nthis button will flash. "
                                  "When you click it,\nthe list of reports displayed on your screen\nwill be updated "
                                  "with the latest information."));
  } else if (chosen == enable) {
    session_.settings().Write(kRefreshSound, QStringLiteral("True"));
  } else if (chosen == disable) {
    session_.settings().Write(kRefreshSound, QStringLiteral("False"));
  }
}

}  // namespace kestrova::gui
