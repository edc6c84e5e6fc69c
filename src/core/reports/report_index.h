#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/files/record_file.h"
#include "core/network/change_watch.h"

// "Kestrova.Index": the kept heads of every report (kHeadEntrySize bytes
// each, in record order) in a file beside the data file, so that a
// workstation that has just started builds its list from a few megabytes
// instead of reading every report; over a network share that is the
// difference between a moment and many seconds.
//
// It is only ever a copy. Its header holds the stamp of the data folder it
// was taken from (the data file's size and modification time and the change
// counter) and checksums; it is used only while that stamp is the folder's
// stamp now, so a data file written by anything else (an older program, a
// copy, a restore), a write whose index never followed, or an index cut
// short or half written is never misread.
//
// A modification time is only as fine as its file system keeps it (a
// second over sshfs): a change in the same tick as the one the index
// describes could leave the stamp as it was. So an index is trusted only
// when the file server dated it more than kIndexMargin after the data
// file's last change, and it is written only by a reader that read every
// head after that margin had passed (under the folder's lock, when it is
// free at once). A writer never writes it: written in the same tick as its
// own change it could not be trusted anyway, and a save never waits for it.
// It is never backed up, a restore removes it, and it can be deleted at any
// time.
namespace kestrova::reports {

inline constexpr std::string_view kIndexFileName = "Kestrova.Index";
inline constexpr std::string_view kIndexTempName = "Kestrova.Index.new";
// Coarser than any file system's time keeping we meet (FAT's two seconds).
inline constexpr std::chrono::nanoseconds kIndexMargin = std::chrono::seconds(2);

// The heads the index holds, when it describes the folder as `stamp` (read
// just now) says and can be trusted; nothing when it is missing, stale,
// too young, damaged or not ours.
std::optional<std::vector<char>> ReadIndex(const std::filesystem::path& folder, const network::DataStamp& stamp);

// When a reader read the stamp, before it read the heads: on this
// computer's monotonic clock and its wall clock.
struct ReadMoment {
  std::chrono::steady_clock::time_point steady;
  std::chrono::system_clock::time_point wall;
  static ReadMoment Now() { return {std::chrono::steady_clock::now(), std::chrono::system_clock::now()}; }
};

// After a reader read every head (`entries`) of the folder as `stamp` said
// at `readAt`: writes the index when it can be trusted, that is when the
// folder's lock is free at once, the stamp is still the same, and the file
// server's clock shows the read began more than kIndexMargin after the
// data file's last change. Returns whether it was written; failing changes
// nothing that is trusted.
bool OfferIndex(const std::filesystem::path& folder, const std::vector<char>& entries, const network::DataStamp& stamp,
                const ReadMoment& readAt, const files::LockOptions& lock = {});

}  // namespace kestrova::reports
