#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/status.h"

// How a workstation notices that another one changed the reports.
namespace kestrova::network {

// What the data folder looks like to the watch: the change counter (read by
// content: a network share caches file dates and sizes for seconds, not
// contents) and the data file's size and modification time (which still
// show writers that do not bump the counter). No data file is a stamp too.
struct DataStamp {
  std::uint64_t changes = 0;
  bool dataFile = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds of the file's modification time

  friend bool operator==(const DataStamp&, const DataStamp&) = default;
};

Result<DataStamp> ReadDataStamp(const std::filesystem::path& folder);

// The refresh button: resting; yellow for a change just seen; then light
// red and light green in turn each second until the user refreshes.
enum class RefreshLook { Resting, Yellow, LightRed, LightGreen };

// The main window's one-second check. The stamp is looked at once in each
// five-second slot while the list shows reports and the button rests; the
// sound plays in the slots that start at seconds 0, 20 and 40 while it
// flashes, at most once in each, however the ticks drift.
class ChangeWatch {
 public:
  // The stamp this workstation knows: at the first look, and after each of
  // its own writes (taken while its lock was still held, so a write from
  // elsewhere is never taken for its own).
  void Remember(const DataStamp& stamp) { remembered_ = stamp; }
  const std::optional<DataStamp>& remembered() const { return remembered_; }
  // Just before one of its own writes, with its lock held: a stamp that
  // differs from the remembered one is another workstation's change since
  // the last look, announced now rather than swallowed by the write.
  void BeforeOwnWrite(const DataStamp& now);

  RefreshLook look() const { return look_; }
  bool flashing() const { return look_ != RefreshLook::Resting; }
  void Reset() { look_ = RefreshLook::Resting; }

  struct Tick {
    bool lookChanged = false;
    bool playSound = false;
    bool looked = false;  // the stamp was read
  };
  // `second` counts seconds from any fixed moment (the local clock).
  Tick OnTick(std::int64_t second, bool reportsListed, bool soundOn,
              const std::function<std::optional<DataStamp>()>& readStamp);

 private:
  std::optional<DataStamp> remembered_;
  RefreshLook look_ = RefreshLook::Resting;
  std::int64_t lookSlot_ = -1;
  std::int64_t soundSlot_ = -1;
  std::int64_t flashSecond_ = -1;
};

}  // namespace kestrova::network
