#pragma once

#include <chrono>
#include <ctime>

#include "core/time/ole_date.h"

namespace kestrova::cli {

// The computer's local time, to the second.
class LocalClock : public time::Clock {
 public:
  time::DateTime Now() const override {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
  }
};

}  // namespace kestrova::cli
