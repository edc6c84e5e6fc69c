#include "platform/sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace kestrova::platform {

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

bool QtSoundPlayer::Play(const QString& path) {
  if (!QFileInfo::exists(path)) return false;
  if (!effect_) effect_ = std::make_unique<QSoundEffect>();
  effect_->stop();
  // A sound built into the program (":/...") or a file on disk; without an
  // audio device the effect stays silent.
  effect_->setSource(path.startsWith(QStringLiteral(":/")) ? QUrl(QStringLiteral("qrc") + path)
                                                           : QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
  effect_->play();
  return true;
}

void QtSoundPlayer::Stop() {
  if (effect_) effect_->stop();
}

void QtSoundPlayer::Alert(int kind) {
  // The desktop offers one alert sound to Qt programs; every kind that has
  // a sound uses it.
  if (kind >= 0 && kind <= 5) QApplication::beep();
}

}  // namespace kestrova::platform
