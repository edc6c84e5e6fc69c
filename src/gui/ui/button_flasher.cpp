#include "gui/ui/button_flasher.h"

#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

QColor ToQColor(controls::Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

ButtonFlasher::ButtonFlasher(Family family, QObject* parent) : QObject(parent), family_(family) {
  setObjectName(QStringLiteral("flasher"));
  connect(&timer_, &QTimer::timeout, this, &ButtonFlasher::Tick);
}

void ButtonFlasher::Start(ZelButton* target, int firstIntervalMs, int intervalMs) {
  target_ = target;
  interval_ = intervalMs;
  timer_.start(firstIntervalMs);
}

void ButtonFlasher::StartTimer(int intervalMs) {
  interval_ = intervalMs;
  if (!timer_.isActive()) timer_.start(intervalMs);
}

void ButtonFlasher::Stop() {
  timer_.stop();
  Rest(target_);
  target_ = nullptr;
}

void ButtonFlasher::Rest(ZelButton* button) {
  if (!button) return;
  button->setForeColor(button->ForeOver());
  button->setBackColor(button->BackOver());
}

void ButtonFlasher::Tick() {
  if (timer_.interval() != interval_) timer_.setInterval(interval_);
  if (!target_) return;
  levels_.Tick(family_ == Family::Main ? 2 : 8);
  const QColor over = target_->BackOver();
  const controls::Rgb backOver{over.red(), over.green(), over.blue()};
  std::optional<controls::FlashColours> colours;
  switch (family_) {
    case Family::Title: colours = controls::TitleFlashColours(backOver, levels_); break;
    case Family::Admin: colours = controls::AdminFlashColours(backOver, levels_); break;
    case Family::Search: colours = controls::SearchFlashColours(levels_); break;
    case Family::Main:
      // Back (0, b, b), fore (0, a, b).
      colours = controls::FlashColours{{0, levels_.b, levels_.b}, {0, levels_.a, levels_.b}};
      break;
  }
  if (!colours) return;
  target_->setBackColor(ToQColor(colours->back));
  target_->setForeColor(ToQColor(colours->fore));
}

}  // namespace kestrova::gui
