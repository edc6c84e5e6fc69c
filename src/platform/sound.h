#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSoundEffect;

namespace kestrova::platform {

// Wave files and the desktop's alert sounds.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts a wave file (on disk, or ":/..." built into the program) and
  // returns at once; false when it cannot be played.
  virtual bool Play(const QString& path) = 0;
  virtual void Stop() = 0;
  // The alert of a message kind: 0/1 default, 2 stop, 3 question,
  // 4 exclamation, 5 information; other kinds are silent.
  virtual void Alert(int kind) = 0;
};

class QtSoundPlayer : public SoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  bool Play(const QString& path) override;
  void Stop() override;
  void Alert(int kind) override;

 private:
  std::unique_ptr<QSoundEffect> effect_;
};

class FakeSoundPlayer : public SoundPlayer {
 public:
  bool Play(const QString& path) override {
    played.append(path);
    playing = true;
    return canPlay;
  }
  void Stop() override { playing = false; }
  void Alert(int kind) override { alerts.append(kind); }
  QStringList played;
  QList<int> alerts;
  bool playing = false;
  bool canPlay = true;
};

}  // namespace kestrova::platform
