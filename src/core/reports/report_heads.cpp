#include "core/reports/report_heads.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/reports/report_index.h"
#include "core/search/contains_phrase.h"
#include "core/text/fixed_text.h"
#include "core/time/ole_date.h"

namespace kestrova::reports {
namespace {

constexpr MemberSpan kCaseNumber = SpanOf("CaseNumber");
constexpr std::size_t kDateEntered = SpanOf("DateEntered").offset;

}  // namespace

bool operator<(const FoldedCaseNumber& a, const FoldedCaseNumber& b) {
  const int c = std::memcmp(a.bytes, b.bytes, std::min(a.size, b.size));
  return c != 0 ? c < 0 : a.size < b.size;
}

FoldedCaseNumber FoldCaseNumber(std::string_view trimmed) {
  FoldedCaseNumber key;
  key.size = static_cast<std::uint8_t>(std::min<std::size_t>(trimmed.size(), sizeof key.bytes));
  for (std::size_t i = 0; i < key.size; ++i) key.bytes[i] = search::LowerByte(static_cast<unsigned char>(trimmed[i]));
  return key;
}

std::int64_t EnteredKey(double dateEntered) {
  const auto dt = time::FromOleDate(dateEntered);
  if (!dt) return -1;
  return ((((static_cast<std::int64_t>(dt->year) * 100 + dt->month) * 100 + dt->day) * 100 + dt->hour) * 100 +
          dt->minute) *
             100 +
         dt->second;
}

Result<ReportHeads::Source> ReportHeads::Refresh(const std::filesystem::path& folder, const DataFileOptions& options) {
  // A stamp that cannot be read (a damaged change counter) keeps nothing:
  // the heads are read each time, as they were before they were kept.
  const ReadMoment readAt = ReadMoment::Now();
  auto stamp = network::ReadDataStamp(folder);
  std::optional<network::DataStamp> now;
  if (stamp.ok()) now = *stamp;
  if (now && stamp_ && *stamp_ == *now && folder_ == folder) return Source::Kept;
  if (useIndex_ && now && now->dataFile) {
    if (auto indexed = ReadIndex(folder, *now)) {
      Replace(std::move(*indexed), now, folder);
      return Source::Index;
    }
  }
  std::vector<char> entries;
  if (!now || now->dataFile) {
    entries.reserve(now ? static_cast<std::size_t>(now->size / kReportRecordSize) * kHeadEntrySize : 0);
    Status scanned = ScanRecordHeads(
        folder, kHeadSize,
        [&](std::int32_t, const char* head, const char* tail) {
          entries.insert(entries.end(), head, head + kHeadSize);
          entries.push_back(tail[0]);
          return true;
        },
        options);
    if (!scanned.ok()) {
      Clear();
      return scanned.error();
    }
  }
  Replace(std::move(entries), now, folder);
  if (useIndex_ && now && now->dataFile) (void)OfferIndex(folder, entries_, *now, readAt, options.lock);
  return Source::DataFile;
}

void ReportHeads::Replace(std::vector<char> entries, const std::optional<network::DataStamp>& stamp,
                          const std::filesystem::path& folder) {
  entries.shrink_to_fit();
  entries_ = std::move(entries);
  stamp_ = stamp;
  folder_ = folder;
  counts_ = {};
  for (std::int32_t n = 1; n <= count(); ++n) {
    if (status(n) == kInactiveList) {
      ++counts_.InactiveCount;
    } else {
      ++counts_.ActiveCount;
    }
  }
  for (auto& byList : orders_) {
    for (auto& order : byList) order.reset();
  }
}

void ReportHeads::Clear() { Replace({}, std::nullopt, {}); }

const std::vector<std::int32_t>& ReportHeads::Order(bool inactive, SortOption sort) {
  std::optional<std::vector<std::int32_t>>& cached = orders_[inactive ? 1 : 0][sort == SortOption::Entered ? 1 : 0];
  if (cached) return *cached;
  std::vector<std::int32_t> order;
  order.reserve(static_cast<std::size_t>(inactive ? counts_.InactiveCount : counts_.ActiveCount));
  for (std::int32_t n = 1; n <= count(); ++n) {
    if ((status(n) == kInactiveList) == inactive) order.push_back(n);
  }
  if (sort == SortOption::CaseNumber) {
    std::vector<FoldedCaseNumber> keys(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      keys[i] = FoldCaseNumber(text::TrimStored(head(order[i]) + kCaseNumber.offset, kCaseNumber.width));
    }
    std::vector<std::uint32_t> by(order.size());
    std::iota(by.begin(), by.end(), 0u);
    std::stable_sort(by.begin(), by.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    for (auto& i : by) i = static_cast<std::uint32_t>(order[i]);
    order.assign(by.begin(), by.end());
  } else {
    std::vector<std::pair<std::int64_t, std::int32_t>> keyed(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      double entered = 0;
      std::memcpy(&entered, head(order[i]) + kDateEntered, sizeof entered);
      keyed[i] = {EnteredKey(entered), order[i]};
    }
    // Ties in file order: the record numbers rise within a key.
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].second;
  }
  cached = std::move(order);
  return *cached;
}

}  // namespace kestrova::reports
