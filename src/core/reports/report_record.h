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

namespace detail {
constexpr ReportMember Date(std::string_view name, int field, double ReportRecord::*member) {
  ReportMember m{name, MemberType::Date, 0, 8, field};
  m.date = member;
  return m;
}
constexpr ReportMember Text(std::string_view name, std::size_t width, int field, std::string ReportRecord::*member) {
  ReportMember m{name, MemberType::Text, 0, width, field};
  m.text = member;
  return m;
}
constexpr ReportMember Money(std::string_view name, int field, std::int64_t ReportRecord::*member) {
  ReportMember m{name, MemberType::Currency, 0, 8, field};
  m.currency = member;
  return m;
}
constexpr ReportMember Byte(std::string_view name, std::uint8_t ReportRecord::*member) {
  ReportMember m{name, MemberType::Byte, 0, 1, -1};
  m.byte = member;
  return m;
}
constexpr ReportMember Short(std::string_view name, std::int16_t ReportRecord::*member) {
  ReportMember m{name, MemberType::Short, 0, 2, -1};
  m.shortValue = member;
  return m;
}
// Each member starts where the one before it ends.
constexpr std::array<ReportMember, kReportMemberCount> WithOffsets(std::array<ReportMember, kReportMemberCount> a) {
  std::size_t offset = 0;
  for (ReportMember& m : a) {
    m.offset = offset;
    offset += m.width;
  }
  return a;
}
}  // namespace detail

// The members in record order, with their widths; the offsets follow.
inline constexpr std::array<ReportMember, kReportMemberCount> kReportMembers = detail::WithOffsets({
    detail::Date("ControlNumber", 0, &ReportRecord::ControlNumber),
    detail::Text("CaseNumber", 15, 1, &ReportRecord::CaseNumber),
    detail::Text("Title", 50, 2, &ReportRecord::Title),
    detail::Text("CriminalViolations", 50, 3, &ReportRecord::CriminalViolations),
    detail::Text("ReportMadeBy", 50, 4, &ReportRecord::ReportMadeBy),
    detail::Date("DateEntered", 5, &ReportRecord::DateEntered),
    detail::Date("OccurredFrom", 6, &ReportRecord::OccurredFrom),
    detail::Date("OccurredTo", 7, &ReportRecord::OccurredTo),
    detail::Text("LocationOccurred", 50, 8, &ReportRecord::LocationOccurred),
    detail::Date("ReportedOn", 9, &ReportRecord::ReportedOn),
    detail::Text("LocationReported", 50, 10, &ReportRecord::LocationReported),
    detail::Text("ReportedByName", 40, 11, &ReportRecord::ReportedByName),
    detail::Text("ReportedByContext", 15, 12, &ReportRecord::ReportedByContext),
    detail::Text("ReportedByContact", 50, 13, &ReportRecord::ReportedByContact),
    detail::Text("Person1Name", 40, 14, &ReportRecord::Person1Name),
    detail::Text("Person1Context", 15, 15, &ReportRecord::Person1Context),
    detail::Text("Person1Contact", 50, 16, &ReportRecord::Person1Contact),
    detail::Text("Person2Name", 40, 17, &ReportRecord::Person2Name),
    detail::Text("Person2Context", 15, 18, &ReportRecord::Person2Context),
    detail::Text("Person2Contact", 50, 19, &ReportRecord::Person2Contact),
    detail::Text("Person3Name", 40, 20, &ReportRecord::Person3Name),
    detail::Text("Person3Context", 15, 21, &ReportRecord::Person3Context),
    detail::Text("Person3Contact", 50, 22, &ReportRecord::Person3Contact),
    detail::Text("Vehicle1Description", 40, 23, &ReportRecord::Vehicle1Description),
    detail::Text("Vehicle1Context", 15, 24, &ReportRecord::Vehicle1Context),
    detail::Text("Vehicle1Details", 50, 25, &ReportRecord::Vehicle1Details),
    detail::Text("Vehicle2Description", 40, 26, &ReportRecord::Vehicle2Description),
    detail::Text("Vehicle2Context", 15, 27, &ReportRecord::Vehicle2Context),
    detail::Text("Vehicle2Details", 50, 28, &ReportRecord::Vehicle2Details),
    detail::Text("Vehicle3Description", 40, 29, &ReportRecord::Vehicle3Description),
    detail::Text("Vehicle3Context", 15, 30, &ReportRecord::Vehicle3Context),
    detail::Text("Vehicle3Details", 50, 31, &ReportRecord::Vehicle3Details),
    detail::Text("Property1Item", 40, 32, &ReportRecord::Property1Item),
    detail::Text("Property1Context", 15, 33, &ReportRecord::Property1Context),
    detail::Text("Property1Details", 50, 34, &ReportRecord::Property1Details),
    detail::Money("Property1Value", 35, &ReportRecord::Property1Value),
    detail::Text("Property2Item", 40, 36, &ReportRecord::Property2Item),
    detail::Text("Property2Context", 15, 37, &ReportRecord::Property2Context),
    detail::Text("Property2Details", 50, 38, &ReportRecord::Property2Details),
    detail::Money("Property2Value", 39, &ReportRecord::Property2Value),
    detail::Text("Property3Item", 40, 40, &ReportRecord::Property3Item),
    detail::Text("Property3Context", 15, 41, &ReportRecord::Property3Context),
    detail::Text("Property3Details", 50, 42, &ReportRecord::Property3Details),
    detail::Money("Property3Value", 43, &ReportRecord::Property3Value),
    detail::Text("Picture1", 150, -1, &ReportRecord::Picture1),
    detail::Text("Picture2", 150, -1, &ReportRecord::Picture2),
    detail::Text("Picture3", 150, -1, &ReportRecord::Picture3),
    detail::Text("Narrative", 16000, 44, &ReportRecord::Narrative),
    detail::Text("CaseNotes", 2169, 45, &ReportRecord::CaseNotes),
    detail::Byte("ListStatus", &ReportRecord::ListStatus),
    detail::Short("ProgramVersion", &ReportRecord::ProgramVersion),
});
static_assert(kReportMembers.back().offset + kReportMembers.back().width == kReportRecordSize);

const std::array<ReportMember, kReportMemberCount>& ReportMembers();

// Where a member lies in a record, by its name; a name that is not a member
// does not compile where it is used as a constant.
struct MemberSpan {
  std::size_t offset;
  std::size_t width;
};
constexpr MemberSpan SpanOf(std::string_view name) {
  for (const ReportMember& m : kReportMembers) {
    if (m.name == name) return {m.offset, m.width};
  }
  throw "not a member of the report record";
}

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
