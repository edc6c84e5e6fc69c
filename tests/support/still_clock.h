#pragma once

#include "core/time/ole_date.h"

namespace kestrova::testing {

// A clock for the core's tests, standing wherever the test puts it.
class StillClock : public time::Clock {
 public:
  explicit StillClock(time::DateTime now = {2026, 12, 6, 14, 5, 9}) : now_(now) {}
  time::DateTime Now() const override { return now_; }
  void Set(time::DateTime now) { now_ = now; }

 private:
  time::DateTime now_;
};

}  // namespace kestrova::testing
