#pragma once

#include <filesystem>
#include <string_view>

#include "core/files/file.h"
#include "core/reports/report_record.h"
#include "core/status.h"
#include "core/time/ole_date.h"

// Data files of earlier releases: recognised, converted to the current
// record layout, or set aside.
namespace kestrova::startup {

inline constexpr std::string_view kOldDataFileName = "Kestrova.Old";
inline constexpr std::string_view kOldestDataFileName = "Kestrova.Dat";
inline constexpr std::string_view kOldestSetAsideName = "Kestrova.Dat.Old";

inline constexpr std::size_t kVersion3RecordSize = 15000;
inline constexpr std::size_t kVersion2RecordSize = 10000;

enum class DataFileState {
  Missing,   // no data file
  Empty,     // a data file of length 0
  Current,   // record 1 carries a ProgramVersion from 411 to 498
  Version3,  // 15000-byte records whose first ends in 314
  Version2,  // a length that is a whole multiple of 10000
  Unknown,   // none of these: left alone
};

// What the data file in the folder is.
Result<DataFileState> ClassifyDataFile(const std::filesystem::path& folder);
// What an open data file's bytes are (never Missing).
Result<DataFileState> ClassifyDataFileContents(const files::File& file);

// One record of an older layout as a current report: no control number,
// no reporting person, no case notes or pictures, on the Active List,
// written by this version. Version-2 records have no property either.
reports::ReportRecord ConvertOldRecord(const char* old, DataFileState layout);

// The name a file set aside as `name` gets: `name` itself while no file has
// it, else `name` + "-yyyymmddhhnnss" of `now` (a second later while that
// is taken too). A set-aside never replaces an earlier one.
Result<std::string> FreeSetAsideName(const std::filesystem::path& folder, std::string_view name,
                                     const time::DateTime& now);

// What a conversion or a fresh start did: the reports converted, and where
// an earlier Kestrova.Old went (empty when there was none).
struct SetAsideResult {
  std::int32_t converted = 0;
  std::string earlierCopyKeptAs;
};

// Converts the data file (of the given older layout) through TempFile.$$$
// and keeps the original as Kestrova.Old; an earlier Kestrova.Old is kept
// under a name of its own. The original stays where it was until the
// converted file is complete and on disk; a failure leaves it so.
Result<SetAsideResult> ConvertDataFile(const std::filesystem::path& folder, DataFileState layout,
                                       const time::DateTime& now);

// Removes the data file when it is empty, under the folder's lock: another
// workstation may have created it for the report it is about to write.
// True when it was removed.
Result<bool> RemoveEmptyDataFile(const std::filesystem::path& folder);

// Sets the data file aside as Kestrova.Old (an earlier copy is kept under a
// name of its own), so that the next open starts an empty one.
Result<SetAsideResult> StartOverDataFile(const std::filesystem::path& folder, const time::DateTime& now);

// The oldest release's Kestrova.Dat: an empty one is deleted (true: nothing
// more to do); a non-empty one is left for SetAsideOldestDataFile after the
// notice (false). Also true when there is none.
Result<bool> DeleteEmptyOldestDataFile(const std::filesystem::path& folder);
// Renames Kestrova.Dat to `name` (FreeSetAsideName of Kestrova.Dat.Old, told
// in the notice first); refused when a file has taken that name meanwhile.
Status SetAsideOldestDataFile(const std::filesystem::path& folder, const std::string& name);

}  // namespace kestrova::startup
