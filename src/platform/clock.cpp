#include "platform/clock.h"

#include <QDateTime>

namespace kestrova::platform {

time::DateTime SystemClock::Now() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

}  // namespace kestrova::platform
