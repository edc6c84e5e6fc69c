#include "core/network/change_watch.h"

#include "core/files/change_counter.h"
#include "core/files/file.h"
#include "core/reports/data_file.h"

namespace kestrova::network {

Result<DataStamp> ReadDataStamp(const std::filesystem::path& folder) {
  DataStamp stamp;
  auto changes = files::ReadChangeCounter(folder);
  if (!changes.ok()) return changes.error();
  stamp.changes = *changes;
  auto file = files::StampOf(folder / reports::kDataFileName);
  if (!file.ok()) return file.error();
  if (*file) {
    stamp.dataFile = true;
    stamp.size = (*file)->size;
    stamp.modified = (*file)->modified;
  }
  return stamp;
}

void ChangeWatch::BeforeOwnWrite(const DataStamp& now) {
  if (remembered_ && now != *remembered_ && !flashing()) look_ = RefreshLook::Yellow;
  remembered_ = now;
}

ChangeWatch::Tick ChangeWatch::OnTick(std::int64_t second, bool reportsListed, bool soundOn,
                                      const std::function<std::optional<DataStamp>()>& readStamp) {
  Tick tick;
  if (flashing()) {
    // One step of the flashing in each second, however many ticks land in it.
    if (second == flashSecond_) return tick;
    flashSecond_ = second;
    look_ = look_ == RefreshLook::LightRed ? RefreshLook::LightGreen : RefreshLook::LightRed;
    tick.lookChanged = true;
    const std::int64_t slot = second / 20;
    // In the first seconds of each slot, once: a tick that misses second
    // 0, 20 or 40 still plays it.
    if (soundOn && second % 20 < 5 && slot != soundSlot_) {
      soundSlot_ = slot;
      tick.playSound = true;
    }
    return tick;
  }
  if (!reportsListed) return tick;
  const std::int64_t slot = second / 5;
  if (slot == lookSlot_) return tick;
  lookSlot_ = slot;
  tick.looked = true;
  const std::optional<DataStamp> now = readStamp();
  if (!now) return tick;  // not readable now: the next slot looks again
  if (!remembered_) {
    remembered_ = now;
    return tick;
  }
  if (*now != *remembered_) {
    remembered_ = now;
    look_ = RefreshLook::Yellow;
    tick.lookChanged = true;
  }
  return tick;
}

}  // namespace kestrova::network
