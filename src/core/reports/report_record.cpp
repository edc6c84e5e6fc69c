#include "core/reports/report_record.h"

#include <bit>
#include <cstring>

#include "core/text/fixed_text.h"

namespace kestrova::reports {
namespace {

static_assert(std::endian::native == std::endian::little,
              "record encoding assumes a little-endian machine");

using R = ReportRecord;

constexpr ReportMember Date(std::string_view name, std::size_t offset, int field,
                            double R::*member) {
  ReportMember m{name, MemberType::Date, offset, 8, field};
  m.date = member;
  return m;
}
constexpr ReportMember Text(std::string_view name, std::size_t offset, std::size_t width,
                            int field, std::string R::*member) {
  ReportMember m{name, MemberType::Text, offset, width, field};
  m.text = member;
  return m;
}
constexpr ReportMember Money(std::string_view name, std::size_t offset, int field,
                             std::int64_t R::*member) {
  ReportMember m{name, MemberType::Currency, offset, 8, field};
  m.currency = member;
  return m;
}

const std::array<ReportMember, kReportMemberCount> kMembers = [] {
  std::array<ReportMember, kReportMemberCount> a = {
      Date("ControlNumber", 0, 0, &R::ControlNumber),
      Text("CaseNumber", 8, 15, 1, &R::CaseNumber),
      Text("Title", 23, 50, 2, &R::Title),
      Text("CriminalViolations", 73, 50, 3, &R::CriminalViolations),
      Text("ReportMadeBy", 123, 50, 4, &R::ReportMadeBy),
      Date("DateEntered", 173, 5, &R::DateEntered),
      Date("OccurredFrom", 181, 6, &R::OccurredFrom),
      Date("OccurredTo", 189, 7, &R::OccurredTo),
      Text("LocationOccurred", 197, 50, 8, &R::LocationOccurred),
      Date("ReportedOn", 247, 9, &R::ReportedOn),
      Text("LocationReported", 255, 50, 10, &R::LocationReported),
      Text("ReportedByName", 305, 40, 11, &R::ReportedByName),
      Text("ReportedByContext", 345, 15, 12, &R::ReportedByContext),
      Text("ReportedByContact", 360, 50, 13, &R::ReportedByContact),
      Text("Person1Name", 410, 40, 14, &R::Person1Name),
      Text("Person1Context", 450, 15, 15, &R::Person1Context),
      Text("Person1Contact", 465, 50, 16, &R::Person1Contact),
      Text("Person2Name", 515, 40, 17, &R::Person2Name),
      Text("Person2Context", 555, 15, 18, &R::Person2Context),
      Text("Person2Contact", 570, 50, 19, &R::Person2Contact),
      Text("Person3Name", 620, 40, 20, &R::Person3Name),
      Text("Person3Context", 660, 15, 21, &R::Person3Context),
      Text("Person3Contact", 675, 50, 22, &R::Person3Contact),
      Text("Vehicle1Description", 725, 40, 23, &R::Vehicle1Description),
      Text("Vehicle1Context", 765, 15, 24, &R::Vehicle1Context),
      Text("Vehicle1Details", 780, 50, 25, &R::Vehicle1Details),
      Text("Vehicle2Description", 830, 40, 26, &R::Vehicle2Description),
      Text("Vehicle2Context", 870, 15, 27, &R::Vehicle2Context),
      Text("Vehicle2Details", 885, 50, 28, &R::Vehicle2Details),
      Text("Vehicle3Description", 935, 40, 29, &R::Vehicle3Description),
      Text("Vehicle3Context", 975, 15, 30, &R::Vehicle3Context),
      Text("Vehicle3Details", 990, 50, 31, &R::Vehicle3Details),
      Text("Property1Item", 1040, 40, 32, &R::Property1Item),
      Text("Property1Context", 1080, 15, 33, &R::Property1Context),
      Text("Property1Details", 1095, 50, 34, &R::Property1Details),
      Money("Property1Value", 1145, 35, &R::Property1Value),
      Text("Property2Item", 1153, 40, 36, &R::Property2Item),
      Text("Property2Context", 1193, 15, 37, &R::Property2Context),
      Text("Property2Details", 1208, 50, 38, &R::Property2Details),
      Money("Property2Value", 1258, 39, &R::Property2Value),
      Text("Property3Item", 1266, 40, 40, &R::Property3Item),
      Text("Property3Context", 1306, 15, 41, &R::Property3Context),
      Text("Property3Details", 1321, 50, 42, &R::Property3Details),
      Money("Property3Value", 1371, 43, &R::Property3Value),
      Text("Picture1", 1379, 150, -1, &R::Picture1),
      Text("Picture2", 1529, 150, -1, &R::Picture2),
      Text("Picture3", 1679, 150, -1, &R::Picture3),
      Text("Narrative", 1829, 16000, 44, &R::Narrative),
      Text("CaseNotes", 17829, 2169, 45, &R::CaseNotes),
      ReportMember{"ListStatus", MemberType::Byte, 19998, 1, -1},
      ReportMember{"ProgramVersion", MemberType::Short, 19999, 2, -1},
  };
  a[49].byte = &R::ListStatus;
  a[50].shortValue = &R::ProgramVersion;
  return a;
}();

template <class T>
T Load(const char* src) {
  T value;
  std::memcpy(&value, src, sizeof value);
  return value;
}

template <class T>
void Store(char* dest, T value) {
  std::memcpy(dest, &value, sizeof value);
}

}  // namespace

std::int16_t CurrentProgramVersion() {
  return static_cast<std::int16_t>(
      std::stoi(std::to_string(KESTROVA_VERSION_MAJOR) + std::to_string(KESTROVA_VERSION_MINOR)));
}

const std::array<ReportMember, kReportMemberCount>& ReportMembers() { return kMembers; }

void EncodeReportRecord(const ReportRecord& record, char* dest) {
  for (const ReportMember& m : kMembers) {
    char* at = dest + m.offset;
    switch (m.type) {
      case MemberType::Date: Store(at, record.*m.date); break;
      case MemberType::Text: text::EncodeFixedText(record.*m.text, at, m.width); break;
      case MemberType::Currency: Store(at, record.*m.currency); break;
      case MemberType::Byte: Store(at, record.*m.byte); break;
      case MemberType::Short: Store(at, record.*m.shortValue); break;
    }
  }
}

ReportRecord DecodeReportRecord(const char* src) {
  ReportRecord record;
  DecodeReportRecord(src, record);
  return record;
}

void DecodeReportRecord(const char* src, ReportRecord& record) {
  for (const ReportMember& m : kMembers) {
    const char* at = src + m.offset;
    switch (m.type) {
      case MemberType::Date: record.*m.date = Load<double>(at); break;
      case MemberType::Text: text::DecodeFixedText(at, m.width, record.*m.text); break;
      case MemberType::Currency: record.*m.currency = Load<std::int64_t>(at); break;
      case MemberType::Byte: record.*m.byte = Load<std::uint8_t>(at); break;
      case MemberType::Short: record.*m.shortValue = Load<std::int16_t>(at); break;
    }
  }
}

std::string StoredCaseNumber(const char* src) { return text::ReadFixedText(src + 8, 15); }

std::uint8_t StoredListStatus(const char* src) { return Load<std::uint8_t>(src + 19998); }

double StoredControlNumber(const char* src) { return Load<double>(src); }

std::int16_t StoredProgramVersion(const char* src) { return Load<std::int16_t>(src + 19999); }

bool IsKilled(const char* src) {
  return text::Trim(std::string_view(src + 8, 15)) == kKilledMark;
}

}  // namespace kestrova::reports
