#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/network/change_watch.h"
#include "core/reports/data_file.h"
#include "core/reports/report_record.h"
#include "core/status.h"

namespace kestrova::reports {

enum class SortOption { CaseNumber = 1, Entered = 2 };

// The beginning of a report that its row in the list needs, and the
// searches that look only there: its stored bytes from ControlNumber up to
// DateEntered. A kept head is those bytes and the report's ListStatus.
inline constexpr std::size_t kHeadSize = SpanOf("DateEntered").offset + 8;
inline constexpr std::size_t kHeadEntrySize = kHeadSize + 1;

// The heads of every report of a data folder, kept between rebuilds of the
// list. They are valid for the folder's stamp (the change counter and the
// data file's size and time, as the change watch reads them): while it
// stays the same nothing else is read, and when it changes they are all
// read again, since an edit in place may have come with an append: from
// the folder's index when it can be trusted (report_index.h), else from the
// data file, after which the index is offered for the next reader.
class ReportHeads {
 public:
  // Where the last Refresh took the heads from.
  enum class Source { Kept, Index, DataFile };

  Result<Source> Refresh(const std::filesystem::path& folder, const DataFileOptions& options = {});

  std::int32_t count() const { return static_cast<std::int32_t>(entries_.size() / kHeadEntrySize); }
  // The head of report n (from 1): its first kHeadSize stored bytes, at
  // their offsets in the record.
  const char* head(std::int32_t n) const { return entries_.data() + static_cast<std::size_t>(n - 1) * kHeadEntrySize; }
  std::uint8_t status(std::int32_t n) const { return static_cast<std::uint8_t>(head(n)[kHeadSize]); }
  const ListCounts& counts() const { return counts_; }

  // The reports of one list (inactive: ListStatus 2; active: any other) in
  // the order of a sort option (ties in file order), worked out once for
  // the heads as they are.
  const std::vector<std::int32_t>& Order(bool inactive, SortOption sort);

  // Forgets everything: the next Refresh reads again.
  void Clear();
  // Off: the heads always come from the data file and no index is offered
  // (to compare the two).
  void setIndexUse(bool use) { useIndex_ = use; }

 private:
  void Replace(std::vector<char> entries, const std::optional<network::DataStamp>& stamp,
               const std::filesystem::path& folder);

  std::filesystem::path folder_;
  bool useIndex_ = true;
  std::optional<network::DataStamp> stamp_;
  std::vector<char> entries_;
  ListCounts counts_;
  std::optional<std::vector<std::int32_t>> orders_[2][2];  // [inactive][sort - 1]
};

// Case-insensitive order of case numbers, on their stored bytes: the first
// 15 bytes of the trimmed case number folded to lower case, then its length.
struct FoldedCaseNumber {
  std::uint8_t bytes[15] = {};
  std::uint8_t size = 0;
  friend bool operator<(const FoldedCaseNumber& a, const FoldedCaseNumber& b);
};
FoldedCaseNumber FoldCaseNumber(std::string_view trimmed);

// The "Entered" order of a DateEntered value: its "yyyymmddhhnnss" digits
// as a number, -1 for a value that is no date.
std::int64_t EnteredKey(double dateEntered);

}  // namespace kestrova::reports
