#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova::reports {

// One report as stored: 51 members in a fixed 20001-byte record.
// Text members hold UTF-8 without their padding; see text/fixed_text.h.
// Dates are OLE date values (0 = no date); values are ten-thousandths.
struct ReportRecord {
  double ControlNumber = 0;
  std::string CaseNumber;
  std::string Title;
  std::string CriminalViolations;
  std::string ReportMadeBy;
  double DateEntered = 0;
  double OccurredFrom = 0;
  double OccurredTo = 0;
  std::string LocationOccurred;
  double ReportedOn = 0;
  std::string LocationReported;
  std::string ReportedByName;
  std::string ReportedByContext;
  std::string ReportedByContact;
  std::string Person1Name;
  std::string Person1Context;
  std::string Person1Contact;
  std::string Person2Name;
  std::string Person2Context;
  std::string Person2Contact;
  std::string Person3Name;
  std::string Person3Context;
  std::string Person3Contact;
  std::string Vehicle1Description;
  std::string Vehicle1Context;
  std::string Vehicle1Details;
  std::string Vehicle2Description;
  std::string Vehicle2Context;
  std::string Vehicle2Details;
  std::string Vehicle3Description;
  std::string Vehicle3Context;
  std::string Vehicle3Details;
  std::string Property1Item;
  std::string Property1Context;
  std::string Property1Details;
  std::int64_t Property1Value = 0;
  std::string Property2Item;
  std::string Property2Context;
  std::string Property2Details;
  std::int64_t Property2Value = 0;
  std::string Property3Item;
  std::string Property3Context;
  std::string Property3Details;
  std::int64_t Property3Value = 0;
  std::string Picture1;
  std::string Picture2;
  std::string Picture3;
  std::string Narrative;
  std::string CaseNotes;
  std::uint8_t ListStatus = 1;
  std::int16_t ProgramVersion = 0;

  friend bool operator==(const ReportRecord&, const ReportRecord&) = default;
};

inline constexpr std::size_t kReportRecordSize = 20001;
inline constexpr std::size_t kPicturePathWidth = 150;  // Picture1..Picture3
inline constexpr std::uint8_t kActiveList = 1;
inline constexpr std::uint8_t kInactiveList = 2;
// The case number of a record that is being removed.
inline constexpr std::string_view kKilledMark = "$Killed$";
// 4.14 -> 414: the major version's digits followed by the minor version's.
std::int16_t CurrentProgramVersion();
// A report of the current layout carries a version from 411 to 498; the
// older layouts are recognised by the data-file upgrade instead.
inline bool IsCurrentLayoutVersion(std::int16_t version) { return version > 410 && version < 499; }

enum class MemberType { Date, Text, Currency, Byte, Short };

// Where one member lives in the record and in the structure.
struct ReportMember {
  std::string_view name;
  MemberType type;
  std::size_t offset;
  std::size_t width;
  int field;  // index of the window's txtfield that shows it; -1 for none
  std::string ReportRecord::*text = nullptr;
  double ReportRecord::*date = nullptr;
  std::int64_t ReportRecord::*currency = nullptr;
  std::uint8_t ReportRecord::*byte = nullptr;
  std::int16_t ReportRecord::*shortValue = nullptr;
};

inline constexpr std::size_t kReportMemberCount = 51;
const std::array<ReportMember, kReportMemberCount>& ReportMembers();

using RecordBytes = std::array<char, kReportRecordSize>;

void EncodeReportRecord(const ReportRecord& record, char* dest);
ReportRecord DecodeReportRecord(const char* src);
// Decodes into an existing record, reusing its strings' storage; scans over
// many records use this to stay clear of the allocator.
void DecodeReportRecord(const char* src, ReportRecord& record);

// The case number of an encoded record, trimmed, without decoding the rest.
std::string StoredCaseNumber(const char* src);
std::uint8_t StoredListStatus(const char* src);
double StoredControlNumber(const char* src);
std::int16_t StoredProgramVersion(const char* src);
bool IsKilled(const char* src);

}  // namespace kestrova::reports
