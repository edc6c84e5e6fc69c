#pragma once

#include <filesystem>
#include <string_view>

#include "core/reports/report_record.h"
#include "core/status.h"

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

// One record of an older layout as a current report: no control number,
// no reporting person, no case notes or pictures, on the Active List,
// written by this version. Version-2 records have no property either.
reports::ReportRecord ConvertOldRecord(const char* old, DataFileState layout);

// Converts the data file (of the given older layout) through TempFile.$$$
// and keeps the original as Kestrova.Old. The original stays where it was
// until the converted file is complete and on disk; a failure leaves it so.
// Returns how many reports were converted.
Result<std::int32_t> ConvertDataFile(const std::filesystem::path& folder, DataFileState layout);

// Removes the data file when it is empty, under the folder's lock: another
// workstation may have created it for the report it is about to write.
// True when it was removed.
Result<bool> RemoveEmptyDataFile(const std::filesystem::path& folder);

// Sets the data file aside as Kestrova.Old (replacing an older copy), so
// that the next open starts an empty one.
Status StartOverDataFile(const std::filesystem::path& folder);

// The oldest release's Kestrova.Dat: an empty one is deleted (true: nothing
// more to do); a non-empty one is left for SetAsideOldestDataFile after the
// notice (false). Also true when there is none.
Result<bool> DeleteEmptyOldestDataFile(const std::filesystem::path& folder);
Status SetAsideOldestDataFile(const std::filesystem::path& folder);

}  // namespace kestrova::startup
