#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "core/controls/flash.h"

namespace kestrova::gui {

class ZelButton;

// Pulses one button's colours to draw the eye to the next step. Each window
// that pulses a button owns one of these; its family says which colours.
class ButtonFlasher : public QObject {
  Q_OBJECT

 public:
  enum class Family { Title, Admin, Search, Main };

  ButtonFlasher(Family family, QObject* parent = nullptr);

  // Starts pulsing the button: the first tick after firstInterval, then
  // every interval.
  void Start(ZelButton* target, int firstIntervalMs, int intervalMs);
  // Stops the pulse and gives the button its hover colours as its normal
  // ones, so it rests in its own look.
  void Stop();
  // The marked button and the timer are separate: a tick while no button
  // is marked does nothing.
  void SetTarget(ZelButton* target) { target_ = target; }
  void ClearTarget() { target_ = nullptr; }
  void StartTimer(int intervalMs);
  void StopTimer() { timer_.stop(); }

  ZelButton* target() const { return target_; }
  bool IsRunning() const { return timer_.isActive(); }
  int Interval() const { return timer_.interval(); }
  const controls::FlashLevels& levels() const { return levels_; }
  void Tick();

  // The resting look of a button: its hover colours.
  static void Rest(ZelButton* button);

 private:
  Family family_;
  QTimer timer_;
  int interval_ = 15;
  controls::FlashLevels levels_;
  QPointer<ZelButton> target_;
};

}  // namespace kestrova::gui
