#pragma once

#include "core/time/ole_date.h"

namespace kestrova::platform {

// The computer's local time, to the second.
class SystemClock : public time::Clock {
 public:
  time::DateTime Now() const override;
  // Without the time zone: a watch ticking every second reads no files.
  std::int64_t Seconds() const override;
};

// A clock that stands still wherever a test puts it.
class FixedClock : public time::Clock {
 public:
  explicit FixedClock(time::DateTime now = {2026, 12, 6, 14, 5, 9}) : now_(now) {}
  time::DateTime Now() const override { return now_; }
  void Set(time::DateTime now) { now_ = now; }

 private:
  time::DateTime now_;
};

}  // namespace kestrova::platform
